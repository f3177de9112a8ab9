#include "app/views/XPathPanelModel.h"

#include <algorithm>

using brindle::XPathBinding;
using brindle::XPathResult;

namespace {

// The 1-based character (not byte) position of a byte offset in UTF-8 text.
size_t CharacterAt(const std::string& text, size_t byteOffset)
{
    size_t chars = 1;
    for (size_t i = 0; i < byteOffset && i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++chars;
    return chars;
}

} // namespace

CXPathPanelModel::CXPathPanelModel() : m_history("XPath History", "Expression%d", kHistorySize, 60)
{
    m_history.ReadList();
}

std::vector<std::string> CXPathPanelModel::HistoryEntries() const
{
    std::vector<std::string> out;
    for (int i = 0; i < m_history.GetSize(); ++i)
        if (!m_history[i].empty()) out.push_back(m_history[i]);
    return out;
}

void CXPathPanelModel::SetDeclaredNamespaces(const std::vector<XPathBinding>& declared)
{
    m_bindings = UsableBindings(declared, &m_defaultNamespace);
}

std::vector<std::string> CXPathPanelModel::BindingLabels() const
{
    std::vector<std::string> out;
    for (size_t i = 0; i < m_bindings.size(); ++i)
        out.push_back(m_bindings[i].prefix + " = " + m_bindings[i].uri + (m_defaultNamespace[i] ? "  (default namespace)" : ""));
    return out;
}

bool CXPathPanelModel::Evaluate(const brindle::XmlNode& context, const std::string& expression)
{
    m_rows.clear();
    m_error = false;
    if (expression.find_first_not_of(" \t\r\n") == std::string::npos) {
        m_summary = "Enter an XPath expression.";
        m_error = true;
        return false;
    }
    XPathResult r = brindle::EvaluateXPath(context, expression, m_bindings, kMaxRows);
    switch (r.kind) {
    case XPathResult::Kind::Error:
        m_error = true;
        m_summary = r.error;
        if (r.errorPosition != std::string::npos)
            m_summary += " at character " + std::to_string(CharacterAt(expression, r.errorPosition)) + " of the expression";
        m_summary += ".";
        return false;
    case XPathResult::Kind::NodeSet:
        for (auto& hit : r.hits) m_rows.push_back({hit.path, hit.kind, hit.value, hit.line, hit.node});
        m_summary = std::to_string(r.count) + (r.count == 1 ? " node" : " nodes");
        if (r.count > m_rows.size()) m_summary += "; the first " + std::to_string(m_rows.size()) + " are listed";
        m_summary += ".";
        break;
    case XPathResult::Kind::Number: m_rows.push_back({"", "number", r.string, 0, nullptr}); break;
    case XPathResult::Kind::String: m_rows.push_back({"", "string", r.string, 0, nullptr}); break;
    case XPathResult::Kind::Boolean: m_rows.push_back({"", "boolean", r.string, 0, nullptr}); break;
    }
    if (r.kind != XPathResult::Kind::NodeSet) m_summary = m_rows.front().kind + ": " + r.string;
    m_history.Add(expression);
    m_history.WriteList();
    return true;
}

void CXPathPanelModel::Clear(const std::string& note)
{
    m_rows.clear();
    m_summary = note;
    m_error = false;
}
