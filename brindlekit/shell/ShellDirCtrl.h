#pragma once

#include "brindlekit/chrome/TarnMenu.h"
#include "brindlekit/shell/ShellDirListModel.h"
#include "platform/Export.h"

#include <wx/fswatcher.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>

#include <filesystem>
#include <functional>
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
    // The menu resource whose popup 0 the context menu shows, with the
    // pictures of a toolbar; 0 shows the file's own commands instead.
    void SetMenu(int menuId, int toolbarId)
    {
        m_menuId = menuId;
        m_toolbarId = toolbarId;
    }
    // An extension with its dot, e.g. ".xml"; empty lists every file. Applies
    // from the next SetFolder or Refresh.
    void SetFilter(const std::string& extension) { m_model.SetFilter(extension); }

    // Lists a folder and follows the changes others make in it: files created,
    // deleted, renamed or changed update their rows alone. A folder that
    // cannot be read is reported to the user and leaves the rows read before
    // the failure.
    ShellListResult SetFolder(const std::filesystem::path& folder);
    // Lists the current folder again. (Hides the window's Refresh; call
    // wxListCtrl::Refresh to redraw.)
    ShellListResult Refresh() { return SetFolder(m_model.Folder()); }
    void RemoveAllItems();

    // The full path of the first selected file; false when none is selected.
    bool GetItemPath(std::filesystem::path& path) const;
    const ShellDirListModel& Model() const { return m_model; }

    // ---- Commands ----
    // Carries out a ShellCommand on the selected file (20: its properties);
    // false without a selection or when it fails. Command 0 only checks that
    // there is a selection.
    bool InvokeCommand(int command, const wxPoint& at);
    // The context menu as it would show now: popup 0 of the menu set by
    // SetMenu, or the file's own commands; null when it would not show.
    std::unique_ptr<TarnMenu> CreateContextMenu();
    // Shows the context menu at a point in client coordinates and acts on the
    // choice (see OnMenuChoice).
    void PopupMenu(const wxPoint& at);
    // A command chosen in the context menu: with a menu set, 20 is
    // InvokeCommand(20) and any other goes to the parent window as a menu
    // command; without one, the file's command is carried out.
    void OnMenuChoice(int command, const wxPoint& at);
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
    void OnContextMenu(wxContextMenuEvent& event);
    void Watch(const std::filesystem::path& folder);
    void DropWatcherOfGoneFolder();
    void OnFileSystemChange(wxFileSystemWatcherEvent& event);
    // Runs a change of the rows, keeping the selected files selected.
    void KeepingSelection(const std::function<void()>& change);

    ShellDirListModel m_model;
    int m_menuId = 0;
    int m_toolbarId = 0;
    std::unique_ptr<wxImageList> m_images;
    std::unique_ptr<wxImageList> m_largeImages;
    // Looked up once per extension: the type database is slow.
    std::map<std::string, TypeInfo> m_types;
    // Tells of changes in the folder shown; made once an event loop runs.
    std::unique_ptr<wxFileSystemWatcher> m_watcher;
    std::filesystem::path m_watched;
};

} // namespace brindle
