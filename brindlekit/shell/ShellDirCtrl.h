#pragma once

#include "brindlekit/shell/ShellDirListModel.h"
#include "platform/Export.h"

#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace brindle {

// The files of one local folder in report view: name with an icon, size in KB,
// type description and modification time, optionally only those of one
// extension. The rows live in a ShellDirListModel; the window is virtual and
// only draws them. A header click sorts.
class BRINDLEKIT_API CShellDirCtrl : public wxListCtrl {
public:
    CShellDirCtrl(wxWindow* parent, wxWindowID id = wxID_ANY, const wxPoint& pos = wxDefaultPosition,
                  const wxSize& size = wxDefaultSize);
    ~CShellDirCtrl() override;

    // Builds the icons and inserts the four columns.
    void Init();
    // Attaches a small (16 pixel) and a large (32 pixel) image list, holding a
    // plain file's icon until files of other types are listed; false when the
    // plain file's icon is missing in either size.
    bool CreateImageList();
    // An extension with its dot, e.g. ".xml"; empty lists every file. Applies
    // from the next SetFolder or Refresh.
    void SetFilter(const std::string& extension) { m_model.SetFilter(extension); }

    // Lists a folder. A folder that cannot be read is reported to the user and
    // leaves the rows read before the failure.
    ShellListResult SetFolder(const std::filesystem::path& folder);
    // Lists the current folder again. (Hides the window's Refresh; call
    // wxListCtrl::Refresh to redraw.)
    ShellListResult Refresh() { return SetFolder(m_model.Folder()); }
    void RemoveAllItems();

    // The full path of the first selected file; false when none is selected.
    bool GetItemPath(std::filesystem::path& path) const;
    const ShellDirListModel& Model() const { return m_model; }
    // Sorts as a click on the header of `column` does.
    void SortByColumn(int column);

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;

private:
    // What is known of the files of one extension.
    struct TypeInfo {
        std::string name;
        int icon = -1;
    };
    const TypeInfo& TypeOf(const ShellDirItem& item);
    int AddIcon(const std::vector<std::string>& iconNames);
    void ShowRows();
    long FirstSelected() const { return GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); }
    void OnColumnClick(wxListEvent& event) { SortByColumn(event.GetColumn()); }

    ShellDirListModel m_model;
    std::unique_ptr<wxImageList> m_images;
    std::unique_ptr<wxImageList> m_largeImages;
    // Looked up once per extension: the type database is slow.
    std::map<std::string, TypeInfo> m_types;
};

} // namespace brindle
