#include "platform/ui/UIServices.h"

#include <cstdio>

namespace brindle {

IUIServices::~IUIServices() = default;

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
    void PostCommand(int) override {}
    void OpenUrl(const std::string&) override {}
};

HeadlessUIServices g_headless;
IUIServices* g_current = &g_headless;

} // namespace

IUIServices& UIServices() { return *g_current; }

void SetUIServices(IUIServices* services) { g_current = services ? services : &g_headless; }

} // namespace brindle
