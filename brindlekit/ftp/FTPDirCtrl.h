#pragma once

#include "brindlekit/ftp/FTPDirListModel.h"
#include "brindlekit/ftp/FTPFileFind.h"
#include "brindlekit/ftp/FTPFolderItem.h"
#include "platform/Export.h"

#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace brindle {

// The files of one remote folder in report view: name with a type icon, size in
// KB, type description and modification time. Directories are left out. The
// rows live in an FTPDirListModel; the window is virtual and only draws them,
// so a folder of many thousands of files shows at once. A header click sorts.
class BRINDLEKIT_API CFTPDirCtrl : public wxListCtrl {
public:
    CFTPDirCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
    ~CFTPDirCtrl() override;

    // ---- Setting up ----
    // Builds the type icons and inserts the four columns.
    void Init();
    // The icons; false leaves the list without them.
    bool CreateImageList();

    // ---- Contents ----
    // Lists the folder afresh and remembers it; returns true. A folder whose
    // name cannot be sent back is refused with a message and shows nothing.
    bool SetFolder(const CFTPFolderItem& folder);
    // Adds a row for the finder's current entry.
    void AddFile(const CFTPFileFind& finder);
    // Lists the remembered folder again. (Hides the window's Refresh; call
    // wxListCtrl::Refresh to redraw.)
    void Refresh();
    // Empties the list and forgets the folder.
    void RemoveAllItems();

    // ---- Questions ----
    // The first selected row, or null.
    const CFTPDirItem* GetSelectedDirItem() const;
    const CFTPFolderItem* GetFolderItem() const { return m_folder ? &*m_folder : nullptr; }
    // A fresh listing of the remembered folder, positioned on the row's file
    // (index -1: the first selected row). False, with `finder` empty, when the
    // file is gone or cannot be listed.
    bool GetFileProperties(std::unique_ptr<CFTPFileFind>& finder, long index = -1);

    // Inserts the four file columns (name, size, type, modified) into a report list.
    static void InsertFileColumns(wxListCtrl& list);
    // Type description for a file name's extension; false when the system has none.
    static bool GetFileTypeName(const std::string& name, std::string& typeName);
    // Icon index for a file name, -1 when there are no icons.
    int GetItemIcon(const std::string& name);

    const FTPDirListModel& Model() const { return m_model; }
    // Sorts as a click on the header of `column` does.
    void SortByColumn(int column);

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;

private:
    struct TypeInfo {
        std::string name;
        int icon = -1;
    };
    const TypeInfo& TypeOf(const std::string& fileName);
    void Describe(CFTPDirItem& item);
    void ShowRows();
    long FirstSelected() const { return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); }
    long NextSelected(long row) const { return GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); }
    void SelectRow(long row, bool on) { SetItemState(row, on ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED); }
    void OnColumnClick(wxListEvent& event);

    FTPDirListModel m_model;
    std::optional<CFTPFolderItem> m_folder;
    std::unique_ptr<wxImageList> m_images;
    // Looked up once per extension: the system's type database is slow.
    std::map<std::string, TypeInfo> m_types;
};

} // namespace brindle
