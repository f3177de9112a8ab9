#include "app/document/ScaffoldDocument.h"

#include "platform/ui/UIServices.h"

#include <fstream>
#include <wx/file.h>
#include <sstream>

using namespace brindle;

bool ScaffoldDocument::OnNewDocument()
{
    m_text.clear();
    return wxDocument::OnNewDocument();
}

bool ScaffoldDocument::OnOpenDocument(const wxString& path)
{
    if (!DoOpenDocument(path)) return false;
    Modify(false);
    SetDocumentSaved(true);
    UpdateAllViews();
    return true;
}

bool ScaffoldDocument::DoOpenDocument(const wxString& path)
{
    std::ifstream in(path.utf8_string(), std::ios::binary);
    std::ostringstream bytes;
    if (in) bytes << in.rdbuf();
    if (!in || in.bad()) {
        UIServices().MessageBox("Cannot open file " + path.utf8_string() + ".", MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    m_text = bytes.str();
    return true;
}

bool ScaffoldDocument::DoSaveDocument(const wxString& path)
{
    // Written beside the target and renamed over it, so a failed save keeps the old file.
    wxTempFile out(path);
    if (!out.IsOpened() || !out.Write(m_text.data(), m_text.size()) || !out.Commit()) {
        UIServices().MessageBox("Cannot save file " + path.utf8_string() + ".", MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    return true;
}
