#include "app/batch/BatchReport.h"

void BatchReport::Fail(const std::string& file, const brindle::XmlParseError& error)
{
    Fail(file, error.reason.empty() ? std::string("unknown error") : error.reason, error.line, error.linepos);
}

void BatchReport::Fail(const std::string& file, const std::string& message, long line, long column)
{
    m_failed = true;
    m_err << file << ':';
    if (line > 0) m_err << line << ':' << (column > 0 ? column : 1) << ':';
    // One line per message: the parser's reasons may carry line breaks.
    std::string text = message;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    m_err << ' ' << text << '\n';
}

void BatchReport::Relay(const std::string& messages, bool failed)
{
    m_err << messages;
    m_failed = m_failed || failed;
}
