#pragma once

#include "platform/Export.h"
#include "platform/script/Ast.h"
#include "platform/script/ScriptString.h"

#include <memory>

namespace brindle::vbs {

// Where code given to Execute or Eval runs: its names see the running
// procedure's locals and its class's members. Both null: the global level.
struct ParseScope {
    const Procedure* procedure = nullptr;
    const ClassDef* owner = nullptr;
};

// Parses a whole piece of code. Throws ScriptError with the language's
// compilation error number and the 1-based line and column of the fault.
BRINDLEKIT_API std::unique_ptr<Program> ParseProgram(VbStringView source, ParseScope scope = {});
// Parses one expression (Eval's text); the rest of the text must be empty.
BRINDLEKIT_API ExprPtr ParseExpression(VbStringView source, ParseScope scope = {});

} // namespace brindle::vbs
