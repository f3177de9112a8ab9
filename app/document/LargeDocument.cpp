#include "app/document/LargeDocument.h"

#include "app/settings/Settings.h"
#include "platform/ui/UIServices.h"

#include <string>

using namespace brindle;

namespace {

// "1,024": the thousands apart, as the question shows sizes.
std::string Grouped(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

} // namespace

bool OpensAsTextOnly(std::uint64_t fileBytes)
{
    if (Settings::GetStartWithSourceView() == 1) return true;
    const std::uint64_t limitMB = static_cast<std::uint64_t>(Settings::GetLargeFileMB());
    if (fileBytes <= limitMB << 20) return false;
    int answer = Settings::GetLargeFileAsText();
    if (answer < 0) {
        const std::string question =
            "This file is " + Grouped((fileBytes + (1u << 20) - 1) >> 20) + " MB. Documents larger than " +
            Grouped(limitMB) +
            " MB open as text only, in Source mode; the node tree is built when you switch to Node Tree or "
            "Browser mode.\n\nOpen large documents as text only?";
        answer = UIServices().MessageBox(question, MsgButtons::YesNo, MsgIcon::Question) == MsgResult::Yes ? 1 : 0;
        Settings::WriteInt(Settings::Key::kLargeFileAsText, answer);
    }
    return answer == 1;
}
