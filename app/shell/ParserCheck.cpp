#include "app/shell/ParserCheck.h"

#include "app/settings/Settings.h"
#include "platform/ui/UIServices.h"
#include "platform/xml/ParserRegistry.h"
#include "resources/Strings.h"

using namespace brindle;

bool CheckParserPresence()
{
    std::string id = Settings::GetParserAppId();
    if (ParserRegistry::CreateInstance(id)) return true;

    UIServices().MessageBox(strings::kUnableToCreateInstance + id, MsgButtons::Ok, MsgIcon::Error);
    Settings::WriteParserAppId("");
    id = Settings::GetParserAppId();
    if (ParserRegistry::CreateInstance(id)) return true;

    if (UIServices().MessageBox(strings::kParserRequired, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes)
        UIServices().OpenUrl(strings::kParserDownloadUrl);
    return false;
}
