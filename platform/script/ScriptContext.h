#pragma once

#include "platform/Export.h"
#include "platform/script/Variant.h"

#include <cstdint>

namespace brindle::vbs {

class ScriptUI;

// What the built-in functions reach of the running engine.
class BRINDLEKIT_API ScriptContext {
public:
    virtual ~ScriptContext();
    // The dialogs, or nullptr when the host shows none.
    virtual ScriptUI* UI() = 0;
    // Rnd/Randomize state, one per engine.
    virtual uint32_t& RandomSeed() = 0;
    virtual Variant& LastRandom() = 0;
    // Eval/Execute/ExecuteGlobal/GetRef run in the interpreter.
    virtual Variant Eval(const VbString& expression) = 0;
    virtual void Execute(const VbString& statements, bool global) = 0;
    virtual Variant GetRef(const VbString& procedureName) = 0;
};

} // namespace brindle::vbs
