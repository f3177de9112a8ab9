#include "app/shell/LocationDlg.h"

#include "brindlekit/shell/ShellFolderCtrl.h"

#include <wx/button.h>
#include <wx/sizer.h>

CLocationDlg::CLocationDlg(wxWindow* parent, const std::filesystem::path& start)
    : wxDialog(parent, 219, "Location", wxDefaultPosition, wxSize(360, 420), wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER)
{
    m_tree = new brindle::CShellFolderCtrl(this, 1044);
    m_tree->Init();
    if (!start.empty()) m_tree->SelectFolder(start);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(m_tree, 1, wxEXPAND | wxALL, 8);
    top->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizer(top);
    Bind(wxEVT_UPDATE_UI, [this](wxUpdateUIEvent& event) { event.Enable(!GetPath().empty()); }, wxID_OK);
}

std::filesystem::path CLocationDlg::GetPath() const
{
    std::filesystem::path path;
    if (!m_tree->GetSelectedFolderPath(path)) return {};
    const std::string text = path.string();
    if (text.size() > 1 && text.back() == '/') return text.substr(0, text.find_last_not_of('/') + 1);
    return path;
}
