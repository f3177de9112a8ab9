#include "platform/script/ScriptEngine.h"

#include "platform/script/Interpreter.h"

namespace brindle::vbs {

ScriptEngine::ScriptEngine() : m_interpreter(std::make_unique<Interpreter>()) {}
ScriptEngine::~ScriptEngine() = default;

void ScriptEngine::SetUI(ScriptUI* ui) { m_interpreter->SetUI(ui); }

void ScriptEngine::SetInterruptCheck(std::function<bool()> shouldStop, std::chrono::milliseconds every)
{
    m_interpreter->SetInterruptCheck(std::move(shouldStop), every);
}

void ScriptEngine::SetMemoryBudget(size_t bytes) { m_interpreter->SetMemoryBudget(bytes); }

void ScriptEngine::AddCode(std::string_view code) { m_interpreter->AddCode(ToVb(code)); }

Variant ScriptEngine::Run(std::string_view procedureName, std::vector<Variant> args)
{
    return m_interpreter->Run(procedureName, std::move(args));
}

} // namespace brindle::vbs
