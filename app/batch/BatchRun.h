#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// Runs a batch command line (the arguments after the program name) without a
// window: results go to out, messages to err as "file:line:column: message"
// ("file: message" where no place is known). Returns the exit status: 0 when
// every document was fine, 1 when one failed, 2 for bad usage (the usage text
// follows the reason on err).
int RunBatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
