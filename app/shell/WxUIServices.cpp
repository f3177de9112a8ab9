#include "app/shell/WxUIServices.h"

#include <algorithm>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/progdlg.h>
#include <wx/textdlg.h>
#include <wx/utils.h>
#include <wx/window.h>

using namespace brindle;

namespace {

// The script's title, else the program's name.
wxString DialogTitle(const std::string& title)
{
    if (!title.empty()) return wxString::FromUTF8(title);
    return wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Brindle");
}

long IconFlags(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information: return wxICON_INFORMATION;
    case MsgIcon::Warning: return wxICON_WARNING;
    case MsgIcon::Error: return wxICON_ERROR;
    case MsgIcon::Question: return wxICON_QUESTION;
    case MsgIcon::None: break;
    }
    return wxICON_NONE;
}

} // namespace

wxWindow* WxUIServices::DialogParent()
{
    // Over the newest modal dialog that is up, so the message stays with it and
    // the dialog does not fall behind the main window; else over the main window.
    for (auto it = wxTopLevelWindows.rbegin(); it != wxTopLevelWindows.rend(); ++it)
        if (auto* dialog = dynamic_cast<wxDialog*>(*it); dialog && dialog->IsModal() && dialog->IsShown())
            return dialog;
    return wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
}


MsgResult WxUIServices::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon)
{
    long style = 0;
    switch (buttons) {
    case MsgButtons::Ok: style = wxOK; break;
    case MsgButtons::OkCancel: style = wxOK | wxCANCEL; break;
    case MsgButtons::YesNo: style = wxYES_NO; break;
    case MsgButtons::YesNoCancel: style = wxYES_NO | wxCANCEL; break;
    }
    style |= IconFlags(icon);
    switch (wxMessageBox(wxString::FromUTF8(text), DialogTitle(std::string()), style, DialogParent())) {
    case wxYES: return MsgResult::Yes;
    case wxNO: return MsgResult::No;
    case wxCANCEL: return MsgResult::Cancel;
    default: return MsgResult::Ok;
    }
}

void WxUIServices::BeginWaitCursor() { wxBeginBusyCursor(); }

void WxUIServices::EndWaitCursor()
{
    if (wxIsBusy()) wxEndBusyCursor();
}

void WxUIServices::OpenUrl(const std::string& url) { wxLaunchDefaultBrowser(wxString::FromUTF8(url)); }

int WxUIServices::ScriptMessageBox(const std::string& text, int style, const std::string& title)
{
    // The button set (low three bits) maps onto the dialog's Yes/No/Cancel or
    // OK/Cancel buttons, relabelled where the set is not one of those.
    const int set = style & 0x7;
    long flags = 0;
    switch (set) {
    case 1: flags = wxOK | wxCANCEL; break;
    case 2: flags = wxYES_NO | wxCANCEL; break;
    case 3: flags = wxYES_NO | wxCANCEL; break;
    case 4: flags = wxYES_NO; break;
    case 5: flags = wxOK | wxCANCEL; break;
    default: flags = wxOK; break;
    }
    flags |= IconFlags(ScriptStyleIcon(style));
    // Second or third button as the default one.
    const int defaultButton = (style >> 8) & 0x3;
    if (defaultButton == 1 && (flags & wxYES_NO)) flags |= wxNO_DEFAULT;
    if ((defaultButton == 1 && !(flags & wxYES_NO)) || defaultButton == 2) flags |= wxCANCEL_DEFAULT;
    wxMessageDialog dialog(DialogParent(), wxString::FromUTF8(text), DialogTitle(title), flags);
    if (set == 2) dialog.SetYesNoCancelLabels("&Abort", "&Retry", "&Ignore");
    if (set == 5) dialog.SetOKCancelLabels("&Retry", wxID_CANCEL);
    const int answer = dialog.ShowModal();
    switch (answer) {
    case wxID_YES: return set == 2 ? 3 : 6;
    case wxID_NO: return set == 2 ? 4 : 7;
    case wxID_CANCEL: return set == 2 ? 5 : 2;
    default: return set == 5 ? 4 : 1;
    }
}

bool WxUIServices::InputBox(const std::string& prompt, const std::string& title, std::string& value)
{
    wxTextEntryDialog dialog(DialogParent(), wxString::FromUTF8(prompt), DialogTitle(title),
                             wxString::FromUTF8(value));
    if (dialog.ShowModal() != wxID_OK) return false;
    value = dialog.GetValue().utf8_string();
    return true;
}

bool WxUIServices::PasswordBox(const std::string& prompt, const std::string& title, std::string& value)
{
    wxPasswordEntryDialog dialog(DialogParent(), wxString::FromUTF8(prompt), DialogTitle(title));
    if (dialog.ShowModal() != wxID_OK) return false;
    value = dialog.GetValue().utf8_string();
    return true;
}

WxUIServices::WxUIServices() = default;
WxUIServices::~WxUIServices() = default;

namespace {
constexpr int kProgressRange = 1000;
}

void WxUIServices::BeginProgress(const std::string& text)
{
    m_progress = std::make_unique<wxProgressDialog>(DialogTitle(std::string()), wxString::FromUTF8(text),
                                                    kProgressRange, DialogParent(),
                                                    wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_ELAPSED_TIME);
}

bool WxUIServices::UpdateProgress(std::uint64_t done, std::uint64_t total)
{
    if (!m_progress) return true;
    // Update and Pulse also let the dialog handle its Cancel button.
    if (total == 0) return m_progress->Pulse();
    const auto value = static_cast<int>(std::min<std::uint64_t>(done, total) * kProgressRange / total);
    return m_progress->Update(std::min(value, kProgressRange - 1));
}

void WxUIServices::EndProgress() { m_progress.reset(); }
