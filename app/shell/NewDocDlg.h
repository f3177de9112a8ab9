#pragma once

#include "app/shell/NewDocChoices.h"

#include <wx/panel.h>
#include <wx/propdlg.h>

#include <string>
#include <vector>

class wxListCtrl;
class wxListEvent;
class wxTextCtrl;

// "Files": what to create (an empty document of a kind or a copy of a
// template), its file name and its folder.
class CNewDocFilePage : public wxPanel {
public:
    static constexpr int kListId = 1001;
    static constexpr int kFileNameId = 1002;
    static constexpr int kLocationId = 1003;
    static constexpr int kBrowseId = 1016;

    CNewDocFilePage(wxWindow* parent, const std::vector<NewDocKind>& kinds, const std::string& templateFolder,
                    const std::string& location);

    // The selected entry; null when none is.
    const NewDocItem* Chosen() const;
    std::string FullPath() const;
    const std::vector<NewDocItem>& Items() const { return m_items; }

private:
    void OnActivated(wxListEvent& event);
    void OnBrowse(wxCommandEvent& event);

    std::vector<NewDocItem> m_items;
    wxListCtrl* m_list = nullptr;
    wxTextCtrl* m_fileName = nullptr;
    wxTextCtrl* m_location = nullptr;
};

// "New": the property sheet around the Files page.
class CNewDocTypeDlg : public wxPropertySheetDialog {
public:
    CNewDocTypeDlg(wxWindow* parent, const std::vector<NewDocKind>& kinds, const std::string& templateFolder,
                   const std::string& location);
    CNewDocFilePage& Page() const { return *m_page; }

private:
    CNewDocFilePage* m_page = nullptr;
};
