#include "app/views/NodeDragModel.h"

#include "app/document/BrindleDoc.h"

using namespace brindle;

NodeDragModel::NodeDragModel(CBrindleDoc& doc, const XmlNodePtr& element) : m_doc(&doc), m_element(true)
{
    if (element && element->nodeType() != NODE_DOCUMENT && element->nodeType() != NODE_DOCUMENT_TYPE)
        m_nodes.push_back(element);
}

NodeDragModel::NodeDragModel(CBrindleDoc& doc, const XmlNodePtr& owner, std::vector<XmlNodePtr> rows)
    : m_doc(&doc), m_owner(owner), m_nodes(std::move(rows))
{
}

bool NodeDragModel::AcceptsTreeNode(const XmlNodePtr& target) const
{
    if (IsEmpty() || !target || target->nodeType() == NODE_DOCUMENT_TYPE) return false;
    // Pasting rows onto their owner and deleting them there would lose them.
    if (!m_element) return target->nodeType() != NODE_DOCUMENT && target != m_owner;
    const XmlNodePtr& dragged = m_nodes.front();
    if (target == dragged->parentNode()) return false;
    for (XmlNodePtr up = target; up; up = up->parentNode())
        if (up == dragged) return false;
    return true;
}

bool NodeDragModel::AcceptsPage(const CBrindleDoc* doc, bool isSourcePage) const
{
    if (IsEmpty() || m_element || !doc || isSourcePage) return false;
    return !(doc == m_doc && doc->GetCurrentNode() == m_owner);
}

bool NodeDragModel::MoveTo(CBrindleDoc& doc, const XmlNodePtr& target) const
{
    return !IsEmpty() && doc.MoveNodes(*m_doc, m_nodes, m_owner, target);
}
