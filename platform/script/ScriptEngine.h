#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptError.h"
#include "platform/script/Variant.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace brindle::vbs {

class ScriptUI;
class Interpreter;

// A VBScript engine: code is added, its top-level statements run as it is
// added, and procedures are then called by name. Errors throw ScriptError with
// the language's number, description and 1-based line (counted within the
// AddCode call that holds the statement).
class BRINDLEKIT_API ScriptEngine {
public:
    ScriptEngine();
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    // The dialogs for MsgBox and InputBox (not owned; nullptr: none shown).
    void SetUI(ScriptUI* ui);
    // Polled while the script runs: after every few thousand statements and
    // loop passes, and once every interval of running time (the clock is read
    // every few dozen statements and after each bulk operation, such as
    // building a long string, so a few slow statements are polled too).
    // Returning true stops the run with err::kInterrupted.
    void SetInterruptCheck(std::function<bool()> shouldStop,
                           std::chrono::milliseconds every = std::chrono::milliseconds(100));
    // What the script's strings, arrays, collections and objects may hold
    // together, in bytes; more fails with error 7 "Out of memory" before the
    // memory is taken. Default: no limit.
    void SetMemoryBudget(size_t bytes);

    // Parses the code (UTF-8) and runs its top-level statements.
    void AddCode(std::string_view code);
    // Calls a Function or Sub by name (case-insensitive) with the arguments;
    // a Sub returns Empty. Throws ScriptError 35 when there is no such procedure.
    Variant Run(std::string_view procedureName, std::vector<Variant> args);

private:
    std::unique_ptr<Interpreter> m_interpreter;
};

} // namespace brindle::vbs
