#include "app/views/SourceColouring.h"

#include <array>
#include <cctype>

namespace source_colour {

namespace {

// Entries with characters outside identifiers never match, as identifiers are
// made of letters, digits, "_" and "." only.
constexpr std::array<std::string_view, 12> kKeywords = {
    "version", "xmlns", "standalone", "xsl:for-each", "xsl", "DOCTYPE",
    "system", "public", "ELEMENT", "ATTLIST", "<", ">",
};

bool IsIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.';
}

int StateColour(std::uint32_t cookie)
{
    if (cookie & (kRestOfLine | kCarried)) return kRestOfLineColour;
    if (cookie & (kDoubleQuoted | kSingleQuoted)) return kQuoted;
    if (cookie & kHashLine) return kHashColour;
    return kNormal;
}

} // namespace

bool IsKeyword(std::string_view identifier)
{
    for (std::string_view keyword : kKeywords)
        if (keyword == identifier) return true;
    return false;
}

bool IsNumber(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && text[1] == 'x') {
        for (size_t i = 2; i < text.size(); ++i)
            if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
        return true;
    }
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
    for (size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (!std::isdigit(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.' && c != 'E' && c != 'e')
            return false;
    }
    return true;
}

std::uint32_t ParseLine(std::uint32_t cookie, std::string_view line, brindle::TextBlock* blocks, int& count)
{
    const int length = static_cast<int>(line.size());
    if (length == 0) return cookie & kCarried;

    // A block is only added at or after the last one.
    auto define = [&](int pos, int colour) {
        if (!blocks) return;
        if (count == 0 || pos >= blocks[count - 1].m_nCharPos) blocks[count++] = {pos, colour};
    };
    auto closeIdentifier = [&](int start, int end) {
        const std::string_view identifier = line.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
        if (IsKeyword(identifier)) define(start, kKeyword);
        else if (IsNumber(identifier)) define(start, kNumber);
    };

    bool firstNonBlank = (cookie & ~kCarried) == 0;
    bool redefine = true;
    int redefineAt = 0;
    int identifierStart = -1;
    int i = 0;
    for (;; ++i) {
        if (redefine) {
            define(redefineAt, StateColour(cookie));
            redefine = false;
        }
        if (i >= length || (cookie & kRestOfLine)) break;
        const char c = line[static_cast<size_t>(i)];
        const bool escaped = i > 0 && line[static_cast<size_t>(i - 1)] == '\\';

        if (cookie & kDoubleQuoted) {
            if (c == '"' && !escaped) {
                cookie &= ~kDoubleQuoted;
                redefine = true;
                redefineAt = i + 1;
            }
            continue;
        }
        if (cookie & kSingleQuoted) {
            if (c == '\'' && !escaped) {
                cookie &= ~kSingleQuoted;
                redefine = true;
                redefineAt = i + 1;
            }
            continue;
        }
        if (c == '"') {
            define(i, kQuoted);
            cookie |= kDoubleQuoted;
        } else if (c == '\'') {
            define(i, kQuoted);
            cookie |= kSingleQuoted;
        }
        if (firstNonBlank) {
            if (c == '#') {
                define(i, kHashColour);
                cookie |= kHashLine;
            } else if (!std::isspace(static_cast<unsigned char>(c))) {
                firstNonBlank = false;
            }
        }
        if (blocks) {
            if (IsIdentifierChar(c)) {
                if (identifierStart < 0) identifierStart = i;
            } else if (identifierStart >= 0) {
                closeIdentifier(identifierStart, i);
                redefine = true; // the state colour resumes at the character that ended it
                redefineAt = i;
                identifierStart = -1;
            }
        }
    }
    if (i < length) {
        define(i, kRestOfLineColour);
        cookie |= kRestOfLine;
    }
    if (identifierStart >= 0) closeIdentifier(identifierStart, i);
    return line.back() == '\\' ? cookie : cookie & kCarried;
}

} // namespace source_colour
