#pragma once

#include "app/document/BrindleDocBase.h"

#include <string>

// SCAFFOLDING, replaced by the XML and DTD documents: holds a file's bytes so the
// shell can open, show and save documents before the real document kinds exist.
class ScaffoldDocument : public CBrindleDocBase {
public:
    const std::string& Text() const { return m_text; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const wxString& path) override;

protected:
    bool DoOpenDocument(const wxString& path) override;
    bool DoSaveDocument(const wxString& path) override;

private:
    std::string m_text;
};
