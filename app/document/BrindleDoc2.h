#pragma once

#include "app/document/BrindleDocBase.h"
#include "app/document/TextEncoding.h"
#include "brindlekit/text/TextBuffer.h"

class CBrindleDoc2;

// The DTD's text. Its modified state is the document's.
class CDtdTextBuffer : public brindle::CTextBuffer {
public:
    explicit CDtdTextBuffer(CBrindleDoc2& doc) : m_doc(doc) {}
    void SetModified(bool modified = true) override;

private:
    CBrindleDoc2& m_doc;
};

// A Document Type Definition: plain text, edited in its own source view.
class CBrindleDoc2 : public CBrindleDocBase {
public:
    CBrindleDoc2();
    ~CBrindleDoc2() override;

    CDtdTextBuffer& GetTextBuffer() { return m_buffer; }
    const FileEncoding& GetFileEncoding() const { return m_fileEncoding; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const wxString& path) override;
    bool OnSaveDocument(const wxString& path) override;

private:
    CDtdTextBuffer m_buffer;
    FileEncoding m_fileEncoding;
    TextForm m_textForm = TextForm::Decoded;
};
