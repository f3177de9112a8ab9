#pragma once

#include <wx/docview.h>

class CBrindleDocTemplate;

// Picks the document kind for a file and opens it; documents of unknown kinds open
// as XML documents. A file that is already open is brought to the front instead.
class CBrindleDocManager : public wxDocManager {
public:
    CBrindleDocManager();

    wxDocument* OpenDocumentFile(const wxString& path);
    // A new document of the default kind.
    wxDocument* NewDocument();

    wxDocument* CreateDocument(const wxString& path, long flags = 0) override;
    void AddFileToHistory(const wxString& file) override;

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
};
