#include "app/document/BrindleDocBase.h"

#include "platform/ui/UIServices.h"

#include <filesystem>
#include <fstream>

using namespace brindle;

void CBrindleDocBase::SetPathName(const wxString& path, bool addToRecentFiles)
{
    wxString full = path;
    if (!path.StartsWith("ftp://")) {
        std::error_code ec;
        auto absolute = std::filesystem::absolute(std::filesystem::path(path.utf8_string()), ec);
        if (!ec) full = wxString::FromUTF8(absolute.lexically_normal().string());
        m_embedded = false;
    }
    SetTitle(full);
    SetFilename(full, true); // tells the views, which retitle their frames
    if (addToRecentFiles && GetDocumentManager()) GetDocumentManager()->AddFileToHistory(path);
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
        // TEMPORARY SCAFFOLDING until FTP transfer: remote documents cannot be
        // fetched yet, so their opening fails with a message.
        UIServices().MessageBox("Error getting file via ftp", MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    std::ifstream probe(path.utf8_string(), std::ios::binary);
    if (!probe || std::filesystem::is_directory(path.utf8_string())) {
        UIServices().MessageBox("Cannot open file " + path.utf8_string() + ".", MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    DeleteContents();
    Modify(false);
    SetDocumentSaved(true); // it has a file: Save writes there without asking
    return true;
}

std::string CBrindleDocBase::SourceFile(const wxString& path) const
{
    return m_isRemote ? m_localCopy : path.utf8_string();
}
