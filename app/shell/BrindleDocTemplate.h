#pragma once

#include "app/shell/DocTypeMatch.h"
#include "app/shell/DocumentView.h"

#include <functional>
#include <string>
#include <wx/docview.h>

// A document kind: its description string, its menu resource, and the makers of
// its document and of the frame that shows it. Besides opening files it can open a new document as a
// copy of a template file.
class CBrindleDocTemplate : public wxDocTemplate {
public:
    using DocumentFactory = std::function<wxDocument*()>;

    CBrindleDocTemplate(wxDocManager* manager, int resourceId, const std::string& docString, DocumentFactory makeDocument,
                        DocumentView::FrameMaker makeFrame);

    int GetResourceId() const { return m_resourceId; }
    // A field of the description string (see DocStringField).
    std::string GetDocString(int index) const { return DocStringField(m_docString, index); }

    // With an already-open answer, alreadyOpen receives that document.
    DocTypeMatch MatchDocType(const std::string& path, wxDocument** alreadyOpen = nullptr) const;
    // Creates a document with its frame and, with a path and no template file
    // pending, opens the path into it; without a path (or with a template file)
    // the document is new and gets the untitled path. None on failure.
    wxDocument* OpenDocumentFile(const wxString& path, bool makeVisible = true);

    // Filled by File New before it asks for a new document: whether to copy a
    // template file, which one, and the path to give the document (empty: an
    // untitled name in the working folder).
    int m_useTemplateFile = 0;
    std::string m_templateFilePath;
    std::string m_newDocPath;
    int GetUntitledCount() const { return m_untitledCount; }

protected:
    wxDocument* DoCreateDocument() override;
    wxView* DoCreateView() override;

private:
    int m_resourceId;
    std::string m_docString;
    DocumentFactory m_makeDocument;
    DocumentView::FrameMaker m_makeFrame;
    int m_untitledCount = 0;
};
