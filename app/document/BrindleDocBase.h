#pragma once

#include "app/document/DiskChangeWatch.h"
#include "app/document/DocErrors.h"
#include "app/document/RemoteTransfer.h"

#include <functional>
#include <optional>
#include <string>
#include <wx/docview.h>

// What the XML and DTD documents have in common: where the document lives (a
// local path or an "ftp://" address with its local copy), whether it is new, and
// the path name with its title and recent-files rule.
class CBrindleDocBase : public wxDocument {
public:
    CBrindleDocBase();
    // Removes the local copy of a remote document.
    ~CBrindleDocBase() override;
    // Makes the path the document's path name (an "ftp://" address without any
    // password, any other path made absolute) and its title the whole path, so
    // frame captions show where a document lives. When asked, the path as given
    // (an address without its password) goes into the recent files list.
    virtual void SetPathName(const wxString& path, bool addToRecentFiles = true);
    wxString GetPathName() const { return GetFilename(); }
    // Reads whatever the document still takes from the file it was just opened
    // from, so it no longer needs that file: a copy of a template is renamed
    // before it is shown.
    virtual void HoldTextOf(const wxString& /*path*/) {}

    bool OnNewDocument() override;
    // Save: a new document asks for a name; a remote one is written to its local
    // copy and uploaded to its address ("Error saving file via FTP." when that
    // fails); any other is written to its path, after asking whether to overwrite
    // it when another program changed it since it was read. The command: what
    // failed is told.
    bool Save() override;
    // Save As: the file dialog. A remote document offers its file name and keeps
    // its address when the dialog is cancelled or the save fails.
    bool SaveAs() override;
    // Save As with the dialog starting in the templates folder; a cancelled or
    // failed save keeps the document's path name.
    bool SaveAsTemplate();
    // What Save As asks the user for the new path ("" for Cancel), given the
    // path it offers; the file dialog unless replaced (tests answer it).
    using SavePathPrompt = std::function<wxString(const CBrindleDocBase& doc, const wxString& offered)>;
    static void SetSavePathPrompt(SavePathPrompt prompt);
    // FTP Save As: asks for an address, offering the document's path ("/" for
    // "\\"), and uploads the document there; the document then lives at that
    // address. "Error saving remote file" with the reason when the upload fails.
    bool FtpSaveAs();
    // What FTP Save As asks the user for the address ("" for Cancel), given the
    // path it offers. The shell installs the remote file dialog; until then the
    // command does nothing.
    using RemoteSavePrompt = std::function<std::string(const CBrindleDocBase& doc, const std::string& offered)>;
    static void SetRemoteSavePrompt(RemoteSavePrompt prompt);

    // The located file fetched into a new temporary file, whose path is given;
    // nullopt (with "Error getting file via ftp" and any reason among the
    // errors, or the connection's failure shown; no file left behind) when it
    // could not be fetched.
    std::optional<std::string> FetchRemote(const RemoteLocation& where);
    // Writes the document to its local copy (a new temporary file for a local
    // document) and puts that to the address. On success the address is the
    // document's path name and the document is remote and unmodified. The
    // document's own address logs in as it did when opened, without asking again.
    // What failed goes to the errors.
    bool UploadRemote(const wxString& address);
    // Checks that the file can be read (fetching an "ftp://" address first) and
    // resets the document; the document kinds then load it.
    bool OnOpenDocument(const wxString& path) override;

    // --- the file on disk, as other programs leave it
    // What the user chose about a change another program made to the file.
    enum class DiskAnswer { Nothing, Reload, Keep };
    // Asks about a change made to the document's local file since it was read or
    // saved, once per change: an unmodified document offers to reload it, a
    // modified one asks whether to reload it and lose the changes or keep them;
    // a deleted file is told, and the document is marked modified so that Save
    // writes it again. On Reload the caller opens the file again.
    DiskAnswer CheckFileOnDisk();
    const DiskChangeWatch& DiskWatch() const { return m_diskWatch; }

    // What the document's operations failed at, for the caller to tell.
    DocErrors& Errors() { return m_errors; }

    bool IsEmbedded() const { return m_embedded; }
    void SetEmbedded(bool embedded) { m_embedded = embedded; }

    // 1 while the document was made by File New without a template file and has
    // not been saved.
    bool IsNew() const { return m_isNew; }
    void SetNew(bool isNew) { m_isNew = isNew; }
    bool IsRemote() const { return m_isRemote; }
    // The address of a remote document, without a password.
    std::string RemoteUrl() const { return m_remote ? m_remote->Address() : std::string(); }
    const std::string& LocalCopy() const { return m_localCopy; }

protected:
    // The local file the document's content is read from: the local copy of a
    // remote document, else the path name.
    std::string SourceFile(const wxString& path) const;

    bool m_isNew = true;
    bool m_isRemote = false;
    // Where a remote document lives, with the login it was opened with for as
    // long as the document is open.
    std::optional<RemoteLocation> m_remote;
    std::string m_localCopy;
    DocErrors m_errors;
    DiskChangeWatch m_diskWatch;

private:
    TransferOutcome Upload(const RemoteLocation& where);
    bool UploadTo(const wxString& address, const std::string& failed);
    void OnSaveAsTemplate(wxCommandEvent& event);
    // Whether Save may write the local file: it asks first when another
    // program changed the file since the document read or wrote it.
    bool MayOverwrite();
    // The path name changed without the title, recent files or views hearing of it.
    void SetPathQuietly(const wxString& path) { SetFilename(path, false); }

    bool m_embedded = false;
};
