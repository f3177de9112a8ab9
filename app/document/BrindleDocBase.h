#pragma once

#include <string>
#include <wx/docview.h>

// What the XML and DTD documents have in common: where the document lives (a
// local path or an "ftp://" address with its local copy), whether it is new, and
// the path name with its title and recent-files rule.
class CBrindleDocBase : public wxDocument {
public:
    // Makes the path the document's path name (an "ftp://" address as it is, any
    // other path made absolute) and its title the whole path, so frame captions
    // show where a document lives. When asked, the path as given goes into the
    // recent files list.
    virtual void SetPathName(const wxString& path, bool addToRecentFiles = true);
    wxString GetPathName() const { return GetFilename(); }

    bool OnNewDocument() override;
    // Checks that the file can be read (fetching an "ftp://" address first) and
    // resets the document; the document kinds then load it.
    bool OnOpenDocument(const wxString& path) override;

    bool IsEmbedded() const { return m_embedded; }
    void SetEmbedded(bool embedded) { m_embedded = embedded; }

    // 1 while the document was made by File New without a template file and has
    // not been saved.
    bool IsNew() const { return m_isNew; }
    void SetNew(bool isNew) { m_isNew = isNew; }
    bool IsRemote() const { return m_isRemote; }
    const std::string& RemoteUrl() const { return m_remoteUrl; }
    const std::string& LocalCopy() const { return m_localCopy; }

protected:
    // The local file the document's content is read from: the local copy of a
    // remote document, else the path name.
    std::string SourceFile(const wxString& path) const;

    bool m_isNew = true;
    bool m_isRemote = false;
    std::string m_remoteUrl;
    std::string m_localCopy;

private:
    bool m_embedded = false;
};
