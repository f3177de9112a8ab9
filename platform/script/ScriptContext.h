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
    // The value of an object's default member read without arguments (and of
    // that value's, when it is an object too). Throws 438 when there is none,
    // 450 when it takes arguments.
    virtual Variant DefaultValue(const Variant& object) = 0;
};

} // namespace brindle::vbs
