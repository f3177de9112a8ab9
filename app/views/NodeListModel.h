#pragma once

#include "platform/xml/XmlDom.h"

#include <cstddef>
#include <string>
#include <vector>

// The rows of the node list: the attributes and the non-element children of one
// node, each row holding its node (a counted reference). Rows are shown last
// first: the listed children from the last to the first, then the attributes
// from the last to the first. Also the list's window-free rules: the picture of
// a node kind, the text of a cell, and when each command of the list applies.
class NodeListModel {
public:
    enum Column { kNameColumn = 0, kTypeColumn = 1, kValueColumn = 2 };
    // Picture indices, in the order of the list's image list.
    enum Image {
        kTextImage = 0,
        kAttributeImage = 1,
        kCommentImage = 2,
        kCDataImage = 3,
        kProcInstImage = 4,
        kDoctypeImage = 5,
        kEntityRefImage = 6,
    };

    // --- rows
    // Replaces the rows by those of the node (none for a null node).
    void Fill(const brindle::XmlNodePtr& node);
    void Clear() { m_rows.clear(); }
    std::size_t RowCount() const { return m_rows.size(); }
    // The node of a row; null for an index out of range.
    brindle::XmlNodePtr NodeAt(long row) const;
    // The row of a node; -1 when it has none.
    long RowOf(const brindle::XmlNodePtr& node) const;

    // Whether a child node of this kind gets a row (elements, and kinds that are
    // not children in the text's sense, do not).
    static bool IsListedChild(int nodeType);
    // The picture of a node kind; a notation gets the DOCTYPE's picture, since it
    // is declared in the document type. -1 for kinds that are never listed.
    static int ImageOf(int nodeType);
    // The text of a cell: name, kind name or value. A value is shown up to its
    // first line break.
    static std::string CellText(const brindle::XmlNodePtr& node, Column column);

    // --- command rules
    // What the enable rules look at: the document's current node (null for none),
    // the nodes of the selected rows from top to bottom, and whether the clipboard
    // holds text.
    struct Context {
        brindle::XmlNodePtr current;
        std::vector<brindle::XmlNodePtr> selected;
        bool clipboardHasText = false;
    };
    // Whether the command applies. With no current node nothing can be created or
    // pasted; Refresh always applies. Unknown ids are disabled.
    static bool IsCommandEnabled(int id, const Context& context);
    // A row's name may be edited: the current node is not a document type and the
    // row's node is an attribute or a processing instruction.
    static bool RenameAllowed(const brindle::XmlNodePtr& current, const brindle::XmlNodePtr& rowNode);

private:
    std::vector<brindle::XmlNodePtr> m_rows;
};
