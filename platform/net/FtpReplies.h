#pragma once

#include <string>

namespace brindle {

// Whether a final reply code (200..599) fits the command it answers, given by
// its verb ("" for the greeting before any command). A refusal (4xx, 5xx) fits
// every command; a success code only the commands that give it. A success that
// fits no command shows a reply left over from an earlier exchange: the replies
// and commands no longer match up. Verbs not known here accept every code.
bool FtpReplyFits(const std::string& verb, int code);

} // namespace brindle
