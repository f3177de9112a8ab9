#include "brindlekit/text/SystemClipboard.h"

#include "platform/ui/UIServices.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

namespace brindle {

bool SystemClipboard::HasText()
{
    wxClipboardLocker lock;
    if (!lock) return false;
    return wxTheClipboard->IsSupported(wxDF_TEXT);
}

std::optional<std::string> SystemClipboard::GetText()
{
    wxClipboardLocker lock;
    if (!lock || !wxTheClipboard->IsSupported(wxDF_TEXT)) return std::nullopt;
    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data)) return std::nullopt;
    const wxString value = data.GetText();
    const wxScopedCharBuffer utf8 = value.utf8_str(); // may point into `value`
    return std::string(utf8.data(), utf8.length());
}

bool SystemClipboard::SetText(const std::string& text)
{
    WaitCursor wait;
    wxClipboardLocker lock;
    if (!lock) return false;
    wxTheClipboard->Clear();
    return wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text.data(), text.size())));
}

} // namespace brindle
