#include "app/document/DocErrors.h"

std::string DocErrors::Take()
{
    std::string text;
    for (const auto& [message, icon] : std::exchange(m_messages, {})) text += (text.empty() ? "" : "\n\n") + message;
    return text;
}

void DocErrors::Tell()
{
    for (const auto& [message, icon] : std::exchange(m_messages, {}))
        brindle::UIServices().MessageBox(message, brindle::MsgButtons::Ok, icon);
}
