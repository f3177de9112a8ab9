#include "platform/script/Lexer.h"

#include "platform/script/ScriptError.h"
#include "platform/script/VariantOps.h"

#include <cmath>
#include <unordered_map>

namespace brindle::vbs {

namespace {

const std::unordered_map<std::string, Kw>& Keywords()
{
    static const std::unordered_map<std::string, Kw> table = {
        {"and", Kw::And}, {"byref", Kw::ByRef}, {"byval", Kw::ByVal}, {"call", Kw::Call},
        {"case", Kw::Case}, {"class", Kw::Class}, {"const", Kw::Const}, {"default", Kw::Default},
        {"dim", Kw::Dim}, {"do", Kw::Do}, {"each", Kw::Each}, {"else", Kw::Else},
        {"elseif", Kw::ElseIf}, {"empty", Kw::Empty}, {"end", Kw::End}, {"eqv", Kw::Eqv},
        {"erase", Kw::Erase}, {"error", Kw::Error}, {"exit", Kw::Exit}, {"explicit", Kw::Explicit},
        {"false", Kw::False}, {"for", Kw::For}, {"function", Kw::Function}, {"get", Kw::Get},
        {"goto", Kw::GoTo}, {"if", Kw::If}, {"imp", Kw::Imp}, {"in", Kw::In}, {"is", Kw::Is},
        {"let", Kw::Let}, {"loop", Kw::Loop}, {"me", Kw::Me}, {"mod", Kw::Mod}, {"new", Kw::New},
        {"next", Kw::Next}, {"not", Kw::Not}, {"nothing", Kw::Nothing}, {"null", Kw::Null},
        {"on", Kw::On}, {"option", Kw::Option}, {"or", Kw::Or}, {"preserve", Kw::Preserve},
        {"private", Kw::Private}, {"property", Kw::Property}, {"public", Kw::Public},
        {"redim", Kw::ReDim}, {"resume", Kw::Resume}, {"select", Kw::Select}, {"set", Kw::Set},
        {"step", Kw::Step}, {"sub", Kw::Sub}, {"then", Kw::Then}, {"to", Kw::To},
        {"true", Kw::True}, {"until", Kw::Until}, {"wend", Kw::Wend}, {"while", Kw::While},
        {"with", Kw::With}, {"xor", Kw::Xor},
    };
    return table;
}

bool IsLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsNameChar(char16_t c) { return IsLetter(c) || IsDigit(c) || c == u'_'; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF; }

class Lexer {
public:
    explicit Lexer(VbStringView s) : m_s(s) {}

    std::vector<Token> Run()
    {
        bool space = true;
        while (m_i < m_s.size()) {
            char16_t c = m_s[m_i];
            if (IsBlank(c)) { ++m_i; space = true; continue; }
            if (c == u'\r' || c == u'\n') { NewLine(); space = true; continue; }
            if (c == u'\'') { SkipComment(); continue; }
            if (c == u'_' && ContinuationAhead()) { space = true; continue; }
            Token t;
            t.spaceBefore = space;
            t.line = m_line;
            t.column = static_cast<int>(m_i - m_lineStart) + 1;
            space = false;
            if (IsLetter(c)) {
                if (!Word(t)) continue; // Rem comment
            } else if (c == u'[') {
                Bracketed(t);
            } else if (IsDigit(c) || (c == u'.' && m_i + 1 < m_s.size() && IsDigit(m_s[m_i + 1]) && !AfterOperand())) {
                Number(t);
            } else if (c == u'"') {
                String(t);
            } else if (c == u'#') {
                Date(t);
            } else if (c == u'&' && m_i + 1 < m_s.size() && (m_s[m_i + 1] == u'H' || m_s[m_i + 1] == u'h' ||
                                                          m_s[m_i + 1] == u'O' || m_s[m_i + 1] == u'o')) {
                Radix(t);
            } else {
                Operator(t);
            }
            m_out.push_back(std::move(t));
        }
        Token nl;
        nl.kind = Tok::NewLine;
        nl.line = m_line;
        nl.column = static_cast<int>(m_i - m_lineStart) + 1;
        m_out.push_back(nl);
        nl.kind = Tok::End;
        m_out.push_back(nl);
        return std::move(m_out);
    }

private:
    [[noreturn]] void Fail(int number, size_t at)
    {
        ScriptError e(number);
        e.SetPosition(m_line, static_cast<int>(at - m_lineStart) + 1);
        throw e;
    }

    void NewLine()
    {
        if (m_s[m_i] == u'\r' && m_i + 1 < m_s.size() && m_s[m_i + 1] == u'\n') ++m_i;
        Token t;
        t.kind = Tok::NewLine;
        t.line = m_line;
        t.column = static_cast<int>(m_i - m_lineStart) + 1;
        m_out.push_back(t);
        ++m_i;
        ++m_line;
        m_lineStart = m_i;
    }

    void SkipComment()
    {
        while (m_i < m_s.size() && m_s[m_i] != u'\r' && m_s[m_i] != u'\n') ++m_i;
    }

    // " _" followed by blanks and a line end joins the next line to this one.
    bool ContinuationAhead()
    {
        if (m_i > 0 && !IsBlank(m_s[m_i - 1])) return false;
        size_t j = m_i + 1;
        while (j < m_s.size() && IsBlank(m_s[j])) ++j;
        if (j < m_s.size() && m_s[j] != u'\r' && m_s[j] != u'\n') return false;
        if (j < m_s.size() && m_s[j] == u'\r' && j + 1 < m_s.size() && m_s[j + 1] == u'\n') ++j;
        m_i = j < m_s.size() ? j + 1 : j;
        ++m_line;
        m_lineStart = m_i;
        return true;
    }

    // A dot right after a name or ')' is member access, never a number.
    bool AfterOperand() const
    {
        if (m_out.empty() || m_i == 0 || IsBlank(m_s[m_i - 1])) return false;
        Tok k = m_out.back().kind;
        return k == Tok::Name || k == Tok::RParen;
    }

    bool Word(Token& t)
    {
        size_t start = m_i;
        while (m_i < m_s.size() && IsNameChar(m_s[m_i])) ++m_i;
        std::string name;
        name.reserve(m_i - start);
        for (size_t k = start; k < m_i; ++k) name.push_back(static_cast<char>(m_s[k]));
        t.kind = Tok::Name;
        t.lname = LowerAscii(name);
        t.name = std::move(name);
        if (!m_out.empty() && m_out.back().kind == Tok::Dot && !t.spaceBefore) return true;
        if (t.lname == "rem") {
            SkipComment();
            return false;
        }
        auto it = Keywords().find(t.lname);
        if (it != Keywords().end()) t.kw = it->second;
        return true;
    }

    void Bracketed(Token& t)
    {
        size_t start = ++m_i;
        while (m_i < m_s.size() && m_s[m_i] != u']' && m_s[m_i] != u'\r' && m_s[m_i] != u'\n') ++m_i;
        if (m_i >= m_s.size() || m_s[m_i] != u']') Fail(err::kExpectedIdentifier, start - 1);
        t.kind = Tok::Name;
        t.name = ToUtf8(m_s.substr(start, m_i - start));
        t.lname = LowerAscii(t.name);
        ++m_i;
    }

    void Number(Token& t)
    {
        size_t start = m_i;
        bool isFloat = false;
        while (m_i < m_s.size() && IsDigit(m_s[m_i])) ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == u'.') {
            isFloat = true;
            ++m_i;
            while (m_i < m_s.size() && IsDigit(m_s[m_i])) ++m_i;
        }
        if (m_i < m_s.size() && (m_s[m_i] == u'e' || m_s[m_i] == u'E')) {
            size_t j = m_i + 1;
            if (j < m_s.size() && (m_s[j] == u'+' || m_s[j] == u'-')) ++j;
            if (j < m_s.size() && IsDigit(m_s[j])) {
                isFloat = true;
                m_i = j;
                while (m_i < m_s.size() && IsDigit(m_s[m_i])) ++m_i;
            }
        }
        std::string text;
        for (size_t k = start; k < m_i; ++k) text.push_back(static_cast<char>(m_s[k]));
        double d = std::strtod(text.c_str(), nullptr);
        t.kind = Tok::Literal;
        if (!isFloat && d <= 32767) t.value = Variant(static_cast<int16_t>(d));
        else if (!isFloat && d <= 2147483647.0) t.value = Variant(static_cast<int32_t>(d));
        else t.value = Variant(d);
    }

    void Radix(Token& t)
    {
        size_t start = m_i++;
        int base = 8;
        if (m_s[m_i] == u'H' || m_s[m_i] == u'h') { base = 16; ++m_i; }
        else if (m_s[m_i] == u'O' || m_s[m_i] == u'o') ++m_i;
        uint64_t v = 0;
        size_t digits = 0;
        while (m_i < m_s.size()) {
            char16_t c = m_s[m_i];
            int d = IsDigit(c) ? c - u'0' : (c >= u'a' && c <= u'f') ? c - u'a' + 10 : (c >= u'A' && c <= u'F') ? c - u'A' + 10 : 99;
            if (d >= base) break;
            v = v * base + d;
            if (v > 0xFFFFFFFFull) Fail(err::kSyntaxError, start);
            ++digits;
            ++m_i;
        }
        if (digits == 0) Fail(err::kSyntaxError, start);
        bool isLong = false;
        if (m_i < m_s.size() && m_s[m_i] == u'&') { isLong = true; ++m_i; }
        t.kind = Tok::Literal;
        if (!isLong && v <= 0xFFFF) t.value = Variant(static_cast<int16_t>(static_cast<uint16_t>(v)));
        else t.value = Variant(static_cast<int32_t>(static_cast<uint32_t>(v)));
    }

    void String(Token& t)
    {
        size_t start = m_i++;
        VbString text;
        for (;;) {
            if (m_i >= m_s.size() || m_s[m_i] == u'\r' || m_s[m_i] == u'\n') Fail(err::kUnterminatedString, start);
            if (m_s[m_i] == u'"') {
                if (m_i + 1 < m_s.size() && m_s[m_i + 1] == u'"') {
                    text.push_back(u'"');
                    m_i += 2;
                    continue;
                }
                ++m_i;
                break;
            }
            text.push_back(m_s[m_i++]);
        }
        t.kind = Tok::Literal;
        t.value = Variant(std::move(text));
    }

    void Date(Token& t)
    {
        size_t start = m_i++;
        while (m_i < m_s.size() && m_s[m_i] != u'#' && m_s[m_i] != u'\r' && m_s[m_i] != u'\n') ++m_i;
        if (m_i >= m_s.size() || m_s[m_i] != u'#') Fail(err::kSyntaxError, start);
        VbString text(m_s.substr(start + 1, m_i - start - 1));
        ++m_i;
        t.kind = Tok::Literal;
        try {
            t.value = Variant(ToDate(Variant(std::move(text))));
        } catch (const ScriptError&) {
            Fail(err::kSyntaxError, start);
        }
    }

    void Operator(Token& t)
    {
        char16_t c = m_s[m_i];
        char16_t n = m_i + 1 < m_s.size() ? m_s[m_i + 1] : 0;
        size_t len = 1;
        switch (c) {
        case u'.': t.kind = Tok::Dot; break;
        case u',': t.kind = Tok::Comma; break;
        case u'(': t.kind = Tok::LParen; break;
        case u')': t.kind = Tok::RParen; break;
        case u'+': t.kind = Tok::Plus; break;
        case u'-': t.kind = Tok::Minus; break;
        case u'*': t.kind = Tok::Star; break;
        case u'/': t.kind = Tok::Slash; break;
        case u'\\': t.kind = Tok::Backslash; break;
        case u'^': t.kind = Tok::Caret; break;
        case u'&': t.kind = Tok::Amp; break;
        case u':': t.kind = Tok::Colon; break;
        case u'=': t.kind = Tok::Eq; break;
        case u'<':
            if (n == u'>') { t.kind = Tok::Ne; len = 2; }
            else if (n == u'=') { t.kind = Tok::Le; len = 2; }
            else t.kind = Tok::Lt;
            break;
        case u'>':
            if (n == u'=') { t.kind = Tok::Ge; len = 2; }
            else t.kind = Tok::Gt;
            break;
        default: Fail(err::kInvalidCharacter, m_i);
        }
        m_i += len;
    }

    VbStringView m_s;
    size_t m_i = 0;
    size_t m_lineStart = 0;
    int m_line = 1;
    std::vector<Token> m_out;
};

} // namespace

bool IsSoftKeyword(Kw kw)
{
    switch (kw) {
    case Kw::None:
    case Kw::Default:
    case Kw::Error:
    case Kw::Explicit:
    case Kw::Get:
    case Kw::GoTo:
    case Kw::Preserve:
    case Kw::Property:
    case Kw::Resume:
    case Kw::Step: return true;
    default: return false;
    }
}

std::vector<Token> Tokenize(VbStringView source) { return Lexer(source).Run(); }

} // namespace brindle::vbs
