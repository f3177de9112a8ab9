#include "app/explorer/FTPDirView.h"

#include "app/explorer/FTPFilePropSheet.h"
#include "app/explorer/RemoteFileFields.h"
#include "app/menus/Menus.h"
#include "app/views/EditSourceView.h"
#include "brindlekit/ftp/FTPDirCtrl.h"
#include "brindlekit/ftp/FTPFolderServer.h"
#include "platform/net/FtpNames.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <wx/accel.h>
#include <wx/docview.h>
#include <wx/sizer.h>

#include <memory>

using namespace brindle;

namespace {
void Say(const std::string& text) { UIServices().MessageBox(text, MsgButtons::Ok, MsgIcon::None); }
} // namespace

CFTPDirView::CFTPDirView(wxWindow* parent) : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, 0)
{
    m_list = new CFTPDirCtrl(this, kListId);
    m_list->Init();
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_list, 1, wxEXPAND);
    SetSizer(sizer);

    Bind(wxEVT_MENU, &CFTPDirView::OnOpen, this, ids::ID_FTP_OPEN);
    Bind(wxEVT_MENU, &CFTPDirView::OnProperties, this, ids::ID_FTP_PROPERTIES);
    Bind(wxEVT_MENU, &CFTPDirView::OnRefresh, this, ids::ID_FTP_REFRESH);
    Bind(wxEVT_LIST_ITEM_ACTIVATED, &CFTPDirView::OnActivated, this, kListId);
    m_list->Bind(wxEVT_CONTEXT_MENU, &CFTPDirView::OnContextMenu, this);
    m_list->Bind(wxEVT_SET_FOCUS, &CFTPDirView::OnListFocus, this);

    wxAcceleratorEntry keys[] = {{wxACCEL_NORMAL, WXK_F5, ids::ID_FTP_REFRESH},
                                 {wxACCEL_ALT, WXK_RETURN, ids::ID_FTP_PROPERTIES}};
    SetAcceleratorTable(wxAcceleratorTable(std::size(keys), keys));
}

std::string CFTPDirView::SelectedAddress() const
{
    const CFTPDirItem* row = m_list->GetSelectedDirItem();
    const CFTPFolderItem* folder = m_list->GetFolderItem();
    if (!row || !folder || !folder->GetFolderServer()) {
        Say("No File Selected");
        return {};
    }
    if (!FtpNameIsSafe(row->name)) {
        Say("The name \"" + FtpDisplayName(row->name) +
            "\" cannot be used on the server: a name must be one file name, without \"/\" or control characters. "
            "Nothing was sent.");
        return {};
    }
    // The root folder "/" gives two slashes after the entry name: the root, not the login folder.
    return "ftp://" + folder->GetFolderServer()->GetEntryName() + folder->GetEntryPath() + "/" + row->name;
}

void CFTPDirView::OnOpen(wxCommandEvent&)
{
    const std::string address = SelectedAddress();
    if (address.empty()) return;
    if (wxDocManager* manager = wxDocManager::GetDocumentManager())
        manager->CreateDocument(wxString::FromUTF8(address));
}

void CFTPDirView::OnActivated(wxListEvent&)
{
    wxCommandEvent open(wxEVT_MENU, ids::ID_FTP_OPEN);
    OnOpen(open);
}

void CFTPDirView::OnProperties(wxCommandEvent&)
{
    std::unique_ptr<CFTPFileFind> finder;
    const CFTPFolderItem* folder = m_list->GetFolderItem();
    if (!folder || !m_list->GetFileProperties(finder)) {
        Say("unable to load properties for file");
        return;
    }
    const CFTPFolderServer* server = folder->GetFolderServer();
    const RemoteFileFields fields = RemoteFileFieldsOf(*finder, server ? server->GetHostname() : std::string());
    // The listing is read; the connection is not held while the sheet is up.
    finder->Close();
    finder.reset();
    CFTPFilePropSheet sheet(this, fields);
    sheet.DoModal();
}

void CFTPDirView::OnRefresh(wxCommandEvent&) { m_list->Refresh(); }

void CFTPDirView::OnContextMenu(wxContextMenuEvent& event)
{
    wxPoint point = event.GetPosition();
    point = point == wxDefaultPosition ? wxPoint(0, 0) : ScreenToClient(point);
    TrackContextMenu(this, ids::IDR_FTPITEM, point);
}

void CFTPDirView::OnListFocus(wxFocusEvent& event)
{
    event.Skip();
    RequestEditMenu(ids::IDR_FTPITEM);
}
