#include "platform/xml/DomError.h"
#include "platform/xml/XmlDocument.h"
#include "platform/xml/XmlNodeList.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>

using namespace brindle;
using test::ReadFile;
using test::WriteFile;

namespace {

using Edit = std::function<void(const XmlDocumentPtr&)>;

XmlElementPtr At(const XmlDocumentPtr& d, const std::string& name)
{
    return std::dynamic_pointer_cast<XmlElement>(d->documentElement()->selectSingleNode("//" + name));
}

// A rename as the editor makes it: a new element takes the old one's place,
// attributes and children.
void Rename(const XmlDocumentPtr& d, const XmlElementPtr& old, const std::string& name)
{
    XmlElementPtr renamed = d->createElement(name);
    const auto attributes = old->attributes();
    for (long i = 0; i < attributes->length(); ++i)
        renamed->setAttribute(attributes->item(i)->nodeName(), attributes->item(i)->nodeValue().value_or(""));
    old->parentNode()->replaceChild(renamed, old);
    while (XmlNodePtr c = old->firstChild()) renamed->appendChild(c);
}

class XmlSplice : public ::testing::Test {
protected:
    XmlDocumentPtr Load(const std::string& bytes)
    {
        WriteFile(dir / "in.xml", bytes);
        XmlDocumentPtr d = XmlDocument::Create();
        d->put_keepSourceSpans(true);
        d->put_validateOnParse(false);
        EXPECT_TRUE(d->load((dir / "in.xml").string())) << d->parseError().reason;
        return d;
    }
    // The file saved after the edit, or "why: <reason>" when it saved whole.
    std::string Saved(const std::string& bytes, const Edit& edit)
    {
        XmlDocumentPtr d = Load(bytes);
        edit(d);
        const std::string reason = d->saveSpliced((dir / "out.xml").string());
        return reason.empty() ? ReadFile(dir / "out.xml") : "why: " + reason;
    }
    test::TempDir dir;
};

} // namespace

TEST_F(XmlSplice, SpansPointAtEachElementsTextInEveryEncoding)
{
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<r a='1'>x<b x=\"1\"/><c>y</c></r>")) {
        utf16 += c;
        utf16 += '\0';
    }
    const std::vector<std::pair<std::string, std::string>> inputs = {
        {"<?xml version=\"1.0\"?>\r\n<r a='1'>x<b x=\"1\"/><c>\xC3\xA9</c></r>", "<?xml version=\"1.0\"?>\r\n<r a='1'>x<b x=\"1\"/><c>\xC3\xA9</c></r>"},
        {"\xEF\xBB\xBF<r>x<b/><c>y</c></r>", "\xEF\xBB\xBF<r>x<b/><c>y</c></r>"},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r a='\xE9'>\xE9<b x=\"1\"/><c>\xE9</c></r>",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r a='\xC3\xA9'>\xC3\xA9<b x=\"1\"/><c>\xC3\xA9</c></r>"},
        {utf16, "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<r a='1'>x<b x=\"1\"/><c>y</c></r>"},
        {"<!DOCTYPE r [<!ENTITY e '<c>in</c>'>]><r><b/>&e;</r>", "<!DOCTYPE r [<!ENTITY e '<c>in</c>'>]><r><b/>&e;</r>"},
    };
    for (const auto& [bytes, text] : inputs) {
        XmlDocumentPtr d = Load(bytes);
        for (const std::string name : {"r", "b", "c"}) {
            XmlNodePtr n = d->documentElement()->selectSingleNode("//" + name);
            if (text.find("&e;") != std::string::npos && name == "c") {
                // An element from an entity is not in the document's own text.
                n = d->documentElement()->lastChild()->firstChild();
                ASSERT_TRUE(n && n->nodeName() == "c");
                EXPECT_FALSE(d->sourceSpan(n));
                continue;
            }
            ASSERT_TRUE(n) << text;
            const auto span = d->sourceSpan(n);
            ASSERT_TRUE(span) << name << " in " << text;
            const std::string written = text.substr(span->start, span->end - span->start);
            EXPECT_EQ(written.substr(0, name.size() + 1), "<" + name) << text;
            EXPECT_EQ(written.back(), '>') << text;
        }
    }
    XmlDocumentPtr plain = XmlDocument::Create();
    plain->loadXML("<r/>");
    EXPECT_FALSE(plain->sourceSpan(plain->documentElement()));
    EXPECT_EQ(plain->sourceSpanBytes(), 0u);
}

TEST_F(XmlSplice, AttributeEditsKeepTheRestOfTheTag)
{
    const std::string in = "<r>\n  <a x='1'  y=\"2\"/>\n  <b\n     p='1'\n     q='2'></b>\n</r>\n";
    EXPECT_EQ(Saved(in, [](auto& d) { At(d, "a")->setAttribute("x", "3 & <4>"); }),
              "<r>\n  <a x='3 &amp; &lt;4>'  y=\"2\"/>\n  <b\n     p='1'\n     q='2'></b>\n</r>\n");
    EXPECT_EQ(Saved(in, [](auto& d) { At(d, "a")->setAttribute("z", "it's"); }),
              "<r>\n  <a x='1'  y=\"2\" z='it&#39;s'/>\n  <b\n     p='1'\n     q='2'></b>\n</r>\n");
    EXPECT_EQ(Saved(in, [](auto& d) { At(d, "b")->setAttribute("s", "3"); }),
              "<r>\n  <a x='1'  y=\"2\"/>\n  <b\n     p='1'\n     q='2'\n     s='3'></b>\n</r>\n");
    EXPECT_EQ(Saved(in, [](auto& d) { At(d, "a")->removeAttribute("x"); }),
              "<r>\n  <a  y=\"2\"/>\n  <b\n     p='1'\n     q='2'></b>\n</r>\n");
    // Set and set back: the file's own bytes.
    EXPECT_EQ(Saved(in, [](auto& d) {
                  At(d, "a")->setAttribute("x", "9");
                  At(d, "a")->setAttribute("x", "1");
              }),
              in);
}

TEST_F(XmlSplice, ChildrenComeAndGoInTheParentsLayout)
{
    const std::string in = "<?xml version=\"1.0\"?>\n<!-- first -->\n<r>\n  <a/>\n  <b>t</b>\n</r>\n<?last one?>\n";
    const auto expect = [&](const Edit& edit, const std::string& body) {
        EXPECT_EQ(Saved(in, edit), "<?xml version=\"1.0\"?>\n<!-- first -->\n" + body + "\n<?last one?>\n");
    };
    expect([](auto& d) { d->documentElement()->appendChild(d->createElement("c")); },
           "<r>\n  <a/>\n  <b>t</b>\n  <c/>\n</r>");
    expect([](auto& d) { d->documentElement()->insertBefore(d->createElement("c"), At(d, "b")); },
           "<r>\n  <a/>\n  <c/>\n  <b>t</b>\n</r>");
    expect([](auto& d) { d->documentElement()->removeChild(At(d, "a")); }, "<r>\n  <b>t</b>\n</r>");
    expect([](auto& d) { At(d, "a")->appendChild(d->createElement("in")); }, "<r>\n  <a>\n    <in/>\n  </a>\n  <b>t</b>\n</r>");
    expect([](auto& d) { Rename(d, At(d, "b"), "bee"); }, "<r>\n  <a/>\n  <bee>t</bee>\n</r>");
    expect([](auto& d) { At(d, "b")->firstChild()->put_nodeValue("u & v"); }, "<r>\n  <a/>\n  <b>u &amp; v</b>\n</r>");
    // A copy is new text; the original keeps its own.
    expect([](auto& d) { d->documentElement()->appendChild(At(d, "b")->cloneNode(true)); },
           "<r>\n  <a/>\n  <b>t</b>\n  <b>t</b>\n</r>");
    // Moved within its parent: its own text, in its new place.
    expect([](auto& d) { d->documentElement()->insertBefore(At(d, "b"), At(d, "a")); },
           "<r>\n  <b>t</b>\n  <a/>\n</r>");
    expect([](auto& d) { d->documentElement()->setAttribute("k", "v"); }, "<r k=\"v\">\n  <a/>\n  <b>t</b>\n</r>");
}

TEST_F(XmlSplice, WhatTheEditDidNotReachStaysAsWritten)
{
    const std::string in = "<r  q='x'><a>&#233;&amp;&#x41;<![CDATA[<raw>]]></a><!--c--><?p d?><e></e><b v='1'/></r>";
    EXPECT_EQ(Saved(in, [](auto& d) { At(d, "b")->setAttribute("v", "2"); }),
              "<r  q='x'><a>&#233;&amp;&#x41;<![CDATA[<raw>]]></a><!--c--><?p d?><e></e><b v='2'/></r>");
    EXPECT_EQ(Saved(in, [](auto& d) { At(d, "e")->setAttribute("n", "1"); }),
              "<r  q='x'><a>&#233;&amp;&#x41;<![CDATA[<raw>]]></a><!--c--><?p d?><e n='1'></e><b v='1'/></r>");
    EXPECT_EQ(Saved(in, [](auto& d) { d->documentElement()->removeChild(At(d, "e")); }),
              "<r  q='x'><a>&#233;&amp;&#x41;<![CDATA[<raw>]]></a><!--c--><?p d?><b v='1'/></r>");
}

TEST_F(XmlSplice, LineEndsAndEncodingsStayTheFiles)
{
    EXPECT_EQ(Saved("<r>\r\n  <a/>\r\n</r>\r\n", [](auto& d) { d->documentElement()->appendChild(d->createElement("b")); }),
              "<r>\r\n  <a/>\r\n  <b/>\r\n</r>\r\n");
    EXPECT_EQ(Saved("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r a='\xE9'>caf\xE9<b/></r>",
                    [](auto& d) { At(d, "b")->setAttribute("x", "\xC3\xA8\xE2\x82\xAC"); }),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<r a='\xE9'>caf\xE9<b x='\xE8&#8364;'/></r>");
    std::string utf16 = "\xFF\xFE", expected = "\xFF\xFE";
    for (char c : std::string("<r>\n <a/>\n</r>")) utf16 += std::string{c, '\0'};
    for (char c : std::string("<r>\n <a x=\"1\"/>\n</r>")) expected += std::string{c, '\0'};
    EXPECT_EQ(Saved(utf16, [](auto& d) { At(d, "a")->setAttribute("x", "1"); }), expected);
}

TEST_F(XmlSplice, UnsoundSplicesSayWhyAndWriteNothing)
{
    const std::string in = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE r [<!ENTITY e 'x'>]>\n<r>&e;</r>";
    EXPECT_EQ(Saved(in, [](auto& d) { d->removeChild(d->doctype()); }), "why: the DOCTYPE was edited");
    EXPECT_EQ(Saved(in, [](auto& d) { d->firstChild()->put_nodeValue("version=\"1.0\" encoding=\"UTF-8\""); }),
              "why: the encoding changed");
    EXPECT_FALSE(std::filesystem::exists(dir / "out.xml"));

    XmlDocumentPtr d = Load("<r><a/></r>");
    At(d, "a")->setAttribute("x", "1");
    WriteFile(dir / "in.xml", "<r><a/><b/></r>");
    EXPECT_EQ(d->saveSpliced((dir / "out.xml").string()), "the file changed on disk since it was opened");

    XmlDocumentPtr unrecorded = XmlDocument::Create();
    ASSERT_TRUE(unrecorded->load((dir / "in.xml").string()));
    EXPECT_FALSE(unrecorded->saveSpliced((dir / "out.xml").string()).empty());
}

TEST_F(XmlSplice, TheFileSurvivesItsOwnSave)
{
    // Saving over the file it came from, twice: the second save still splices
    // from the text the tree was read from.
    XmlDocumentPtr d = Load("<r>\n  <a  x='1'/>\n</r>");
    const std::string path = (dir / "in.xml").string();
    At(d, "a")->setAttribute("x", "2");
    EXPECT_EQ(d->saveSpliced(path), "");
    d->documentElement()->appendChild(d->createElement("b"));
    EXPECT_EQ(d->saveSpliced(path), "");
    EXPECT_EQ(ReadFile(path), "<r>\n  <a  x='2'/>\n  <b/>\n</r>");
    // A text the caller keeps (the editor's own buffer) serves as well.
    XmlDocumentPtr t = XmlDocument::Create();
    t->put_keepSourceSpans(true);
    const std::string text = "<r><a  x='1'/></r>";
    ASSERT_TRUE(t->loadXML(text));
    At(t, "a")->setAttribute("x", "2");
    std::string out;
    EXPECT_EQ(t->writeSpliced([&out](std::string_view piece) { out += piece; }, text), "");
    EXPECT_EQ(out, "<r><a  x='2'/></r>");
}
