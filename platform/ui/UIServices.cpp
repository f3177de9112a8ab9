#include "platform/ui/UIServices.h"

#include <cstdio>

namespace brindle {

IUIServices::~IUIServices() = default;

MsgIcon ScriptStyleIcon(int style)
{
    switch (style & 0x70) {
    case 0x10: return MsgIcon::Error;
    case 0x20: return MsgIcon::Question;
    case 0x30: return MsgIcon::Warning;
    case 0x40: return MsgIcon::Information;
    default: return MsgIcon::None;
    }
}

int IUIServices::ScriptMessageBox(const std::string& text, int style, const std::string&)
{
    MsgButtons buttons = MsgButtons::Ok;
    switch (style & 0x7) {
    case 1:
    case 2:
    case 5: buttons = MsgButtons::OkCancel; break;
    case 3: buttons = MsgButtons::YesNoCancel; break;
    case 4: buttons = MsgButtons::YesNo; break;
    }
    switch (MessageBox(text, buttons, ScriptStyleIcon(style))) {
    case MsgResult::Ok: return (style & 0x7) == 2 ? 3 : (style & 0x7) == 5 ? 4 : 1;
    case MsgResult::Cancel: return (style & 0x7) == 2 ? 5 : 2;
    case MsgResult::Yes: return 6;
    case MsgResult::No: return 7;
    }
    return 1;
}

bool IUIServices::InputBox(const std::string&, const std::string&, std::string&) { return false; }
bool IUIServices::PasswordBox(const std::string&, const std::string&, std::string&) { return false; }

void IUIServices::BeginProgress(const std::string&) {}
bool IUIServices::UpdateProgress(std::uint64_t, std::uint64_t) { return true; }
void IUIServices::EndProgress() {}

namespace {

class HeadlessUIServices final : public IUIServices {
public:
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon) override
    {
        std::fprintf(stderr, "Brindle: %s\n", text.c_str());
        switch (buttons) {
        case MsgButtons::Ok:
        case MsgButtons::OkCancel: return MsgResult::Ok;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel: return MsgResult::No;
        }
        return MsgResult::Ok;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void OpenUrl(const std::string&) override {}
};

HeadlessUIServices g_headless;
IUIServices* g_current = &g_headless;

} // namespace

IUIServices& UIServices() { return *g_current; }

void SetUIServices(IUIServices* services) { g_current = services ? services : &g_headless; }

} // namespace brindle
