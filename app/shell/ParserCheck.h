#pragma once

// Proves at start-up that a parser document object can be created under the
// configured identifier. A bad identifier is reported, reset to the default and
// tried once more; when that fails too the user is offered the parser's download
// page and the check fails.
bool CheckParserPresence();
