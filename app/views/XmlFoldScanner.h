#pragma once

#include "brindlekit/text/FoldModel.h"

#include <functional>
#include <string_view>
#include <vector>

// The ranges of lines an XML text can fold: elements, comments, CDATA sections,
// processing instructions and declarations that span more than one line. Quotes in
// attribute values are honoured ('>' inside them ends nothing). Unbalanced text, as
// while typing, gives no range for an element that is not closed.
namespace xml_fold {

// The text of a line (without its line break).
using LineSource = std::function<std::string_view(int line)>;

// Every range of the text, in order of first line.
std::vector<brindle::FoldRange> FindRanges(const LineSource& lines, int lineCount);

// The last line of the outermost construct that opens on line `first` and ends on a
// later line, looking at most `limit` lines further; -1 when there is none (or it
// ends further away). The search reads the text from the start of `first` on, so
// it does not know what lines before it leave open.
int FindEnd(const LineSource& lines, int lineCount, int first, int limit);

} // namespace xml_fold
