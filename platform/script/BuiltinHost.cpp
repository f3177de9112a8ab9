// Functions that reach the host or the running engine: MsgBox, InputBox,
// CreateObject, GetObject, Eval, Execute, ExecuteGlobal, GetRef, the locale.
#include "platform/script/BuiltinSupport.h"

#include "platform/script/ObjectFactory.h"
#include "platform/script/ScriptContext.h"
#include "platform/script/ScriptUI.h"

#include <string>

namespace brindle::vbs::builtin {

namespace {

constexpr int32_t kEnglishUnitedStates = 1033;

Variant MsgBox(BuiltinCall& call)
{
    VbString prompt = ToStringOrEmpty(call.args[0]);
    int32_t buttons = LongArg(call, 1, 0);
    VbString title = Has(call, 2) ? ToStringOrEmpty(call.args[2]) : VbString();
    ScriptUI* ui = call.context.UI();
    // Without dialogs the answer is OK, as if the user had pressed it.
    return Variant(static_cast<int16_t>(ui ? ui->MsgBox(prompt, buttons, title) : 1));
}

Variant InputBox(BuiltinCall& call)
{
    VbString prompt = ToStringOrEmpty(call.args[0]);
    VbString title = Has(call, 1) ? ToStringOrEmpty(call.args[1]) : VbString();
    VbString defaultText = Has(call, 2) ? ToStringOrEmpty(call.args[2]) : VbString();
    ScriptUI* ui = call.context.UI();
    if (!ui) return MakeString(VbString());
    auto typed = ui->InputBox(prompt, title, defaultText);
    return MakeString(typed ? std::move(*typed) : VbString());
}

Variant CreateObject(BuiltinCall& call)
{
    if (Has(call, 1) && !ToStringOrEmpty(call.args[1]).empty()) throw ScriptError(err::kCannotCreateObject);
    return Variant(CreateScriptObject(StringArg(call, 0)));
}

// No running objects or monikers exist outside Windows.
Variant GetObject(BuiltinCall&) { throw ScriptError(err::kCannotCreateObject); }

// Pictures are Windows objects this engine cannot make.
Variant LoadPicture(BuiltinCall&) { throw ScriptError(err::kCannotCreateObject); }

Variant Eval(BuiltinCall& call) { return call.context.Eval(StringArg(call, 0)); }

Variant Execute(BuiltinCall& call)
{
    call.context.Execute(StringArg(call, 0), false);
    return Variant();
}

Variant ExecuteGlobal(BuiltinCall& call)
{
    call.context.Execute(StringArg(call, 0), true);
    return Variant();
}

Variant GetRef(BuiltinCall& call) { return call.context.GetRef(StringArg(call, 0)); }

Variant GetLocale(BuiltinCall&) { return Variant(kEnglishUnitedStates); }

// The engine works in en-US only: SetLocale answers the locale in force and
// keeps it, whatever it is asked for.
Variant SetLocale(BuiltinCall& call)
{
    if (Has(call, 0) && call.args[0].IsNull()) throw ScriptError(err::kInvalidUseOfNull);
    return Variant(kEnglishUnitedStates);
}

const BuiltinFunction kFunctions[] = {
    {"msgbox", 1, 5, MsgBox},
    {"inputbox", 1, 7, InputBox},
    {"createobject", 1, 2, CreateObject},
    {"getobject", 0, 2, GetObject},
    {"loadpicture", 1, 1, LoadPicture},
    {"eval", 1, 1, Eval},
    {"execute", 1, 1, Execute},
    {"executeglobal", 1, 1, ExecuteGlobal},
    {"getref", 1, 1, GetRef},
    {"getlocale", 0, 0, GetLocale},
    {"setlocale", 0, 1, SetLocale},
};

} // namespace

std::span<const BuiltinFunction> HostFunctions() { return kFunctions; }

} // namespace brindle::vbs::builtin
