// Capturing libxml2/libxslt errors for one operation.

#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlLoad.h"
#include "platform/xml/XmlXInclude.h"

#include <libxml/globals.h>
#include <libxml/xmlerror.h>
#include <libxslt/xsltutils.h>

#include <cstdarg>
#include <cstdio>
#include <fstream>

namespace brindle::detail {

namespace {

thread_local ErrorCapture* t_xsltCapture = nullptr;

} // namespace

void ErrorCapture::Take(void* context, xmlErrorPtr err)
{
    auto* capture = static_cast<ErrorCapture*>(context);
    if (!err || err->level < XML_ERR_ERROR) return;
    const bool listing = capture->all && capture->all->size() < kMaxListedErrors;
    if (capture->first.Failed() && !listing) return;
    XmlParseError e = ErrorFromLibXml(err);
    if (capture->namesIncludedFiles && err->node) {
        std::string file = IncludedFileOf(static_cast<const xmlNode*>(err->node));
        if (!file.empty()) e.url = std::move(file);
    }
    if (!capture->first.Failed()) capture->first = e;
    if (listing) capture->all->push_back(std::move(e));
}

namespace {

void AddMessage(ErrorCapture* capture, const char* format, va_list args)
{
    char buf[1024];
    std::vsnprintf(buf, sizeof buf, format, args);
    if (capture->messages.size() < 4096) capture->messages += buf;
}

} // namespace

void CaptureXsltMessage(void* context, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    AddMessage(static_cast<ErrorCapture*>(context), format, args);
    va_end(args);
}

void RouteXsltMessage(void*, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    if (t_xsltCapture) AddMessage(t_xsltCapture, format, args);
    else std::vfprintf(stderr, format, args);
    va_end(args);
}

ErrorCapture::ErrorCapture(std::vector<XmlParseError>* list, bool includedFiles)
    : all(list),
      namesIncludedFiles(includedFiles),
      m_prevContext(xmlStructuredErrorContext),
      m_prevHandler(reinterpret_cast<void*>(xmlStructuredError)),
      m_prevXsltCapture(t_xsltCapture)
{
    EnsureLibXml(); // installs RouteXsltMessage
    xmlSetStructuredErrorFunc(this, Take);
    t_xsltCapture = this;
}

ErrorCapture::~ErrorCapture()
{
    xmlSetStructuredErrorFunc(m_prevContext, reinterpret_cast<xmlStructuredErrorFunc>(m_prevHandler));
    t_xsltCapture = m_prevXsltCapture;
}

std::string ErrorCapture::Message() const
{
    std::string m = first.Failed() ? first.reason : messages;
    while (!m.empty() && (m.back() == '\n' || m.back() == '\r')) m.pop_back();
    return m;
}

std::string SourceLine(const std::string* text, const std::string& path, long line)
{
    if (line <= 0) return {};
    std::string result;
    auto clip = [](std::string s) {
        if (!s.empty() && s.back() == '\r') s.pop_back();
        if (s.size() > 1024) {
            size_t cut = 1024;
            while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
            s.resize(cut);
        }
        return s;
    };
    if (text) {
        size_t start = 0;
        for (long i = 1; i < line; ++i) {
            start = text->find('\n', start);
            if (start == std::string::npos) return {};
            ++start;
        }
        size_t end = text->find('\n', start);
        return clip(text->substr(start, end == std::string::npos ? std::string::npos : end - start));
    }
    std::ifstream in(path, std::ios::binary);
    std::string s;
    for (long i = 1; i <= line && std::getline(in, s); ++i)
        if (i == line) return clip(s);
    return {};
}

} // namespace brindle::detail
