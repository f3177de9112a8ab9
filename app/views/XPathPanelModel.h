#pragma once

#include "app/settings/RecentStringList.h"
#include "platform/xml/XPathQuery.h"

#include <string>
#include <vector>

// What the XPath panel shows, without a window: the expression history (kept in
// the profile), the prefixes an expression may use, and the rows of the last
// evaluation. A document's default namespace has no prefix, and XPath 1.0 names
// without a prefix match only elements in no namespace, so each default
// namespace is offered under a prefix of its own ("d", then "d2", ... where the
// document uses "d" for something else).
class CXPathPanelModel {
public:
    static constexpr int kHistorySize = 16;
    // Rows listed at most; the summary tells how many nodes matched.
    static constexpr size_t kMaxRows = 1000;

    struct Row {
        std::string path;
        std::string kind;
        std::string value;
        long line = 0;            // 0: unknown
        brindle::XmlNodePtr node; // the document's node, when the row stands for one
    };

    CXPathPanelModel();

    // --- history
    const CRecentStringList& History() const { return m_history; }
    std::vector<std::string> HistoryEntries() const;

    // --- prefixes
    // Takes the namespaces the document declares (prefix "" for a default one).
    void SetDeclaredNamespaces(const std::vector<brindle::XPathBinding>& declared);
    const std::vector<brindle::XPathBinding>& Bindings() const { return m_bindings; }
    // "prefix = URI", marked where the prefix stands for a default namespace.
    std::vector<std::string> BindingLabels() const;

    // --- evaluation
    // Evaluates the expression from the context node with the bindings. An
    // expression that evaluates goes to the top of the history; one that does
    // not leaves the rows empty and the summary saying why and where. False on
    // an error.
    bool Evaluate(const brindle::XmlNode& context, const std::string& expression);
    // Forgets the rows (the document changed or went away), with a note.
    void Clear(const std::string& note = {});
    const std::vector<Row>& Rows() const { return m_rows; }
    const std::string& Summary() const { return m_summary; }
    bool HasError() const { return m_error; }

private:
    CRecentStringList m_history;
    std::vector<brindle::XPathBinding> m_bindings;
    std::vector<bool> m_defaultNamespace; // per binding: stands for a default namespace
    std::vector<Row> m_rows;
    std::string m_summary;
    bool m_error = false;
};
