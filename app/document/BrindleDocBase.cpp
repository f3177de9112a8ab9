#include "app/document/BrindleDocBase.h"

#include <filesystem>

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
