#include "app/document/Transform.h"

#include "app/settings/Settings.h"
#include "platform/io/AtomicFileWriter.h"
#include "platform/ui/UIServices.h"
#include "platform/xml/XmlDom.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>

using namespace brindle;

namespace {

// The reason an output file could not be replaced. The writer refuses some
// targets (a folder, a read-only file) by its own checks, which leave errno as
// it was; those get the matching system code.
int WriteFailureCode(int error, const std::string& path)
{
    if (error != 0) return error;
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? EISDIR : EACCES;
    return EIO;
}

bool WriteOutput(const std::string& path, const std::string& text, DocErrors& errors)
{
    AtomicFileWriter writer(path);
    errno = 0;
    if (writer.Open() && writer.Write(text.data(), text.size()) && writer.Commit()) return true;
    const int error = WriteFailureCode(errno, path);
    // The system text follows the path directly, as the message box always put it.
    errors.Add("Error saving transformed document to " + path + std::strerror(error), MsgIcon::Information);
    return false;
}

} // namespace

std::string ProposeStylesheet(const XmlDocumentPtr& dom)
{
    std::string proposal;
    if (!dom) return proposal;
    for (XmlNodePtr child = dom->firstChild(); child; child = child->nextSibling()) {
        if (child->nodeType() != NODE_PROCESSING_INSTRUCTION || child->nodeName() != "xml-stylesheet") continue;
        const std::string data = child->nodeValue().value_or(std::string());
        proposal.clear();
        const std::size_t href = data.find("href=");
        if (href == std::string::npos || href + 5 >= data.size() || data[href + 5] != '"') continue;
        const std::size_t end = data.find('"', href + 6);
        if (end == std::string::npos) continue;
        proposal = data.substr(href + 6, end - href - 6);
    }
    return proposal;
}

std::string ResolveStylesheetPath(const std::string& xslFile, const std::string& documentPath)
{
    if (xslFile.empty() || xslFile.front() == '/' || documentPath.rfind("ftp://", 0) == 0) return xslFile;
    const std::size_t slash = documentPath.rfind('/');
    if (slash == std::string::npos) return xslFile;
    return documentPath.substr(0, slash + 1) + xslFile;
}

bool TransformDocument(const XmlDocumentPtr& dom, const std::string& outputFile, const std::string& xslFile,
                       bool openAfter, const std::function<void(const std::string&)>& openDocument, DocErrors& errors)
{
    if (outputFile.empty()) {
        errors.Add("No output file specified");
        return false;
    }
    return TransformDocumentWith(Settings::GetParserAppId(), dom, outputFile, xslFile, openAfter, openDocument, errors);
}

bool TransformDocumentWith(const std::string& parserAppId, const XmlDocumentPtr& dom, const std::string& outputFile,
                           const std::string& xslFile, bool openAfter,
                           const std::function<void(const std::string&)>& openDocument, DocErrors& errors)
{
    if (outputFile.empty()) {
        errors.Add("No output file specified");
        return false;
    }
    const XmlDocumentPtr stylesheet = ParserRegistry::CreateFromProgId(parserAppId);
    if (!stylesheet || !dom) {
        errors.Add("failed to create instance of DOM");
        return false;
    }
    if (xslFile.empty()) {
        errors.Add("Unable to transform document. No XSL File specified.");
        return false;
    }

    // A stylesheet that is missing or does not parse leaves an empty document,
    // which the transformation then refuses with its own message. The parser's
    // description of the failure is shown in full.
    stylesheet->put_async(false);
    try {
        stylesheet->load(xslFile);
    } catch (const DomError& error) {
        errors.Add(std::string("Error while loading stylesheet. ") + error.what());
        return false;
    }

    std::string result;
    std::optional<std::string> failure;
    {
        WaitCursor wait;
        try {
            // Included content is read into the transformation's own copy.
            dom->put_processXIncludes(Settings::GetProcessXIncludes() != 0);
            result = dom->transformNode(*stylesheet);
        } catch (const DomError& error) {
            failure = error.what();
        }
    }
    if (failure) {
        errors.Add("Error while transforming due to the following error: " + *failure);
        return false;
    }

    if (!WriteOutput(outputFile, result, errors)) return false;
    if (openAfter && openDocument) openDocument(outputFile);
    return true;
}
