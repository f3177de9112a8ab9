#pragma once

#include <wx/panel.h>

class wxSplitterWindow;
class CFTPDirView;
class CFTPFolderView;

// The FTP page of the explorer bar: the server and folder tree above, the
// files of the selected folder below, in two rows of a splitter.
class CZevFtpExplorerView : public wxPanel {
public:
    static constexpr int kFolderPaneHeight = 200;

    explicit CZevFtpExplorerView(wxWindow* parent);

    CFTPFolderView& FolderView() const { return *m_folderView; }
    CFTPDirView& DirView() const { return *m_dirView; }
    wxSplitterWindow& Splitter() const { return *m_splitter; }

private:
    wxSplitterWindow* m_splitter = nullptr;
    CFTPFolderView* m_folderView = nullptr;
    CFTPDirView* m_dirView = nullptr;
};
