#pragma once

#include "platform/xml/XmlDom.h"

#include <memory>
#include <string>
#include <vector>

// The items of the node tree, built lazily for big documents: the document node,
// its DOCTYPE and its elements get items; an item's children are made when they
// are first asked for (the window asks when the item is expanded). Nodes of other
// kinds get no item; elements inside them are shown at the top level, beside the
// "Document" item.
class NodeTreeModel {
public:
    enum Image { kDocumentImage = 0, kSelectedElementImage = 1, kElementImage = 2, kDoctypeImage = 3 };

    struct Item {
        brindle::XmlNodePtr node;
        std::string label;
        int image = 0;
        int selectedImage = 0;
        Item* parent = nullptr; // null for a top-level item
        std::vector<std::unique_ptr<Item>> children;
        bool childrenBuilt = false;
        void* handle = nullptr; // the window's item showing this one
    };

    // Drops the items and makes the top-level ones for the DOM (none without one).
    void Build(const brindle::XmlDocumentPtr& dom);
    void Clear();
    const std::vector<std::unique_ptr<Item>>& TopLevel() const { return m_top; }

    // Whether the item has (or would have) children: whether its node has a child
    // that gets an item. Cheap: no items are made.
    static bool HasChildren(const Item& item);
    // The item's children, made on first use. Elements inside nodes that get no
    // item join the top level then.
    const std::vector<std::unique_ptr<Item>>& Children(Item& item);

    // The first item in pre-order (an item, its subtree, then its next sibling)
    // whose node has the path; children are made only for the items whose path
    // leads there. Null when there is none. The items from the top level to the
    // found one are its ancestors.
    Item* FindByPath(const std::string& path);

    // The item for a node just appended to the parent item's node, when the
    // parent's children are made already (else they will include it when made).
    // Null when the node gets no item or the children are not made yet.
    Item* AddChild(Item& parent, const brindle::XmlNodePtr& node);
    // Drops the item and its subtree.
    void Remove(Item& item);
    // Whether a node of this kind gets an item: documents, DOCTYPEs, elements.
    static bool GetsItem(const brindle::XmlNodePtr& node);

    // How many items exist (made so far).
    std::size_t ItemCount() const { return m_count; }

private:
    Item* MakeItem(const brindle::XmlNodePtr& node, Item* parent, std::vector<std::unique_ptr<Item>>& into);
    // Items for the node's children under `parent`; descendants of nodes that get
    // no item go to the top level.
    void AddChildItems(const brindle::XmlNodePtr& node, Item* parent, std::vector<std::unique_ptr<Item>>& into);
    Item* Search(std::vector<std::unique_ptr<Item>>& items, const std::string& path);

    std::vector<std::unique_ptr<Item>> m_top;
    std::size_t m_count = 0;
};
