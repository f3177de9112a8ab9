#pragma once

#include "platform/ui/UIServices.h"

#include <string>
#include <utility>
#include <vector>

// The messages for the user that document operations leave behind. An operation
// that fails (or that succeeds with something to warn of) adds its message and
// returns failure; the view, frame or command that called tells them. Operations
// never show message boxes themselves.
class DocErrors {
public:
    void Add(std::string text, brindle::MsgIcon icon = brindle::MsgIcon::Error)
    {
        m_messages.emplace_back(std::move(text), icon);
    }
    bool Empty() const { return m_messages.empty(); }
    // The texts joined by blank lines ("" when none); the list is cleared.
    std::string Take();
    // Shows each message in turn; the list is cleared.
    void Tell();

private:
    std::vector<std::pair<std::string, brindle::MsgIcon>> m_messages;
};
