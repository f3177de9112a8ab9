#include "app/views/ValidationErrorsModel.h"

#include <utility>

using brindle::XmlParseError;

namespace {

// The reason on one line, each run of blanks and line breaks one space:
// libxml2's messages may span several indented lines.
std::string OneLine(const std::string& text)
{
    std::string s;
    for (char c : text) {
        if (c == '\r') continue;
        if (c == '\n' || c == '\t' || c == ' ') {
            if (!s.empty() && s.back() != ' ') s += ' ';
        } else {
            s += c;
        }
    }
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

} // namespace

void ValidationErrorsModel::Set(std::vector<XmlParseError> errors, std::string documentPath)
{
    m_errors = std::move(errors);
    m_documentPath = std::move(documentPath);
}

std::string ValidationErrorsModel::Cell(size_t row, Column column) const
{
    if (row >= m_errors.size()) return {};
    const XmlParseError& e = m_errors[row];
    switch (column) {
    case kLine: return e.line > 0 ? std::to_string(e.line) : std::string();
    case kColumn: return e.line > 0 && e.linepos > 0 ? std::to_string(e.linepos) : std::string();
    case kMessage: return e.url.empty() ? OneLine(e.reason) : e.url + ": " + OneLine(e.reason);
    }
    return {};
}

ValidationErrorsModel::Place ValidationErrorsModel::PlaceOf(size_t row) const
{
    if (row >= m_errors.size()) return {};
    const XmlParseError& e = m_errors[row];
    return {e.line, e.linepos, e.url};
}

std::string ValidationErrorsModel::CopyAllText() const
{
    std::string text;
    for (const XmlParseError& e : m_errors) {
        text += e.url.empty() ? m_documentPath : e.url;
        if (e.line > 0) text += ":" + std::to_string(e.line) + ":" + std::to_string(e.linepos > 0 ? e.linepos : 1);
        text += ": " + OneLine(e.reason) + "\n";
    }
    return text;
}
