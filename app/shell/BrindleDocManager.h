#pragma once

#include "app/settings/RecentStringList.h"

#include <functional>
#include <wx/docview.h>

class CBrindleDocTemplate;

// Picks the document kind for a file and opens it; documents of unknown kinds open
// as XML documents. A file that is already open is brought to the front instead.
class CBrindleDocManager : public wxDocManager {
public:
    CBrindleDocManager();

    wxDocument* OpenDocumentFile(const wxString& path);
    // A new empty document of the default kind, untitled.
    wxDocument* NewDocument();
    // File New: asks in the "New" dialog what to create, then creates it. None
    // when the dialog is cancelled or the document cannot be made.
    wxDocument* FileNew();
    // A new document of a kind: a modified copy of the template file when one is
    // given, else empty; named by the path when one is given, else untitled.
    wxDocument* CreateNewDocument(CBrindleDocTemplate& kind, const std::string& templateFile, const std::string& path);

    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
    void AddFileToHistory(const wxString& file) override;
    // While one lives, opening files leaves the recent files as they are (a
    // reload is not a new visit).
    class RecentFilesKept {
    public:
        explicit RecentFilesKept(CBrindleDocManager& manager) : m_manager(manager) { ++m_manager.m_recentKept; }
        ~RecentFilesKept() { --m_manager.m_recentKept; }
        RecentFilesKept(const RecentFilesKept&) = delete;
        RecentFilesKept& operator=(const RecentFilesKept&) = delete;

    private:
        CBrindleDocManager& m_manager;
    };
    // The recent files, stored with the settings.
    CRecentStringList& RecentFiles() { return m_recentFiles; }
    // Called whenever a file enters the recent files (the menus show them).
    void OnRecentFilesChanged(std::function<void()> changed) { m_recentChanged = std::move(changed); }

    std::vector<CBrindleDocTemplate*> Templates() const;
    // The kind unknown files open as: the last one whose extensions include .xml.
    CBrindleDocTemplate* DefaultTemplate() const;

private:
    void OnNew(wxCommandEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnClose(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnSaveAs(wxCommandEvent& event);
    void OnUpdateNeedsDocument(wxUpdateUIEvent& event);
    void OnUpdateSave(wxUpdateUIEvent& event);

    CRecentStringList m_recentFiles{"Recent File List", "File%d", 4, 30};
    std::function<void()> m_recentChanged;
    int m_recentKept = 0;
};
