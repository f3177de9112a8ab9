#include "app/document/TextEncoding.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

std::string_view BomOf(const FileEncoding& encoding)
{
    if (!encoding.byteOrderMark) return {};
    if (encoding.name == "UTF-8") return kUtf8Bom;
    if (encoding.name == "UTF-16LE") return kUtf16LeBom;
    if (encoding.name == "UTF-16BE") return kUtf16BeBom;
    return {};
}

std::string Upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

// The encoding pseudo-attribute of an XML declaration at the start of the text.
std::string DeclaredEncoding(std::string_view head)
{
    if (head.substr(0, 5) != "<?xml") return {};
    const size_t end = head.find("?>");
    const std::string_view decl = head.substr(0, end);
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos) return {};
    size_t i = decl.find_first_of("\"'", at);
    if (i == std::string_view::npos) return {};
    const char quote = decl[i];
    const size_t close = decl.find(quote, i + 1);
    if (close == std::string_view::npos) return {};
    return std::string(decl.substr(i + 1, close - i - 1));
}

bool Convert(std::string_view in, const char* to, const char* from, std::string& out, std::string& error)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        error = std::string("the encoding ") + (std::strcmp(to, "UTF-8") == 0 ? from : to) + " is not supported";
        return false;
    }
    out.clear();
    out.resize(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t done = 0;
    bool ok = true;
    while (srcLeft > 0) {
        char* dst = out.data() + done;
        size_t dstLeft = out.size() - done;
        const size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        done = out.size() - dstLeft;
        if (r != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        const size_t offset = in.size() - srcLeft;
        error = (errno == EILSEQ ? "a character that cannot be converted at byte " : "incomplete text at byte ") +
                std::to_string(offset);
        ok = false;
        break;
    }
    ::iconv_close(cd);
    out.resize(ok ? done : 0);
    return ok;
}

} // namespace

FileEncoding DetectEncoding(std::string_view head)
{
    if (head.substr(0, 3) == kUtf8Bom) return {"UTF-8", true};
    if (head.substr(0, 2) == kUtf16LeBom) return {"UTF-16LE", true};
    if (head.substr(0, 2) == kUtf16BeBom) return {"UTF-16BE", true};
    std::string declared = Upper(DeclaredEncoding(head));
    if (declared.empty() || declared == "UTF8" || declared == "UTF-8") return {};
    // A declaration naming UTF-16 in bytes that are readable as ASCII is wrong;
    // the text is 8-bit, so read it as UTF-8.
    if (declared.rfind("UTF-16", 0) == 0 || declared == "UNICODE") return {};
    return {declared, false};
}

bool DecodeToUtf8(std::string_view bytes, const FileEncoding& encoding, std::string& out, std::string& error)
{
    const std::string_view bom = BomOf(encoding);
    if (!bom.empty() && bytes.substr(0, bom.size()) == bom) bytes.remove_prefix(bom.size());
    if (encoding.name == "UTF-8") {
        // Validate by converting to itself, so broken bytes are reported.
        return Convert(bytes, "UTF-8", "UTF-8", out, error);
    }
    return Convert(bytes, "UTF-8", encoding.name.c_str(), out, error);
}

bool EncodeFromUtf8(std::string_view utf8, const FileEncoding& encoding, std::string& out, std::string& error)
{
    std::string body;
    if (encoding.name == "UTF-8") {
        if (!Convert(utf8, "UTF-8", "UTF-8", body, error)) return false;
    } else if (!Convert(utf8, encoding.name.c_str(), "UTF-8", body, error)) {
        return false;
    }
    out = std::string(BomOf(encoding)) + body;
    return true;
}

EncodingRepertoire::EncodingRepertoire(const FileEncoding& encoding)
{
    if (encoding.name == "UTF-8") {
        m_holdsAll = true;
        return;
    }
    // Asked one code point at a time, as UTF-32 in the machine's byte order.
    iconv_t cd = ::iconv_open(encoding.name.c_str(), std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE");
    if (cd != reinterpret_cast<iconv_t>(-1)) m_converter = cd;
}

EncodingRepertoire::~EncodingRepertoire()
{
    if (m_converter) ::iconv_close(static_cast<iconv_t>(m_converter));
}

bool EncodingRepertoire::Holds(char32_t character)
{
    if (m_holdsAll || character < 0x80) return true;
    if (!m_converter) return false;
    if (const auto known = m_known.find(character); known != m_known.end()) return known->second;

    const iconv_t cd = static_cast<iconv_t>(m_converter);
    char32_t in = character;
    char buffer[16];
    char* src = reinterpret_cast<char*>(&in);
    size_t srcLeft = sizeof in;
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    bool held = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1);
    // Back to the initial shift state, so that each character is asked on its own.
    dst = buffer;
    dstLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &dst, &dstLeft);
    m_known.emplace(character, held);
    return held;
}
