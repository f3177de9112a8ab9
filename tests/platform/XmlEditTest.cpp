// Node creation, editing rules, live lists, serialisation of nodes, errors.

#include "platform/xml/XmlDom.h"
#include "tests/support/ParseXml.h"

#include <gtest/gtest.h>

#include <functional>

using namespace brindle;

namespace {

XmlDocumentPtr Load(const std::string& text) { return test::ParseXml(text); }

uint32_t CodeOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const DomError& e) {
        return e.code();
    }
    return 0;
}

} // namespace

TEST(XmlEdit, NodeTypeNamesAndErrorTexts)
{
    EXPECT_STREQ(NodeTypeName(NODE_ELEMENT), "NODE_ELEMENT");
    EXPECT_STREQ(NodeTypeName(7), "NODE_PROCESSING_INSTRUCTION");
    EXPECT_STREQ(NodeTypeName(12), "NODE_NOTATION");
    EXPECT_STREQ(NodeTypeName(0), "NODE_INVALID");
    EXPECT_STREQ(NodeTypeName(13), "NODE_INVALID");
    EXPECT_EQ(ComErrorText(kDomInvalidArg), "The parameter is incorrect.");
    EXPECT_EQ(ComErrorText(kDomPointer), "Invalid pointer");
    EXPECT_EQ(ComErrorText(0x80040205u), "IDispatch error #5");
    EXPECT_EQ(ComErrorText(0x80040200u), "Unknown error 0x80040200"); // low word 0x0200
    EXPECT_EQ(ComErrorText(0x80050200u), "Unknown error 0x80050200");
    EXPECT_EQ(ComErrorText(0x80040200u + 0x10000u), "Unknown error 0x80050200");
    EXPECT_EQ(ComErrorText(0x12345u), "Unknown error 0x12345");
    DomError plain(kDomFail);
    EXPECT_STREQ(plain.what(), "Unspecified error");
    EXPECT_EQ(DomError(kDomFail, "why").what(), std::string("why"));
}

TEST(XmlEdit, CreateNodeForEveryCreatableType)
{
    auto doc = Load("<!DOCTYPE r [<!ENTITY e 'ent'>]><r/>");
    auto root = doc->documentElement();
    struct Case {
        int type;
        const char* name;
        const char* ns;
        const char* nodeName;
        const char* xml;
    };
    const Case cases[] = {
        {NODE_ELEMENT, "NewChild", "", "NewChild", "<NewChild/>"},
        {NODE_ELEMENT, "p:item", "urn:p", "p:item", "<p:item xmlns:p=\"urn:p\"/>"},
        {NODE_TEXT, "ignored", "", "#text", ""},
        {NODE_CDATA_SECTION, "", "", "#cdata-section", "<![CDATA[]]>"},
        {NODE_COMMENT, "", "", "#comment", "<!---->"},
        {NODE_PROCESSING_INSTRUCTION, "target", "", "target", "<?target?>"},
        {NODE_ENTITY_REFERENCE, "e", "", "e", "&e;"},
        {NODE_DOCUMENT_FRAGMENT, "", "", "#document-fragment", ""},
    };
    for (const Case& c : cases) {
        XmlNodePtr n = doc->createNode(c.type, c.name, c.ns);
        ASSERT_TRUE(n) << c.type;
        EXPECT_EQ(n->nodeType(), c.type);
        EXPECT_EQ(n->nodeName(), c.nodeName);
        EXPECT_EQ(n->parentNode(), nullptr);
        EXPECT_EQ(n->ownerDocument(), doc);
        EXPECT_EQ(n->xml(), c.xml) << c.type;
    }
    auto attr = doc->createNode(NODE_ATTRIBUTE, "q:at", "urn:q");
    EXPECT_EQ(attr->nodeName(), "q:at");
    EXPECT_EQ(attr->namespaceURI(), "urn:q");
    EXPECT_EQ(attr->prefix(), "q");
    EXPECT_EQ(attr->baseName(), "at");
    attr->put_nodeValue("v");
    root->asElement()->setAttributeNode(attr->asAttribute());
    EXPECT_EQ(root->xml(), "<r xmlns:q=\"urn:q\" q:at=\"v\"/>");

    auto ref = doc->createNode(NODE_ENTITY_REFERENCE, "e", "");
    root->appendChild(ref);
    EXPECT_EQ(root->text(), "ent");

    for (int refused : {0, int{NODE_ENTITY}, int{NODE_DOCUMENT}, int{NODE_DOCUMENT_TYPE}, int{NODE_NOTATION}, 13})
        EXPECT_EQ(CodeOf([&] { doc->createNode(refused, "x", ""); }), kDomInvalidArg) << refused;
    EXPECT_EQ(CodeOf([&] { doc->createNode(NODE_ELEMENT, "1bad", ""); }), kDomInvalidArg);
    EXPECT_EQ(CodeOf([&] { doc->createNode(NODE_ELEMENT, "", ""); }), kDomInvalidArg);

    // An XML declaration made by hand, as "New processing instruction" does.
    auto decl = doc->createProcessingInstruction("xml", "version='1.0' encoding=''");
    EXPECT_EQ(decl->xml(), "<?xml version='1.0' encoding=''?>");
    EXPECT_EQ(decl->attributes()->getNamedItem("encoding")->nodeValue(), "");
}

TEST(XmlEdit, InterfaceQueriesYieldNoneOnMismatch)
{
    auto doc = Load("<?pi data?><r a='1'>t</r>");
    auto pi = doc->firstChild();
    auto root = doc->documentElement();
    auto attr = root->getAttributeNode("a");
    EXPECT_TRUE(pi->asProcessingInstruction());
    EXPECT_FALSE(pi->asElement());
    EXPECT_EQ(pi->asProcessingInstruction()->target(), "pi");
    EXPECT_EQ(pi->asProcessingInstruction()->data(), "data");
    EXPECT_TRUE(root->asElement());
    EXPECT_FALSE(root->asAttribute());
    EXPECT_TRUE(attr->asAttribute());
    EXPECT_FALSE(attr->asElement());
    EXPECT_FALSE(root->firstChild()->asElement());
    EXPECT_EQ(root->asElement(), root); // same object through either interface
    EXPECT_EQ(doc->asDocument(), doc);
}

TEST(XmlEdit, ChildNodesAndAttributesAreLive)
{
    auto doc = Load("<r a='1'><x/><y/></r>");
    auto root = doc->documentElement();
    auto kids = root->childNodes();
    auto attrs = root->attributes();
    EXPECT_EQ(kids->length(), 2);
    EXPECT_EQ(attrs->length(), 1);
    root->appendChild(doc->createElement("z"));
    EXPECT_EQ(kids->length(), 3);
    EXPECT_EQ(kids->item(2)->nodeName(), "z");
    EXPECT_EQ(kids->item(3), nullptr);
    EXPECT_EQ(kids->item(-1), nullptr);
    root->removeChild(kids->item(0));
    EXPECT_EQ(kids->length(), 2);
    EXPECT_EQ(kids->item(0)->nodeName(), "y");
    root->insertBefore(doc->createElement("w"), kids->item(1));
    std::string names;
    for (long i = 0; i < kids->length(); ++i) names += kids->item(i)->nodeName();
    EXPECT_EQ(names, "ywz");
    // Walking backwards and at random also sees the current tree.
    EXPECT_EQ(kids->item(2)->nodeName(), "z");
    EXPECT_EQ(kids->item(0)->nodeName(), "y");

    root->asElement()->setAttribute("b", "2");
    EXPECT_EQ(attrs->length(), 2);
    EXPECT_EQ(attrs->getNamedItem("b")->nodeValue(), "2");
    EXPECT_EQ(attrs->item(1)->nodeName(), "b");
    attrs->removeNamedItem("a");
    EXPECT_EQ(attrs->length(), 1);
    EXPECT_EQ(attrs->item(0)->nodeName(), "b"); // not the removed one the last walk passed
    EXPECT_EQ(attrs->item(1), nullptr);
    EXPECT_EQ(attrs->getNamedItem("a"), nullptr);

    // A list of a node moving to another document follows it.
    auto other = Load("<o/>");
    auto y = kids->item(0);
    auto yKids = y->childNodes();
    other->documentElement()->appendChild(y);
    EXPECT_EQ(kids->length(), 2);
    y->appendChild(other->createTextNode("moved"));
    EXPECT_EQ(yKids->length(), 1);

    auto byName = root->asElement()->getElementsByTagName("*");
    EXPECT_EQ(byName->length(), 2);
    root->firstChild()->appendChild(doc->createElement("deep"));
    EXPECT_EQ(byName->length(), 3);
    EXPECT_EQ(byName->item(1)->nodeName(), "deep");
}

TEST(XmlEdit, TreeRulesAreEnforced)
{
    auto doc = Load("<r><a/></r>");
    auto root = doc->documentElement();
    auto a = root->firstChild();
    EXPECT_EQ(CodeOf([&] { root->appendChild(nullptr); }), kDomPointer);
    EXPECT_EQ(CodeOf([&] { a->appendChild(root); }), kDomFail); // ancestor
    EXPECT_EQ(CodeOf([&] { a->appendChild(a); }), kDomFail);
    EXPECT_EQ(CodeOf([&] { doc->appendChild(doc->createElement("second")); }), kDomFail);
    EXPECT_EQ(CodeOf([&] { doc->appendChild(doc->createTextNode("top")); }), kDomFail);
    EXPECT_EQ(CodeOf([&] { root->appendChild(doc->createAttribute("x")); }), kDomFail);
    EXPECT_EQ(CodeOf([&] { doc->createTextNode("t")->appendChild(doc->createElement("e")); }), kDomFail);
    EXPECT_EQ(CodeOf([&] { root->removeChild(doc->createElement("stranger")); }), kDomInvalidArg);
    EXPECT_EQ(CodeOf([&] { root->insertBefore(doc->createElement("e"), doc->createElement("notachild")); }),
              kDomInvalidArg);
    EXPECT_EQ(doc->xml(), "<r><a/></r>\n");

    // The root may be replaced, and a comment may go beside it.
    auto fresh = doc->createElement("fresh");
    doc->replaceChild(fresh, root);
    doc->insertBefore(doc->createComment(" c "), fresh);
    EXPECT_EQ(doc->xml(), "<!-- c -->\n<fresh/>\n");

    // A fragment's children are inserted in order and the fragment empties.
    auto frag = doc->createDocumentFragment();
    frag->appendChild(doc->createElement("one"));
    frag->appendChild(doc->createTextNode("two"));
    fresh->appendChild(frag);
    EXPECT_FALSE(frag->hasChildNodes());
    EXPECT_EQ(fresh->xml(), "<fresh><one/>two</fresh>");

    // Adjacent text nodes stay separate nodes (no merging behind our back).
    auto t1 = doc->createTextNode("a");
    auto t2 = doc->createTextNode("b");
    fresh->appendChild(t1);
    fresh->appendChild(t2);
    EXPECT_EQ(fresh->childNodes()->length(), 4);
    EXPECT_EQ(t1->nextSibling(), t2);
    EXPECT_EQ(t2->previousSibling(), t1);
    EXPECT_EQ(fresh->text(), "twoab");
}

TEST(XmlEdit, ValuesAndText)
{
    auto doc = Load("<r><e a='1'>x<b>y</b></e><!--c--><?p d?><![CDATA[<z>]]></r>");
    auto root = doc->documentElement();
    auto e = root->firstChild();
    EXPECT_EQ(e->nodeValue(), std::nullopt);
    EXPECT_EQ(e->text(), "xy");
    EXPECT_EQ(CodeOf([&] { e->put_nodeValue("v"); }), kDomFail);
    e->put_text("a < b & c");
    EXPECT_EQ(e->xml(), "<e a=\"1\">a &lt; b &amp; c</e>");
    auto attr = e->asElement()->getAttributeNode("a");
    attr->put_text("\"q\"");
    EXPECT_EQ(attr->xml(), "a=\"&quot;q&quot;\"");
    auto comment = root->childNodes()->item(1);
    EXPECT_EQ(comment->nodeValue(), "c");
    EXPECT_EQ(CodeOf([&] { comment->put_nodeValue("a--b"); }), kDomInvalidArg);
    comment->put_nodeValue("ok");
    auto pi = root->childNodes()->item(2);
    EXPECT_EQ(CodeOf([&] { pi->put_nodeValue("x?>y"); }), kDomInvalidArg);
    auto cdata = root->lastChild();
    EXPECT_EQ(cdata->nodeType(), NODE_CDATA_SECTION);
    EXPECT_EQ(cdata->text(), "<z>");
    EXPECT_EQ(CodeOf([&] { cdata->put_nodeValue("]]>"); }), kDomInvalidArg);
    EXPECT_EQ(root->xml(), "<r><e a=\"&quot;q&quot;\">a &lt; b &amp; c</e><!--ok--><?p d?><![CDATA[<z>]]></r>");
    // Non-ASCII text stays as characters, not references.
    root->asElement()->setAttribute("u", "\xC3\xA9");
    EXPECT_NE(root->xml().find("u=\"\xC3\xA9\""), std::string::npos);
}

TEST(XmlEdit, NamespacesSurviveMovesAndSerialiseStandalone)
{
    auto doc = Load("<r xmlns='urn:d' xmlns:p='urn:p'><p:a p:k='1'><b/></p:a></r>");
    doc->setProperty("SelectionLanguage", "XPath");
    doc->setProperty("SelectionNamespaces", "xmlns:p='urn:p' xmlns:d='urn:d'");
    auto a = doc->selectSingleNode("/d:r/p:a");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->namespaceURI(), "urn:p");
    EXPECT_EQ(a->baseName(), "a");
    auto b = doc->selectSingleNode("//d:b");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->namespaceURI(), "urn:d");
    // A node's own xml declares what it uses, so it can be pasted elsewhere.
    EXPECT_EQ(a->xml(), "<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\" p:k=\"1\"><b/></p:a>");
    // Removing the ancestor that declared the namespaces does not lose them.
    auto root = doc->documentElement();
    root->removeChild(a);
    EXPECT_EQ(b->namespaceURI(), "urn:d");
    auto other = Load("<o/>");
    other->documentElement()->appendChild(a);
    root.reset();
    ASSERT_TRUE(doc->loadXML("<unrelated/>"));
    auto reread = Load(other->xml());
    reread->setProperty("SelectionNamespaces", "xmlns:p='urn:p' xmlns:d='urn:d'");
    EXPECT_TRUE(reread->selectSingleNode("/o/p:a[@p:k='1']/d:b")) << other->xml();
    EXPECT_EQ(a->asElement()->getAttribute("p:k"), "1");

    // Namespace names are given as the document means them, whatever escapes
    // they were written with, and written back so that they read the same.
    auto amp = Load("<!DOCTYPE r [<!ENTITY e 'x&amp;y'>]><r xmlns=\"http://example.com/ns?a=1&amp;b=2&#38;c=3\""
                    " xmlns:p=\"&lt;&quot;&#9;&#10;&e;'\"><p:c/></r>");
    const std::string uri = "http://example.com/ns?a=1&b=2&c=3";
    EXPECT_EQ(amp->documentElement()->namespaceURI(), uri);
    EXPECT_EQ(amp->documentElement()->firstChild()->namespaceURI(), "<\"\t\nx&y'");
    EXPECT_EQ(amp->documentElement()->getAttribute("xmlns"), uri);
    const auto declared = amp->documentElement()->namespaceDeclarations();
    ASSERT_EQ(declared.size(), 2u);
    EXPECT_EQ(declared[1].second, "<\"\t\nx&y'");
    auto again = Load(amp->xml());
    EXPECT_EQ(again->documentElement()->namespaceURI(), uri) << amp->xml();
    EXPECT_EQ(again->documentElement()->firstChild()->namespaceURI(), "<\"\t\nx&y'") << amp->xml();
    // Names given through the interface are plain too.
    again->documentElement()->setAttribute("xmlns:q", "a&b");
    auto made = again->createNode(NODE_ELEMENT, "q:m", "a&b<c");
    again->documentElement()->appendChild(made);
    EXPECT_EQ(made->namespaceURI(), "a&b<c");
    auto third = Load(again->xml());
    EXPECT_EQ(third->documentElement()->lastChild()->namespaceURI(), "a&b<c") << again->xml();
    EXPECT_EQ(third->documentElement()->getAttribute("xmlns:q"), "a&b");
    third->setProperty("SelectionNamespaces", "xmlns:z='a&b<c'");
    EXPECT_TRUE(third->selectSingleNode("/*/z:m"));

    EXPECT_EQ(CodeOf([&] { doc->setProperty("NoSuchProperty", "x"); }), kDomInvalidArg);
    EXPECT_EQ(CodeOf([&] { doc->selectNodes("count(//*)"); }), kDomInvalidArg);
    EXPECT_EQ(CodeOf([&] { doc->selectNodes("//["); }), kDomInvalidArg);
}

TEST(XmlEdit, StartTagsAndPrefixesComeBackAsTheyWere)
{
    auto doc = Load("<r xmlns:p='urn:p' xmlns:q='urn:p'><e a='1' p:b='2' c='3'><p:x q:k='v'/></e></r>");
    const std::string original = doc->xml();
    auto e = doc->documentElement()->firstChild()->asElement();
    EXPECT_EQ(e->lookupNamespaceURI("q"), "urn:p");
    EXPECT_FALSE(e->lookupNamespaceURI(""));
    EXPECT_FALSE(e->lookupNamespaceURI("n"));

    // A replacing attribute takes the place of the one it replaces.
    const XmlElement::AttributeState state = e->attributeState();
    auto a = doc->createNode(NODE_ATTRIBUTE, "a", "")->asAttribute();
    a->put_value("9");
    EXPECT_TRUE(e->setAttributeNode(a));
    EXPECT_EQ(e->attributes()->item(0)->nodeValue(), "9");

    // Attributes and declarations changed every way go back to the state taken.
    e->removeAttribute("p:b");
    e->setAttribute("c", "33");
    auto z = doc->createNode(NODE_ATTRIBUTE, "n:z", "urn:n")->asAttribute();
    e->setAttributeNode(z);
    EXPECT_EQ(e->lookupNamespaceURI("n"), "urn:n"); // declared on the element
    e->setAttribute("xmlns:p", "urn:other");
    ASSERT_NE(doc->xml(), original);
    e->restoreAttributeState(state);
    EXPECT_EQ(doc->xml(), original);

    // A node taken out and put back keeps the prefixes it was written with,
    // although another prefix names the same namespace.
    auto x = e->firstChild();
    e->removeChild(x);
    e->appendChild(x);
    EXPECT_EQ(doc->xml(), original);
}

TEST(XmlEdit, CloneCopiesWithoutAttaching)
{
    auto doc = Load("<r xmlns:p='urn:p'><p:a x='1'><c/></p:a></r>");
    auto a = doc->documentElement()->firstChild();
    auto deep = a->cloneNode(true);
    auto shallow = a->cloneNode(false);
    EXPECT_EQ(deep->parentNode(), nullptr);
    EXPECT_EQ(deep->xml(), "<p:a xmlns:p=\"urn:p\" x=\"1\"><c/></p:a>");
    EXPECT_EQ(shallow->xml(), "<p:a xmlns:p=\"urn:p\" x=\"1\"/>");
    auto attr = a->asElement()->getAttributeNode("x")->cloneNode(true);
    EXPECT_EQ(attr->xml(), "x=\"1\"");
    auto copy = doc->cloneNode(true);
    ASSERT_TRUE(copy->asDocument());
    EXPECT_EQ(copy->xml(), doc->xml());
    EXPECT_NE(copy->asDocument()->documentElement(), doc->documentElement());
}
