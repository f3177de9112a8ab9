#pragma once

#include "platform/ui/UIServices.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace brindle::test {

// Records what the code under test says to the user and answers from a queue.
// Installs itself for its lifetime, then puts back the services it replaced.
class RecordingUIServices : public IUIServices {
public:
    struct Message {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
    };

    RecordingUIServices() : m_previous(&UIServices()) { SetUIServices(this); }
    ~RecordingUIServices() override { SetUIServices(m_previous); }
    RecordingUIServices(const RecordingUIServices&) = delete;
    RecordingUIServices& operator=(const RecordingUIServices&) = delete;

    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon) override
    {
        messages.push_back({text, buttons, icon});
        if (onMessage) onMessage();
        if (!answers.empty()) {
            MsgResult r = answers.front();
            answers.pop_front();
            return r;
        }
        return (buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel) ? MsgResult::Ok : MsgResult::No;
    }
    void BeginWaitCursor() override { ++waitDepth; ++waitCount; }
    void EndWaitCursor() override { --waitDepth; }
    void OpenUrl(const std::string& url) override { openedUrls.push_back(url); }
    int ScriptMessageBox(const std::string& text, int style, const std::string& title) override
    {
        scriptBoxes.push_back({text, style, title});
        if (onMessage) onMessage();
        if (scriptAnswers.empty()) return 1;
        int r = scriptAnswers.front();
        scriptAnswers.pop_front();
        return r;
    }
    bool InputBox(const std::string& prompt, const std::string&, std::string& value) override
    {
        return Answer(prompts, inputs, prompt, value);
    }
    bool PasswordBox(const std::string& prompt, const std::string&, std::string& value) override
    {
        return Answer(passwordPrompts, passwords, prompt, value);
    }

    void BeginProgress(const std::string& text) override
    {
        progressTexts.push_back(text);
        progressOpen = true;
    }
    bool UpdateProgress(std::uint64_t done, std::uint64_t total) override
    {
        ++progressUpdates;
        return onProgress ? onProgress(done, total) : true;
    }
    void EndProgress() override { progressOpen = false; }

    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const auto& m : messages) out.push_back(m.text);
        return out;
    }

    std::vector<Message> messages;
    struct ScriptBox {
        std::string text;
        int style;
        std::string title;
    };
    std::vector<ScriptBox> scriptBoxes; // script message boxes, answered from scriptAnswers (else 1)
    std::deque<int> scriptAnswers;
    std::vector<std::string> prompts; // input prompts, answered from inputs (else cancelled)
    std::deque<std::string> inputs;
    std::vector<std::string> passwordPrompts; // password prompts, answered from passwords (else cancelled)
    std::deque<std::string> passwords;
    std::function<void()> onMessage; // called as each message is shown
    std::vector<std::string> progressTexts; // each progress window shown
    bool progressOpen = false;
    int progressUpdates = 0;
    std::function<bool(std::uint64_t done, std::uint64_t total)> onProgress; // false presses Cancel
    std::deque<MsgResult> answers;
    std::vector<std::string> openedUrls;
    int waitDepth = 0;
    int waitCount = 0;

private:
    // Records a prompt and answers it from the queue; cancelled once that is empty.
    static bool Answer(std::vector<std::string>& asked, std::deque<std::string>& answers, const std::string& prompt,
                       std::string& value)
    {
        asked.push_back(prompt);
        if (answers.empty()) return false;
        value = answers.front();
        answers.pop_front();
        return true;
    }

    IUIServices* m_previous;
};

} // namespace brindle::test
