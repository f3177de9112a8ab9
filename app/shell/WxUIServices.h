#pragma once

#include "platform/ui/UIServices.h"

#include <memory>

class wxProgressDialog;
class wxWindow;

// The user-interface services of the running program, shown with wx.
class WxUIServices final : public brindle::IUIServices {
public:
    brindle::MsgResult MessageBox(const std::string& text, brindle::MsgButtons buttons, brindle::MsgIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void OpenUrl(const std::string& url) override;
    int ScriptMessageBox(const std::string& text, int style, const std::string& title) override;
    bool InputBox(const std::string& prompt, const std::string& title, std::string& value) override;
    bool PasswordBox(const std::string& prompt, const std::string& title, std::string& value) override;
    void BeginProgress(const std::string& text) override;
    bool UpdateProgress(std::uint64_t done, std::uint64_t total) override;
    void EndProgress() override;

    WxUIServices();
    ~WxUIServices() override;

    // The window the services' dialogs are shown over.
    static wxWindow* DialogParent();

private:
    std::unique_ptr<wxProgressDialog> m_progress;
};
