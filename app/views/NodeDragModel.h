#pragma once

#include "platform/xml/XmlDom.h"

#include <vector>

class CBrindleDoc;

// What a node drag carries and where it may be dropped: one element of the node
// tree, or rows of the node list (attributes and other children of their owner,
// the node they were listed for). The move itself is the document's.
class NodeDragModel {
public:
    NodeDragModel() = default;
    // An element of the tree (the document node and a DOCTYPE leave it empty),
    // or rows of the node list.
    NodeDragModel(CBrindleDoc& doc, const brindle::XmlNodePtr& element);
    NodeDragModel(CBrindleDoc& doc, const brindle::XmlNodePtr& owner, std::vector<brindle::XmlNodePtr> rows);

    bool IsEmpty() const { return m_nodes.empty(); }
    bool IsElementDrag() const { return m_element; }
    CBrindleDoc* GetDocument() const { return m_doc; }

    // Whether a drop onto the tree item showing the node is taken. An element goes
    // anywhere but onto a DOCTYPE, itself, its parent or its own descendants; rows
    // go onto an element other than their owner.
    bool AcceptsTreeNode(const brindle::XmlNodePtr& target) const;
    // Whether a drop onto a node list page of the document is taken: only rows go
    // there, onto another page than their own that does not show their owner.
    bool AcceptsPage(const CBrindleDoc* doc, bool isSourcePage) const;
    // Moves the nodes under the target of the document (CBrindleDoc::MoveNodes).
    bool MoveTo(CBrindleDoc& doc, const brindle::XmlNodePtr& target) const;

private:
    CBrindleDoc* m_doc = nullptr;
    brindle::XmlNodePtr m_owner;
    std::vector<brindle::XmlNodePtr> m_nodes;
    bool m_element = false;
};
