#include "app/document/BrindleDoc2.h"

#include "app/document/EncodedText.h"

void CDtdTextBuffer::SetModified(bool modified)
{
    CTextBuffer::SetModified(modified);
    m_doc.Modify(modified);
}

CBrindleDoc2::CBrindleDoc2() : m_buffer(*this) {}

CBrindleDoc2::~CBrindleDoc2() { m_buffer.FreeAll(); }

bool CBrindleDoc2::OnNewDocument()
{
    if (!CBrindleDocBase::OnNewDocument()) return false;
    m_buffer.InitNew();
    m_fileEncoding = {};
    m_textForm = TextForm::Decoded;
    SetPathName("untitled", false);
    m_isNew = true;
    return true;
}

bool CBrindleDoc2::OnOpenDocument(const wxString& path)
{
    if (!CBrindleDocBase::OnOpenDocument(path)) return false;
    const std::string file = SourceFile(path);
    m_fileEncoding = DetectFileEncoding(file);
    return LoadEncodedText(m_buffer, file, m_fileEncoding, m_textForm);
}

bool CBrindleDoc2::OnSaveDocument(const wxString& path)
{
    if (!SaveEncodedText(m_buffer, path.utf8_string(), m_fileEncoding, m_textForm, m_errors)) return false;
    m_isNew = false;
    Modify(false);
    SetDocumentSaved(true);
    return true;
}
