#include "app/shell/WxUIServices.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>
#include <wx/window.h>

using namespace brindle;

MsgResult WxUIServices::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon)
{
    long style = 0;
    switch (buttons) {
    case MsgButtons::Ok: style = wxOK; break;
    case MsgButtons::OkCancel: style = wxOK | wxCANCEL; break;
    case MsgButtons::YesNo: style = wxYES_NO; break;
    case MsgButtons::YesNoCancel: style = wxYES_NO | wxCANCEL; break;
    }
    switch (icon) {
    case MsgIcon::None: style |= wxICON_NONE; break;
    case MsgIcon::Information: style |= wxICON_INFORMATION; break;
    case MsgIcon::Warning: style |= wxICON_WARNING; break;
    case MsgIcon::Error: style |= wxICON_ERROR; break;
    case MsgIcon::Question: style |= wxICON_QUESTION; break;
    }
    wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    switch (wxMessageBox(wxString::FromUTF8(text), wxTheApp ? wxTheApp->GetAppDisplayName() : "Brindle", style, parent)) {
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

void WxUIServices::PostCommand(int commandId)
{
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    if (!top) return;
    wxCommandEvent* event = new wxCommandEvent(wxEVT_MENU, commandId);
    event->SetEventObject(top);
    top->GetEventHandler()->QueueEvent(event);
}

void WxUIServices::OpenUrl(const std::string& url) { wxLaunchDefaultBrowser(wxString::FromUTF8(url)); }
