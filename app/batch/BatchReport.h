#pragma once

#include "platform/xml/XmlParseError.h"

#include <ostream>
#include <string>

// The messages of a batch run, one line each on the error stream, and whether
// any document failed.
class BatchReport {
public:
    explicit BatchReport(std::ostream& err) : m_err(err) {}

    // "file:line:column: reason" (the place left out where unknown).
    void Fail(const std::string& file, const brindle::XmlParseError& error);
    void Fail(const std::string& file, const std::string& message, long line = 0, long column = 0);
    bool Failed() const { return m_failed; }
    // Passes on what another report held back: its messages, and whether it failed.
    void Relay(const std::string& messages, bool failed);

private:
    std::ostream& m_err;
    bool m_failed = false;
};
