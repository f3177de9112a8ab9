#include "app/document/BrindleDocBase.h"

#include "app/document/RemoteTransfer.h"
#include "app/document/TempCopies.h"
#include "app/settings/Settings.h"
#include "platform/ui/UIServices.h"
#include "resources/CommandIds.h"

#include <algorithm>
#include <filesystem>
#include <wx/filedlg.h>
#include <fstream>

using namespace brindle;

namespace {

// The message of a transfer: for a failure the fixed text, with the reason when
// there is more to say than that the server refused; a cancel as such, with what
// it left as it was; a connection's reason as it stands; a warning after success.
void AddTransferError(DocErrors& errors, const std::string& failed, const TransferOutcome& outcome,
                      const std::string& afterCancel)
{
    if (outcome.result == TransferResult::Cancelled)
        errors.Add(outcome.detail + " " + afterCancel, MsgIcon::Information);
    else if (outcome.result == TransferResult::Failed)
        errors.Add(outcome.detail.empty() ? failed : failed + "\n\n" + outcome.detail);
    else if (!outcome.detail.empty())
        errors.Add(outcome.detail, outcome.result == TransferResult::Done ? MsgIcon::Warning : MsgIcon::Error);
}

// The path made absolute, as the document's path name is.
std::string FullLocalPath(const std::string& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(std::filesystem::path(path), ec);
    return ec ? path : absolute.lexically_normal().string();
}

void RemoveFile(const std::string& path)
{
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove(path, ignored);
}

} // namespace

CBrindleDocBase::CBrindleDocBase()
{
    Bind(wxEVT_MENU, &CBrindleDocBase::OnSaveAsTemplate, this, ids::ID_FILE_SAVE_AS_TEMPLATE);
    Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& event) { event.Enable(true); }, ids::ID_FILE_SAVE_AS_TEMPLATE);
    Bind(wxEVT_MENU, [this](wxCommandEvent&) { FtpSaveAs(); }, ids::ID_FILE_FTP_SAVE_AS);
    Bind(wxEVT_UPDATE_UI, [](wxUpdateUIEvent& event) { event.Enable(true); }, ids::ID_FILE_FTP_SAVE_AS);
}

CBrindleDocBase::~CBrindleDocBase() { RemoveFile(m_localCopy); }

void CBrindleDocBase::SetPathName(const wxString& path, bool addToRecentFiles)
{
    wxString full = path;
    wxString recent = path;
    if (path.StartsWith("ftp://")) {
        full = recent = wxString::FromUTF8(AddressWithoutPassword(path.utf8_string()));
    } else {
        full = wxString::FromUTF8(FullLocalPath(path.utf8_string()));
        m_embedded = false;
    }
    // The watched file is the one at the path name, or none.
    if (m_isRemote || full.utf8_string() != m_diskWatch.Path()) m_diskWatch.Forget();
    SetTitle(full);
    SetFilename(full, true); // tells the views, which retitle their frames
    if (addToRecentFiles && GetDocumentManager()) GetDocumentManager()->AddFileToHistory(recent);
}

bool CBrindleDocBase::OnNewDocument()
{
    m_isNew = true;
    return wxDocument::OnNewDocument();
}

bool CBrindleDocBase::OnOpenDocument(const wxString& path)
{
    m_isNew = false;
    if (path.Contains("ftp://")) {
        std::optional<RemoteLocation> where = RemoteLocation::Find(path.utf8_string(), m_errors);
        if (!where) return false;
        std::optional<std::string> local = FetchRemote(*where);
        if (!local) return false;
        m_remote = std::move(where);
        if (m_localCopy != *local) RemoveFile(m_localCopy);
        m_localCopy = *local;
        m_isRemote = true;
        Modify(false);
        SetDocumentSaved(true);
        return true;
    }
    std::ifstream probe(path.utf8_string(), std::ios::binary);
    if (!probe || std::filesystem::is_directory(path.utf8_string())) {
        m_errors.Add("Cannot open file " + path.utf8_string() + ".");
        return false;
    }
    // Recorded before the kinds read it: a change made meanwhile is asked about.
    m_diskWatch.Record(FullLocalPath(path.utf8_string()));
    DeleteContents();
    Modify(false);
    SetDocumentSaved(true); // it has a file: Save writes there without asking
    return true;
}

std::string CBrindleDocBase::SourceFile(const wxString& path) const
{
    return m_isRemote ? m_localCopy : path.utf8_string();
}

bool CBrindleDocBase::Save()
{
    if (m_isNew) return SaveAs();
    bool saved = false;
    if (!m_isRemote) {
        if (!MayOverwrite()) return false;
        saved = wxDocument::Save();
        if (saved) m_diskWatch.Record(GetFilename().utf8_string());
        // A new document from a template enters the recent files once it is on disk.
        if (saved && GetDocumentManager()) GetDocumentManager()->AddFileToHistory(GetFilename());
    } else {
        const TransferOutcome outcome = Upload(*m_remote);
        AddTransferError(m_errors, "Error saving file via FTP.", outcome, "The file on the server was not replaced.");
        saved = outcome.result == TransferResult::Done;
    }
    m_errors.Tell();
    return saved;
}

namespace {

CBrindleDocBase::SavePathPrompt& SavePathPromptInForce()
{
    static CBrindleDocBase::SavePathPrompt prompt;
    return prompt;
}

// The file dialog, starting at the offered path, with the document kind's filter.
wxString AskSavePath(const CBrindleDocBase& doc, const wxString& offered)
{
    if (SavePathPromptInForce()) return SavePathPromptInForce()(doc, offered);
    wxString filter = "All Files (*.*)|*";
    if (wxDocTemplate* kind = doc.GetDocumentTemplate())
        filter = kind->GetDescription() + "|" + kind->GetFileFilter() + "|" + filter;
    const wxString folder = offered.Contains("/") ? offered.BeforeLast('/') : wxString();
    wxFileDialog dialog(doc.GetDocumentWindow(), "Save As", folder, offered.AfterLast('/'), filter,
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    return dialog.ShowModal() == wxID_OK ? dialog.GetPath() : wxString();
}

} // namespace

void CBrindleDocBase::SetSavePathPrompt(SavePathPrompt prompt) { SavePathPromptInForce() = std::move(prompt); }

bool CBrindleDocBase::SaveAs()
{
    // A remote document offers its file's name; its address stays unless a file is written.
    const wxString offered =
        m_isRemote && m_remote ? wxString::FromUTF8(SafeLocalName(m_remote->File(), "untitled.xml")) : GetFilename();
    const wxString path = AskSavePath(*this, offered);
    if (path.empty()) return false;
    const bool saved = OnSaveDocument(path);
    m_errors.Tell();
    if (!saved) return false;
    SetPathName(path, true);
    if (!m_isRemote) m_diskWatch.Record(GetFilename().utf8_string());
    Modify(false);
    return true;
}

bool CBrindleDocBase::SaveAsTemplate()
{
    const wxString previous = GetFilename();
    SetPathQuietly(wxString::FromUTF8(Settings::GetTemplatePath()) + previous.AfterLast('/'));
    const bool saved = SaveAs();
    if (IsModified() || !saved) SetPathName(previous, false);
    return saved;
}

void CBrindleDocBase::OnSaveAsTemplate(wxCommandEvent&) { SaveAsTemplate(); }

std::optional<std::string> CBrindleDocBase::FetchRemote(const RemoteLocation& where)
{
    const std::string local = CreateTempFile();
    const TransferOutcome outcome = local.empty() ? TransferOutcome{} : FetchRemoteFile(where, local);
    if (outcome.result != TransferResult::Done) {
        RemoveFile(local);
        AddTransferError(m_errors, "Error getting file via ftp", outcome, "Nothing was opened.");
        return std::nullopt;
    }
    DeleteContents();
    return local;
}

namespace {

CBrindleDocBase::RemoteSavePrompt& RemoteSavePromptInForce()
{
    static CBrindleDocBase::RemoteSavePrompt prompt;
    return prompt;
}

} // namespace

void CBrindleDocBase::SetRemoteSavePrompt(RemoteSavePrompt prompt) { RemoteSavePromptInForce() = std::move(prompt); }

bool CBrindleDocBase::FtpSaveAs()
{
    if (!RemoteSavePromptInForce()) return false;
    std::string offered = m_isRemote ? RemoteUrl() : GetFilename().utf8_string();
    if (!m_isRemote) std::replace(offered.begin(), offered.end(), '\\', '/');
    const std::string address = RemoteSavePromptInForce()(*this, offered);
    if (address.empty()) return false;
    const bool saved = UploadTo(wxString::FromUTF8(address), "Error saving remote file");
    m_errors.Tell();
    return saved;
}

bool CBrindleDocBase::UploadRemote(const wxString& address) { return UploadTo(address, "Error saving file via FTP."); }

bool CBrindleDocBase::UploadTo(const wxString& address, const std::string& failed)
{
    const std::string text = address.utf8_string();
    // The document's own address keeps the login it was opened with.
    const std::optional<RemoteLocation> where =
        m_remote && m_remote->Address() == text ? m_remote : RemoteLocation::Find(text, m_errors);
    if (!where) return false;
    const TransferOutcome outcome = Upload(*where);
    AddTransferError(m_errors, failed, outcome, "The file on the server was not replaced.");
    return outcome.result == TransferResult::Done;
}

TransferOutcome CBrindleDocBase::Upload(const RemoteLocation& where)
{
    // A local document is written to a new copy, kept only once it is remote.
    const std::string local = m_isRemote ? m_localCopy : CreateTempFile();
    const bool wasModified = IsModified();
    if (local.empty() || !OnSaveDocument(wxString::FromUTF8(local))) {
        if (!m_isRemote) RemoveFile(local);
        return {};
    }
    const TransferOutcome outcome = UploadRemoteFile(local, where);
    if (outcome.result != TransferResult::Done) {
        // Written locally only: the document is not saved where it lives.
        if (!m_isRemote) RemoveFile(local);
        Modify(wasModified);
        return outcome;
    }
    m_localCopy = local;
    m_remote = where;
    m_isRemote = true;
    m_diskWatch.Forget();
    SetPathName(wxString::FromUTF8(where.Address()), true);
    Modify(false);
    return outcome;
}

bool CBrindleDocBase::MayOverwrite()
{
    if (m_diskWatch.Path() != GetFilename().utf8_string() || !m_diskWatch.ChangedSinceRecorded()) return true;
    const std::string text = GetFilename().utf8_string() +
                             " has been changed by another program since it was read.\n\n"
                             "Overwrite it with this document? Cancel leaves the file as it is.";
    return UIServices().MessageBox(text, MsgButtons::OkCancel, MsgIcon::Warning) == MsgResult::Ok;
}

CBrindleDocBase::DiskAnswer CBrindleDocBase::CheckFileOnDisk()
{
    if (m_isRemote || m_diskWatch.Path() != GetFilename().utf8_string()) return DiskAnswer::Nothing;
    const std::string& path = m_diskWatch.Path();
    switch (m_diskWatch.Check()) {
    case DiskChangeWatch::Change::None: return DiskAnswer::Nothing;
    case DiskChangeWatch::Change::Deleted:
        Modify(true); // Save writes it again
        UIServices().MessageBox(path + " has been deleted or moved by another program.\n\n"
                                       "The document stays open; Save writes the file again.",
                                MsgButtons::Ok, MsgIcon::Warning);
        return DiskAnswer::Keep;
    case DiskChangeWatch::Change::Changed: break;
    }
    const bool modified = IsModified();
    const std::string question =
        modified ? path + " has been changed by another program, and this document has changes that are not saved.\n\n"
                          "Yes: reload the file and lose your changes.\n"
                          "No: keep your changes (Save asks before it overwrites the file)."
                 : path + " has been changed by another program. Reload it?";
    const MsgResult answer =
        UIServices().MessageBox(question, MsgButtons::YesNo, modified ? MsgIcon::Warning : MsgIcon::Question);
    return answer == MsgResult::Yes ? DiskAnswer::Reload : DiskAnswer::Keep;
}
