#pragma once

#include "platform/xml/XmlDom.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <wx/cmdproc.h>

// The undo history of a document's node operations. The operations make their
// changes to the DOM through the history's primitives (insert, remove, replace,
// value, attributes), which record each change with the live nodes it touched:
// a removed node is kept whole, with its attributes, declarations and children,
// and its parent and place, so that undoing puts the very same node back where
// it was. The changes of one operation, or of one user action made of several
// operations (a drag, a multiple delete), form one step of a wxCommandProcessor.
// Steps are undone and redone strictly in order, so each finds the DOM exactly as
// it left it.
class NodeHistory {
public:
    // One recorded change: both directions, and the node to show after each.
    class Change {
    public:
        virtual ~Change() = default;
        virtual void Undo() = 0;
        virtual void Redo() = 0;
        // The node the change is about, once undone or redone.
        virtual brindle::XmlNodePtr Focus(bool undone) const = 0;
        // Whether redoing it puts a node into the tree.
        virtual bool Adds() const { return false; }
    };

    // Collects the changes made while it lives into one step (steps nest: the
    // outermost one counts).
    class Step {
    public:
        explicit Step(NodeHistory& history);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        NodeHistory& m_history;
    };

    NodeHistory();
    ~NodeHistory();

    // --- recording primitives: each changes the DOM as its DOM call does
    // (throwing DomError the same way) and records the change.
    void Insert(const brindle::XmlNodePtr& parent, const brindle::XmlNodePtr& node,
                const brindle::XmlNodePtr& before = nullptr);
    void Remove(const brindle::XmlNodePtr& node);
    // The replacement (an element without children) takes the old element's
    // place, then its children.
    void ReplaceElement(const brindle::XmlNodePtr& replacement, const brindle::XmlNodePtr& old);
    void SetValue(const brindle::XmlNodePtr& node, const std::string& value);
    // Runs the edit of the element's attributes or declarations and records the
    // start tag before and after it (also when the edit throws midway).
    void ChangeAttributes(const brindle::XmlElementPtr& element, const std::function<void()>& edit);

    // --- the history
    bool CanUndo() const;
    bool CanRedo() const;
    // Undoes or redoes one step; the node to show afterwards (null when there was
    // nothing to do). DomError propagates, with the history cleared.
    brindle::XmlNodePtr Undo();
    brindle::XmlNodePtr Redo();
    void Clear();

private:
    class Command;
    void Record(std::unique_ptr<Change> change);
    brindle::XmlNodePtr Run(bool undo);

    wxCommandProcessor m_processor;
    int m_depth = 0;                          // open steps
    std::unique_ptr<Command> m_open;          // the changes of the open step
    brindle::XmlNodePtr m_lastFocus;          // set by the step just undone or redone
};
