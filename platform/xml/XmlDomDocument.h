#pragma once

#include "platform/Export.h"

#include <string>

namespace brindle {

// What a failed load reports, with the DOM's meaning: line and linepos count from 1.
struct XmlParseError {
    long errorCode = 0;
    long line = 0;
    long linepos = 0;
    long filepos = 0;
    std::string reason;
    std::string srcText;
    std::string url;
};

// A parser document object over libxml2. Parsing never reaches the network.
class BRINDLEKIT_API XmlDomDocument {
public:
    XmlDomDocument();
    ~XmlDomDocument();
    XmlDomDocument(const XmlDomDocument&) = delete;
    XmlDomDocument& operator=(const XmlDomDocument&) = delete;

    bool async() const { return m_async; }
    void put_async(bool value) { m_async = value; }
    bool validateOnParse() const { return m_validateOnParse; }
    void put_validateOnParse(bool value) { m_validateOnParse = value; }
    bool resolveExternals() const { return m_resolveExternals; }
    void put_resolveExternals(bool value) { m_resolveExternals = value; }

    // Replaces the content with the parsed text; false (and parseError set) when
    // the text is not well-formed, leaving the document empty.
    bool loadXML(const std::string& text);
    // The same for a file.
    bool load(const std::string& path);
    // The document serialised as text; empty for an empty document.
    std::string xml() const;
    const XmlParseError& parseError() const { return m_error; }
    bool HasContent() const { return m_doc != nullptr; }

private:
    bool Parse(const char* data, size_t size, const char* url, bool fromFile);
    void Clear();

    void* m_doc = nullptr; // xmlDocPtr, kept out of this header
    bool m_async = true;
    bool m_validateOnParse = true;
    bool m_resolveExternals = true;
    XmlParseError m_error;
};

} // namespace brindle
