#include "app/views/NodeTreeModel.h"

#include "app/document/BrindleDoc.h"

#include <algorithm>

using namespace brindle;

bool NodeTreeModel::GetsItem(const XmlNodePtr& node)
{
    const int type = node->nodeType();
    return type == NODE_ELEMENT || type == NODE_DOCUMENT_TYPE || type == NODE_DOCUMENT;
}

void NodeTreeModel::Clear()
{
    m_top.clear();
    m_count = 0;
}

void NodeTreeModel::Build(const XmlDocumentPtr& dom)
{
    Clear();
    if (dom) MakeItem(dom, nullptr, m_top);
}

NodeTreeModel::Item* NodeTreeModel::MakeItem(const XmlNodePtr& node, Item* parent,
                                             std::vector<std::unique_ptr<Item>>& into)
{
    auto item = std::make_unique<Item>();
    item->node = node;
    item->parent = parent;
    switch (node->nodeType()) {
    case NODE_DOCUMENT:
        item->label = "Document";
        item->image = item->selectedImage = kDocumentImage;
        break;
    case NODE_DOCUMENT_TYPE:
        item->label = node->nodeName();
        item->image = item->selectedImage = kDoctypeImage;
        break;
    default:
        item->label = node->nodeName();
        item->image = kElementImage;
        item->selectedImage = kSelectedElementImage;
        break;
    }
    ++m_count;
    into.push_back(std::move(item));
    return into.back().get();
}

bool NodeTreeModel::HasChildren(const Item& item)
{
    for (XmlNodePtr child = item.node->firstChild(); child; child = child->nextSibling())
        if (GetsItem(child)) return true;
    return false;
}

void NodeTreeModel::AddChildItems(const XmlNodePtr& node, Item* parent, std::vector<std::unique_ptr<Item>>& into)
{
    for (XmlNodePtr child = node->firstChild(); child; child = child->nextSibling()) {
        if (GetsItem(child)) MakeItem(child, parent, into);
        else if (child->hasChildNodes()) AddChildItems(child, nullptr, m_top);
    }
}

const std::vector<std::unique_ptr<NodeTreeModel::Item>>& NodeTreeModel::Children(Item& item)
{
    if (!item.childrenBuilt) {
        item.childrenBuilt = true;
        AddChildItems(item.node, &item, item.children);
    }
    return item.children;
}

NodeTreeModel::Item* NodeTreeModel::Search(std::vector<std::unique_ptr<Item>>& items, const std::string& path)
{
    // Index loop: making children may add items to the top level being walked.
    for (std::size_t i = 0; i < items.size(); ++i) {
        Item& item = *items[i];
        const std::string own = CBrindleDoc::GetNodePath(item.node);
        if (own == path) return &item;
        // Only an item whose path starts the wanted one can lead to it.
        if (path.compare(0, own.size(), own) != 0) continue;
        Children(item);
        if (Item* found = Search(item.children, path)) return found;
    }
    return nullptr;
}

NodeTreeModel::Item* NodeTreeModel::FindByPath(const std::string& path)
{
    if (path.empty()) return nullptr;
    return Search(m_top, path);
}

NodeTreeModel::Item* NodeTreeModel::AddChild(Item& parent, const XmlNodePtr& node)
{
    if (!parent.childrenBuilt || !GetsItem(node)) return nullptr;
    return MakeItem(node, &parent, parent.children);
}

namespace {

std::size_t CountItems(const NodeTreeModel::Item& item)
{
    std::size_t count = 1;
    for (const auto& child : item.children) count += CountItems(*child);
    return count;
}

} // namespace

void NodeTreeModel::Remove(Item& item)
{
    auto& siblings = item.parent ? item.parent->children : m_top;
    const auto it = std::find_if(siblings.begin(), siblings.end(), [&](const auto& p) { return p.get() == &item; });
    if (it == siblings.end()) return;
    m_count -= CountItems(item);
    siblings.erase(it);
}
