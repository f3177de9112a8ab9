#include "tests/document/FormatTestSupport.h"

#include "app/document/AutoFormat.h"

#include <gtest/gtest.h>
#include <string_view>
#include <utility>
#include <vector>

namespace brindle::test {

XmlDocumentPtr ParseOrFail(const std::string& text)
{
    XmlDocumentPtr dom = XmlDocument::Create();
    dom->put_validateOnParse(false);
    dom->put_resolveExternals(false);
    if (!dom->loadXML(text)) {
        ADD_FAILURE() << "does not parse: " << dom->parseError().reason << " (line " << dom->parseError().line
                      << ")\n" << text;
        return nullptr;
    }
    return dom;
}

std::string FormatDocument(const XmlNodePtr& dom)
{
    std::string out;
    EXPECT_TRUE(AutoFormatNode(dom, out, 0, true));
    return out;
}

namespace {

std::string Trimmed(const std::string& text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    std::size_t begin = 0, end = text.size();
    while (begin < end && space(text[begin])) ++begin;
    while (end > begin && space(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// Length-prefixed so that no content can imitate the structure around it.
std::string Field(const std::string& text) { return std::to_string(text.size()) + ":" + text; }

std::string Attributes(XmlNode& node)
{
    std::string out;
    // Namespace declarations of the prefixes the tests use, whether or not the
    // attribute map lists them.
    if (const XmlElementPtr element = node.asElement()) {
        for (const char* name : {"xmlns", "xmlns:p", "xmlns:q", "xmlns:xs", "xmlns:tns"})
            if (const auto uri = element->getAttribute(name)) out += std::string("NS ") + name + "=" + Field(*uri) + ";";
    }
    if (const XmlNamedNodeMapPtr map = node.attributes()) {
        for (long i = 0; i < map->length(); ++i) {
            const XmlNodePtr a = map->item(i);
            out += Field(a->nodeName()) + "=" + Field(a->nodeValue().value_or("")) + ";";
        }
    }
    return out;
}

} // namespace

std::string CanonicalForm(const XmlNodePtr& node)
{
    switch (node->nodeType()) {
    case NODE_ELEMENT:
    case NODE_DOCUMENT: {
        std::vector<std::pair<char, std::string>> items;
        for (XmlNodePtr c = node->firstChild(); c; c = c->nextSibling()) {
            char kind;
            std::string content;
            switch (c->nodeType()) {
            case NODE_TEXT:
            case NODE_CDATA_SECTION:
                kind = c->nodeType() == NODE_TEXT ? 'T' : 'C';
                content = kind == 'T' ? Trimmed(c->nodeValue().value_or("")) : c->nodeValue().value_or("");
                if (content.empty()) continue;
                if (!items.empty() && items.back().first == kind) {
                    items.back().second += content;
                    continue;
                }
                break;
            default:
                kind = 'N';
                content = CanonicalForm(c);
                break;
            }
            items.emplace_back(kind, std::move(content));
        }
        std::string out = node->nodeType() == NODE_DOCUMENT
                              ? std::string("Doc[")
                              : "E(" + Field(node->nodeName()) + Field(node->namespaceURI()) + Attributes(*node) + ")[";
        for (const auto& [kind, content] : items) out += kind == 'N' ? content : std::string(1, kind) + Field(content);
        return out + "]";
    }
    case NODE_PROCESSING_INSTRUCTION:
        if (node->nodeName() == "xml") return "X(" + Attributes(*node) + ")";
        return "P(" + Field(node->nodeName()) + Field(node->nodeValue().value_or("")) + ")";
    case NODE_COMMENT: return "K(" + Field(node->nodeValue().value_or("")) + ")";
    case NODE_ENTITY_REFERENCE: return "R(" + Field(node->nodeName()) + ")";
    case NODE_DOCUMENT_TYPE: return "D(" + Field(node->xml()) + ")";
    default: return "?(" + std::to_string(node->nodeType()) + ")";
    }
}

} // namespace brindle::test
