// The check of a spliced text: parsed again, it must give the tree it was
// written from.

#include "platform/xml/Splicer.h"

#include "platform/xml/NamespaceHref.h"
#include "platform/xml/NodeAccess.h"
#include "platform/xml/XmlLoad.h"

#include <algorithm>

namespace brindle::detail {

namespace {

// A parent's children as they count for equality: runs of text merged, white
// space alone left out where the parent holds no other text (layout the splice
// may have added or taken away), the XML declaration and the DTD left out.
std::vector<std::pair<xmlNodePtr, std::string>> Significant(xmlNodePtr parent)
{
    bool mixed = false;
    for (xmlNodePtr c = parent->children; c && !mixed; c = c->next)
        mixed = c->type == XML_CDATA_SECTION_NODE || c->type == XML_ENTITY_REF_NODE ||
                (c->type == XML_TEXT_NODE && !IsBlank(ToStr(c->content)));
    std::vector<std::pair<xmlNodePtr, std::string>> out;
    std::string text;
    xmlNodePtr textNode = nullptr;
    const auto endText = [&] {
        if (textNode && (mixed || !IsBlank(text))) out.emplace_back(textNode, text);
        textNode = nullptr;
        text.clear();
    };
    for (xmlNodePtr c = parent->children; c; c = c->next) {
        if (c->type == XML_TEXT_NODE) {
            if (!textNode) textNode = c;
            text += ToStr(c->content);
            continue;
        }
        endText();
        if (c->type == XML_DTD_NODE || c->type == XML_ENTITY_DECL || c->type == XML_ELEMENT_DECL ||
            c->type == XML_ATTRIBUTE_DECL || (c->type == XML_PI_NODE && parent->type == XML_DOCUMENT_NODE &&
                                              xmlStrEqual(c->name, BAD_CAST "xml")))
            continue;
        out.emplace_back(c, std::string());
    }
    endText();
    return out;
}

std::string NamespaceOf(const xmlNode* n) { return n->ns ? UriFromHref(n->ns->href) : std::string(); }

bool SameTree(xmlNodePtr a, xmlNodePtr b);

bool SameElement(xmlNodePtr a, xmlNodePtr b)
{
    if (!xmlStrEqual(a->name, b->name) || NamespaceOf(a) != NamespaceOf(b)) return false;
    const auto attributes = [](xmlNodePtr e) {
        std::vector<std::string> list;
        for (xmlAttrPtr at = e->properties; at; at = at->next) {
            auto* n = reinterpret_cast<xmlNodePtr>(at);
            list.push_back(NamespaceOf(n) + '\n' + ToStr(n->name) + '\n' + Content(n));
        }
        std::sort(list.begin(), list.end());
        return list;
    };
    return attributes(a) == attributes(b) && SameTree(a, b);
}

bool SameTree(xmlNodePtr a, xmlNodePtr b)
{
    const auto left = Significant(a), right = Significant(b);
    if (left.size() != right.size()) return false;
    for (size_t i = 0; i < left.size(); ++i) {
        xmlNodePtr x = left[i].first, y = right[i].first;
        if (x->type != y->type) return false;
        switch (x->type) {
        case XML_TEXT_NODE:
            if (left[i].second != right[i].second) return false;
            break;
        case XML_ELEMENT_NODE:
            if (!SameElement(x, y)) return false;
            break;
        case XML_ENTITY_REF_NODE:
            if (!xmlStrEqual(x->name, y->name)) return false;
            break;
        default:
            if (!xmlStrEqual(x->name, y->name) || ToStr(x->content) != ToStr(y->content)) return false;
        }
    }
    return true;
}

} // namespace

bool ParsesToTree(const std::string& text, xmlDocPtr doc)
{
    LoadRequest request;
    request.text = &text;
    request.validate = false;
    request.resolveExternals = false;
    LoadResult result = LoadXml(request);
    if (!result.doc) return false;
    xmlNodePtr declaration = DeclarationOf(doc);
    const bool same = result.hasDeclaration == (declaration != nullptr) &&
                      (!declaration || result.declaration == ToStr(declaration->content)) &&
                      SameTree(reinterpret_cast<xmlNodePtr>(result.doc), reinterpret_cast<xmlNodePtr>(doc));
    xmlFreeDoc(result.doc);
    return same;
}

} // namespace brindle::detail
