#include "app/document/PluginRunner.h"

#include "app/document/EncodedText.h"
#include "app/document/TextEncoding.h"
#include "app/settings/Settings.h"
#include "platform/script/ScriptEngine.h"
#include "platform/script/ScriptUI.h"
#include "platform/script/VariantOps.h"
#include "platform/ui/UIServices.h"

#include <algorithm>
#include <new>

using namespace brindle;

// The script's MsgBox and InputBox, shown through the UI services. Time spent
// waiting for the user does not count towards the stop question.
class PluginScriptUI final : public vbs::ScriptUI {
public:
    explicit PluginScriptUI(PluginRunner& runner) : m_runner(runner) {}

    int MsgBox(const vbs::VbString& prompt, int buttons, const vbs::VbString& title) override
    {
        int answer = UIServices().ScriptMessageBox(vbs::ToUtf8(prompt), buttons, vbs::ToUtf8(title));
        m_runner.m_runningSince = std::chrono::steady_clock::now();
        return answer;
    }

    std::optional<vbs::VbString> InputBox(const vbs::VbString& prompt, const vbs::VbString& title,
                                          const vbs::VbString& defaultText) override
    {
        std::string value = vbs::ToUtf8(defaultText);
        bool typed = UIServices().InputBox(vbs::ToUtf8(prompt), vbs::ToUtf8(title), value);
        m_runner.m_runningSince = std::chrono::steady_clock::now();
        if (!typed) return std::nullopt;
        return vbs::ToVb(value);
    }

private:
    PluginRunner& m_runner;
};

bool PluginRunner::ReadScript(const std::string& path, std::string& code)
{
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) return false;
    FileEncoding encoding = DetectEncoding(std::string_view(bytes).substr(0, 4));
    std::string error;
    if (DecodeToUtf8(bytes, encoding, code, error)) return true;
    return DecodeToUtf8(bytes, FileEncoding{"WINDOWS-1252", false}, code, error);
}

bool PluginRunner::ShouldStop()
{
    if (std::chrono::steady_clock::now() - m_runningSince < m_patience) return false;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_patience).count();
    MsgResult answer = UIServices().MessageBox("The plugin \"" + m_scriptName + "\" has been running for " +
                                                   std::to_string(seconds) + (seconds == 1 ? " second" : " seconds") +
                                                   ".\nStop it? The source text stays as it was.",
                                               MsgButtons::YesNo, MsgIcon::Question);
    m_runningSince = std::chrono::steady_clock::now();
    return answer == MsgResult::Yes;
}

PluginRunner::Outcome PluginRunner::Run(const std::string& scriptPath, const std::string& sourceText)
{
    Outcome outcome;
    std::string code;
    if (scriptPath.empty() || !ReadScript(scriptPath, code)) {
        outcome.status = Status::OpenFailed;
        return outcome;
    }
    try {
        PluginScriptUI ui(*this);
        vbs::ScriptEngine engine;
        engine.SetUI(&ui);
        // Asked often enough that the question comes on time even when a few
        // statements take all the time.
        engine.SetInterruptCheck([this] { return ShouldStop(); },
                                 std::min(m_patience, std::chrono::milliseconds(100)));
        engine.SetMemoryBudget(static_cast<size_t>(Settings::GetScriptMemoryMB()) * 1024 * 1024);
        m_runningSince = std::chrono::steady_clock::now();
        engine.AddCode(code);
        std::vector<vbs::Variant> args;
        args.emplace_back(vbs::ToVb(sourceText));
        vbs::Variant result = engine.Run("Main", std::move(args));
        // No return value (Empty), or Null, is an empty text.
        outcome.text = result.IsEmpty() || result.IsNull() ? std::string() : vbs::ToUtf8(vbs::ToString(result));
        outcome.status = Status::Done;
    } catch (const vbs::ScriptError& e) {
        if (e.Number() == vbs::err::kInterrupted) {
            outcome.status = Status::Stopped;
            return outcome;
        }
        outcome.status = Status::Failed;
        outcome.error = e.Source() + " " + std::to_string(e.Number()) + ": " + e.Message();
        outcome.line = e.Line();
        outcome.column = e.Column();
    } catch (const std::bad_alloc&) {
        outcome.status = Status::OutOfMemory;
    }
    return outcome;
}
