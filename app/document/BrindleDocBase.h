#pragma once

#include <wx/docview.h>

// What the program's documents have in common: the path name with its title and
// recent-files rule.
class CBrindleDocBase : public wxDocument {
public:
    // Makes the path the document's path name (an "ftp://" address as it is, any
    // other path made absolute) and its title the whole path, so frame captions
    // show where a document lives. When asked, the path as given goes into the
    // recent files list.
    virtual void SetPathName(const wxString& path, bool addToRecentFiles = true);
    wxString GetPathName() const { return GetFilename(); }

    bool IsEmbedded() const { return m_embedded; }
    void SetEmbedded(bool embedded) { m_embedded = embedded; }

private:
    bool m_embedded = false;
};
