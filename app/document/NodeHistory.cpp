#include "app/document/NodeHistory.h"

using namespace brindle;

namespace {

// Steps kept; the oldest go first. Each holds the nodes it removed.
constexpr int kMaxSteps = 200;

// A node was put under a parent, before a sibling (last when none).
class Inserted : public NodeHistory::Change {
public:
    Inserted(XmlNodePtr parent, XmlNodePtr node, XmlNodePtr before)
        : m_parent(std::move(parent)), m_node(std::move(node)), m_before(std::move(before))
    {
    }
    void Undo() override { m_parent->removeChild(m_node); }
    void Redo() override { m_parent->insertBefore(m_node, m_before); }
    XmlNodePtr Focus(bool undone) const override { return undone ? m_parent : m_node; }
    bool Adds() const override { return true; }

protected:
    XmlNodePtr m_parent, m_node, m_before;
};

// A node was taken from its parent, where it stood before a sibling.
class Removed : public Inserted {
public:
    using Inserted::Inserted;
    void Undo() override { Inserted::Redo(); }
    void Redo() override { Inserted::Undo(); }
    XmlNodePtr Focus(bool undone) const override { return Inserted::Focus(!undone); }
    bool Adds() const override { return false; }
};

// An element took another's place and its children. Both ways the element that
// goes into the tree goes first and the children follow it from the one that
// left, so each child finds the declarations it used in scope again.
class ElementReplaced : public NodeHistory::Change {
public:
    ElementReplaced(XmlNodePtr parent, XmlNodePtr replacement, XmlNodePtr old)
        : m_parent(std::move(parent)), m_replacement(std::move(replacement)), m_old(std::move(old))
    {
    }
    void Undo() override { Swap(m_old, m_replacement); }
    void Redo() override { Swap(m_replacement, m_old); }
    XmlNodePtr Focus(bool undone) const override { return undone ? m_old : m_replacement; }
    bool Adds() const override { return true; }

private:
    void Swap(const XmlNodePtr& in, const XmlNodePtr& out)
    {
        m_parent->replaceChild(in, out);
        while (XmlNodePtr child = out->firstChild()) in->appendChild(child);
    }

    XmlNodePtr m_parent, m_replacement, m_old;
};

class ValueSet : public NodeHistory::Change {
public:
    ValueSet(XmlNodePtr node, std::string before, std::string after)
        : m_node(std::move(node)), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void Undo() override { m_node->put_nodeValue(m_before); }
    void Redo() override { m_node->put_nodeValue(m_after); }
    XmlNodePtr Focus(bool) const override { return m_node; }

private:
    XmlNodePtr m_node;
    std::string m_before, m_after;
};

class AttributesChanged : public NodeHistory::Change {
public:
    AttributesChanged(XmlElementPtr element, XmlElement::AttributeState before, XmlElement::AttributeState after)
        : m_element(std::move(element)), m_before(std::move(before)), m_after(std::move(after))
    {
    }
    void Undo() override { m_element->restoreAttributeState(m_before); }
    void Redo() override { m_element->restoreAttributeState(m_after); }
    XmlNodePtr Focus(bool) const override { return m_element; }

private:
    XmlElementPtr m_element;
    XmlElement::AttributeState m_before, m_after;
};

} // namespace

// One step: the changes in the order they were made.
class NodeHistory::Command : public wxCommand {
public:
    Command(NodeHistory& history) : wxCommand(true, "Node operation"), m_history(history) {}
    bool Empty() const { return m_changes.empty(); }
    void Add(std::unique_ptr<Change> change) { m_changes.push_back(std::move(change)); }

    // Redo: stored commands are only ever run again. What is shown afterwards is
    // the last node the step added (a new, pasted or renamed node), else what its
    // last change was about.
    bool Do() override
    {
        for (const auto& change : m_changes) change->Redo();
        const Change* shown = m_changes.back().get();
        for (const auto& change : m_changes)
            if (change->Adds()) shown = change.get();
        m_history.m_lastFocus = shown->Focus(false);
        return true;
    }
    // Undone, the step shows what its last change was about (a node put back, or
    // the parent that lost a node).
    bool Undo() override
    {
        for (auto it = m_changes.rbegin(); it != m_changes.rend(); ++it) (*it)->Undo();
        m_history.m_lastFocus = m_changes.back()->Focus(true);
        return true;
    }

private:
    NodeHistory& m_history;
    std::vector<std::unique_ptr<Change>> m_changes;
};

NodeHistory::Step::Step(NodeHistory& history) : m_history(history)
{
    if (m_history.m_depth++ == 0) m_history.m_open = std::make_unique<Command>(m_history);
}

NodeHistory::Step::~Step()
{
    if (--m_history.m_depth > 0) return;
    std::unique_ptr<Command> step = std::move(m_history.m_open);
    if (step && !step->Empty()) m_history.m_processor.Store(step.release());
}

NodeHistory::NodeHistory() : m_processor(kMaxSteps) {}

NodeHistory::~NodeHistory() = default;

void NodeHistory::Record(std::unique_ptr<Change> change)
{
    // Inside an open step it joins that step; outside any, it is a step of its own.
    Step step(*this);
    m_open->Add(std::move(change));
}

void NodeHistory::Insert(const XmlNodePtr& parent, const XmlNodePtr& node, const XmlNodePtr& before)
{
    parent->insertBefore(node, before);
    Record(std::make_unique<Inserted>(parent, node, before));
}

void NodeHistory::Remove(const XmlNodePtr& node)
{
    const XmlNodePtr parent = node ? node->parentNode() : nullptr;
    if (!parent) throw DomError(kDomPointer);
    const XmlNodePtr next = node->nextSibling();
    parent->removeChild(node);
    Record(std::make_unique<Removed>(parent, node, next));
}

void NodeHistory::ReplaceElement(const XmlNodePtr& replacement, const XmlNodePtr& old)
{
    const XmlNodePtr parent = old ? old->parentNode() : nullptr;
    if (!parent || !replacement) throw DomError(kDomPointer);
    if (replacement->hasChildNodes()) throw DomError(kDomInvalidArg, "The replacement has children of its own.");
    parent->replaceChild(replacement, old);
    // From here the change is made, even if a child should refuse to move.
    Record(std::make_unique<ElementReplaced>(parent, replacement, old));
    while (XmlNodePtr child = old->firstChild()) replacement->appendChild(child);
}

void NodeHistory::SetValue(const XmlNodePtr& node, const std::string& value)
{
    if (!node) throw DomError(kDomPointer);
    std::string before = node->nodeValue().value_or(std::string());
    node->put_nodeValue(value);
    Record(std::make_unique<ValueSet>(node, std::move(before), value));
}

void NodeHistory::ChangeAttributes(const XmlElementPtr& element, const std::function<void()>& edit)
{
    if (!element) throw DomError(kDomPointer);
    XmlElement::AttributeState before = element->attributeState();
    // Whatever part of the edit was made is recorded, also when it fails.
    struct Recorder {
        NodeHistory& history;
        const XmlElementPtr& element;
        XmlElement::AttributeState& before;
        ~Recorder()
        {
            XmlElement::AttributeState after = element->attributeState();
            if (after.attributes != before.attributes || after.declarations != before.declarations)
                history.Record(std::make_unique<AttributesChanged>(element, std::move(before), std::move(after)));
        }
    } recorder{*this, element, before};
    edit();
}

bool NodeHistory::CanUndo() const { return m_depth == 0 && m_processor.CanUndo(); }
bool NodeHistory::CanRedo() const { return m_depth == 0 && m_processor.CanRedo(); }

XmlNodePtr NodeHistory::Undo() { return Run(true); }
XmlNodePtr NodeHistory::Redo() { return Run(false); }

XmlNodePtr NodeHistory::Run(bool undo)
{
    if (!(undo ? CanUndo() : CanRedo())) return nullptr;
    m_lastFocus.reset();
    try {
        undo ? m_processor.Undo() : m_processor.Redo();
    } catch (...) {
        // A step half run leaves the DOM where no other step fits.
        Clear();
        throw;
    }
    return std::move(m_lastFocus);
}

void NodeHistory::Clear()
{
    m_processor.ClearCommands();
    if (m_open) m_open = std::make_unique<Command>(*this);
}
