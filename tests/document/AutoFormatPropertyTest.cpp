// Auto format over generated documents: the output parses to the same document
// (modulo white-space-only text and the trimming of text; comments, instructions
// and CDATA sections exactly as they were) and formatting it again changes
// nothing.
#include "app/document/AutoFormat.h"
#include "tests/document/FormatTestSupport.h"

#include <gtest/gtest.h>
#include <random>
#include <set>
#include <string>
#include <vector>

using namespace brindle;
using brindle::test::CanonicalForm;
using brindle::test::FormatDocument;
using brindle::test::ParseOrFail;

namespace {

class DocumentGenerator {
public:
    explicit DocumentGenerator(unsigned seed) : m_rng(seed) {}

    std::string Document()
    {
        std::string out;
        m_entities = false;
        if (Chance(60)) {
            const char q = Chance(50) ? '"' : '\'';
            out += std::string("<?xml version=") + q + "1.0" + q;
            if (Chance(50)) out += std::string(" encoding=") + q + "UTF-8" + q;
            if (Chance(30)) out += std::string(" standalone=") + q + "no" + q;
            out += "?>" + Spaces();
        }
        Misc(out);
        if (Chance(50)) {
            m_entities = true;
            out += "<!DOCTYPE root";
            const int id = Pick(3);
            if (id == 1) out += " SYSTEM \"root.dtd\"";
            if (id == 2) out += " PUBLIC \"-//Brindle//DTD Gen//EN\" \"gen.dtd\"";
            out += " [\n  <!ELEMENT root ANY>\n  <!ENTITY plain \"one &amp; two\">\n"
                   "  <!ENTITY markup \"<i>in</i> part\">\n  <!-- subset note -->\n  <!ATTLIST root id CDATA #IMPLIED>\n]>" +
                   Spaces();
        }
        Misc(out);
        m_prefixes.clear();
        Element(out, 0, "root");
        Misc(out);
        return out;
    }

private:
    bool Chance(int percent) { return Pick(100) < percent; }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    template <class T> const T& OneOf(const std::vector<T>& items) { return items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))]; }

    std::string Spaces() { return OneOf<std::string>({"", "\n", "\n  ", " ", "\r\n\t"}); }

    void Misc(std::string& out)
    {
        for (int n = Pick(3); n > 0; --n) {
            if (Chance(50))
                out += "<!--" + CommentText() + "-->";
            else
                out += Instruction();
            out += Spaces();
        }
    }

    std::string Pieces(const std::vector<std::string>& pieces, int max)
    {
        std::string out;
        for (int n = 1 + Pick(max); n > 0; --n) out += OneOf(pieces);
        return out;
    }

    // White space and line breaks at the edges of a comment, instruction or
    // CDATA section, which are part of its text.
    std::string Edge() { return OneOf<std::string>({"", "", " ", "  ", "\n", "\t", "\r\n", " \n\t", "\n\n "}); }

    std::string CommentText()
    {
        std::string text =
            Edge() + Pieces({"note", " ", "-", "\n", "<&>", "\"q\"", "x", "\t", "\xC3\xA9", "\r\n", "  "}, 8) + Edge();
        for (std::size_t p; (p = text.find("--")) != std::string::npos;) text.replace(p, 2, "- ");
        if (text.back() == '-') text += ' ';
        return text;
    }

    std::string Instruction()
    {
        std::string data = Edge() + Pieces({"a=\"1\"", " ", "?", "\n", "<&>", "x", "'", "\t", "\r\n"}, 6) + Edge();
        for (std::size_t p; (p = data.find("?>")) != std::string::npos;) data.replace(p, 2, "? >");
        if (data.back() == '?') data += ' ';
        return "<?" + OneOf<std::string>({"pi", "tool", "x-y"}) + (Chance(20) ? std::string() : " " + data) + "?>";
    }

    std::string Text()
    {
        std::vector<std::string> pieces{"word", " ", "\n", "&amp;", "&lt;", "&gt;", ">", "]]&gt;", "&#13;", "  ",
                                        "\"", "'", "\xE4\xB8\xAD\xE6\x96\x87", "&#x9;", "\r\n", "tail"};
        if (m_entities) {
            pieces.push_back("&plain;");
            pieces.push_back("&markup;");
        }
        return Pieces(pieces, 7);
    }

    std::string AttributeValue()
    {
        std::vector<std::string> pieces{"v", "&amp;", "&lt;", "&gt;", "&quot;", "'", " ", "&#9;", "&#10;", "&#13;",
                                        "\n", "\xC3\xA9", "x y"};
        if (m_entities) pieces.push_back("&plain;");
        std::string value;
        for (int n = Pick(5); n > 0; --n) value += OneOf(pieces);
        return value;
    }

    // A namespace name, often with characters that must be escaped in it.
    std::string NamespaceName(const std::string& base)
    {
        if (Chance(50)) return base;
        std::vector<std::string> pieces{"?a=1&amp;b=2", "&amp;c=3", "&#38;", "&lt;", "&gt;", "&quot;", "'",
                                        "&#9;", "&#10;", "&#13;", "\xC3\xA9", " ", "#f"};
        if (m_entities) pieces.push_back("&plain;");
        return base + Pieces(pieces, 4);
    }

    std::string CData()
    {
        // Now and then a section of white space alone.
        std::string text = Chance(15) ? " " + Edge()
                                      : Edge() + Pieces({"<b>", "&", "]]", "]", ">", " ", "\n", "x", "  ", "\t", "\r\n"}, 8) +
                                            Edge();
        for (std::size_t p; (p = text.find("]]>")) != std::string::npos;) text.replace(p, 3, "]] >");
        return "<![CDATA[" + text + "]]>";
    }

    void Element(std::string& out, int depth, const std::string& fixedName = std::string())
    {
        // Namespace declarations in scope for this element and its descendants.
        const std::vector<std::string> saved = m_prefixes;
        std::string attributes;
        if (Chance(20)) attributes += Chance(50) ? " xmlns=\"" + NamespaceName("urn:default") + "\"" : " xmlns=\"\"";
        if (Chance(20)) {
            const std::string prefix = OneOf<std::string>({"p", "q"});
            attributes += " xmlns:" + prefix + "=\"" + NamespaceName("urn:" + prefix + std::to_string(Pick(2))) + "\"";
            m_prefixes.push_back(prefix);
        }
        std::string name = fixedName;
        if (name.empty()) {
            name = OneOf<std::string>({"a", "b", "item", "long-name.x", "\xC3\xA9l"});
            if (!m_prefixes.empty() && Chance(40)) name = OneOf(m_prefixes) + ":" + name;
        }
        std::set<std::string> used;
        for (int n = Pick(4); n > 0; --n) {
            std::string attribute = OneOf<std::string>({"id", "name", "t", "x.y"});
            if (!m_prefixes.empty() && Chance(30)) attribute = OneOf(m_prefixes) + ":" + attribute;
            if (!used.insert(attribute).second) continue;
            const char q = Chance(70) ? '"' : '\'';
            std::string value = AttributeValue();
            if (q == '\'')
                for (std::size_t p; (p = value.find('\'')) != std::string::npos;) value.replace(p, 1, "&apos;");
            attributes += OneOf<std::string>({" ", "\n  ", "  "}) + attribute + "=" + q + value + q;
        }
        out += "<" + name + attributes;
        const int children = depth < 6 ? Pick(depth == 0 ? 7 : 5) : 0;
        if (children == 0 && Chance(50)) {
            out += "/>";
        } else {
            out += ">";
            for (int i = 0; i < children; ++i) {
                switch (Pick(9)) {
                case 0:
                case 1: Element(out, depth + 1); break;
                case 2:
                case 3: out += Text(); break;
                case 4: out += "<!--" + CommentText() + "-->"; break;
                case 5: out += CData(); break;
                case 6: out += Instruction(); break;
                case 7: out += Spaces(); break;
                default:
                    out += Text();
                    Element(out, depth + 1);
                    break;
                }
            }
            out += "</" + name + ">";
        }
        m_prefixes = saved;
    }

    std::mt19937 m_rng;
    bool m_entities = false;
    std::vector<std::string> m_prefixes;
};

TEST(AutoFormatProperty, OutputParsesToTheSameDocumentAndIsStable)
{
    constexpr unsigned kDocuments = 400;
    for (unsigned seed = 1; seed <= kDocuments; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string input = DocumentGenerator(seed).Document();
        const XmlDocumentPtr dom = ParseOrFail(input);
        ASSERT_TRUE(dom) << "the generator wrote a document that does not parse";

        const std::string first = FormatDocument(dom);
        const XmlDocumentPtr reparsed = ParseOrFail(first);
        ASSERT_TRUE(reparsed) << "input:\n" << input;
        ASSERT_EQ(CanonicalForm(dom), CanonicalForm(reparsed)) << "input:\n" << input << "\noutput:\n" << first;

        const std::string second = FormatDocument(reparsed);
        ASSERT_EQ(first, second) << "input:\n" << input;

        // Bound for an ASCII file, the text writes every other character of its
        // text and attribute values as a reference, and still means the same.
        std::string ascii;
        ASSERT_TRUE(AutoFormatNode(dom, ascii, 0, true, FileEncoding{"US-ASCII", false}));
        const XmlDocumentPtr fromAscii = ParseOrFail(ascii);
        ASSERT_TRUE(fromAscii) << "input:\n" << input;
        ASSERT_EQ(CanonicalForm(dom), CanonicalForm(fromAscii)) << "input:\n" << input << "\noutput:\n" << ascii;
    }
}

} // namespace
