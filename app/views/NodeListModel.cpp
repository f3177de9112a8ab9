#include "app/views/NodeListModel.h"

#include "resources/CommandIds.h"

#include <algorithm>

using namespace brindle;

void NodeListModel::Fill(const XmlNodePtr& node)
{
    m_rows.clear();
    if (!node) return;
    // Collected in document order (attributes, then children), then reversed: the
    // list shows every row as if each had been put on top of the ones before.
    if (const XmlNamedNodeMapPtr attributes = node->attributes()) {
        const long count = attributes->length();
        m_rows.reserve(static_cast<std::size_t>(count));
        for (long i = 0; i < count; ++i) m_rows.push_back(attributes->item(i));
    }
    for (XmlNodePtr child = node->firstChild(); child; child = child->nextSibling())
        if (IsListedChild(child->nodeType())) m_rows.push_back(child);
    std::reverse(m_rows.begin(), m_rows.end());
}

XmlNodePtr NodeListModel::NodeAt(long row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rows.size()) return nullptr;
    return m_rows[static_cast<std::size_t>(row)];
}

long NodeListModel::RowOf(const XmlNodePtr& node) const
{
    const auto found = std::find(m_rows.begin(), m_rows.end(), node);
    return found == m_rows.end() ? -1 : static_cast<long>(found - m_rows.begin());
}

bool NodeListModel::IsListedChild(int nodeType)
{
    switch (nodeType) {
    case NODE_TEXT:
    case NODE_CDATA_SECTION:
    case NODE_ENTITY_REFERENCE:
    case NODE_PROCESSING_INSTRUCTION:
    case NODE_COMMENT:
    case NODE_NOTATION:
        return true;
    default:
        return false;
    }
}

int NodeListModel::ImageOf(int nodeType)
{
    switch (nodeType) {
    case NODE_TEXT: return kTextImage;
    case NODE_ATTRIBUTE: return kAttributeImage;
    case NODE_COMMENT: return kCommentImage;
    case NODE_CDATA_SECTION: return kCDataImage;
    case NODE_PROCESSING_INSTRUCTION: return kProcInstImage;
    case NODE_DOCUMENT_TYPE:
    case NODE_NOTATION: return kDoctypeImage;
    case NODE_ENTITY_REFERENCE: return kEntityRefImage;
    default: return -1;
    }
}

std::string NodeListModel::CellText(const XmlNodePtr& node, Column column)
{
    if (!node) return std::string();
    switch (column) {
    case kNameColumn: return node->nodeName();
    case kTypeColumn: return brindle::NodeTypeName(static_cast<int>(node->nodeType()));
    case kValueColumn: {
        std::string value = node->nodeValue().value_or(std::string());
        const std::size_t lineBreak = value.find_first_of("\r\n");
        if (lineBreak != std::string::npos) value.erase(lineBreak);
        return value;
    }
    }
    return std::string();
}

bool NodeListModel::RenameAllowed(const XmlNodePtr& current, const XmlNodePtr& rowNode)
{
    if (!current || current->nodeType() == NODE_DOCUMENT_TYPE || !rowNode) return false;
    const int type = rowNode->nodeType();
    return type == NODE_ATTRIBUTE || type == NODE_PROCESSING_INSTRUCTION;
}

bool NodeListModel::IsCommandEnabled(int id, const Context& context)
{
    const std::size_t selected = context.selected.size();
    const bool hasCurrent = context.current != nullptr;
    const bool currentIsDocument = hasCurrent && context.current->nodeType() == NODE_DOCUMENT;
    switch (id) {
    case ids::ID_NODE_EDIT:
    case ids::ID_EDIT_CUT:
    case ids::ID_EDIT_COPY:
    case ids::ID_EDIT_DELETE:
        return selected >= 1;
    case ids::ID_NEW_ATTRIBUTE:
    case ids::ID_NEW_CDATA:
    case ids::ID_NEW_TEXT:
        return hasCurrent && !currentIsDocument;
    case ids::ID_NEW_COMMENT:
        return hasCurrent;
    case ids::ID_NEW_PROCINST:
        return currentIsDocument;
    case ids::ID_EDIT_PASTE:
        return hasCurrent && context.clipboardHasText;
    case ids::ID_EDIT_RENAME:
        return selected == 1 && RenameAllowed(context.current, context.selected.front());
    case ids::ID_PROPERTIES:
        return selected == 1;
    case ids::ID_REFRESH:
        return true;
    default:
        return false;
    }
}
