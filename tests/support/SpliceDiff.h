#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace brindle::test {

// Judges a save that was to change only the nodes an edit touched: the bytes
// of the original outside those nodes' text must come out unchanged. Offsets
// are byte offsets into the original file's text; ranges are [start, end).
struct ByteRange {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
};

// The smallest range covering every span. Its start moves back to the start of
// its line, so that a changed indentation counts as inside, and over the break
// before that line when only blanks stand before the span on it, so that an
// element removed together with its line counts as inside too.
inline ByteRange TouchedHull(const std::string& original, const std::vector<ByteRange>& spans)
{
    ByteRange hull{original.size(), 0};
    for (const ByteRange& span : spans) {
        hull.start = std::min(hull.start, span.start);
        hull.end = std::max(hull.end, span.end);
    }
    if (spans.empty() || hull.start > original.size()) return {0, 0};
    hull.end = std::min<std::uint64_t>(hull.end, original.size());
    const std::uint64_t first = hull.start;
    std::uint64_t lineStart = first;
    while (lineStart > 0 && original[lineStart - 1] != '\n' && original[lineStart - 1] != '\r') --lineStart;
    hull.start = lineStart;
    if (original.find_first_not_of(" \t", lineStart) >= first) {
        // Blanks only before the first span on its line: the break before it joins.
        if (hull.start > 0 && original[hull.start - 1] == '\n') --hull.start;
        if (hull.start > 0 && original[hull.start - 1] == '\r') --hull.start;
    }
    return hull;
}

// Where the output first and last differs from the original, trimming the
// longest common prefix and suffix (which may not overlap in either text).
struct ByteDiff {
    bool same = true;
    std::uint64_t prefix = 0; // bytes equal at the start
    std::uint64_t suffix = 0; // bytes equal at the end, after the prefix
};

inline ByteDiff DiffBytes(const std::string& original, const std::string& output)
{
    ByteDiff diff;
    const std::uint64_t shorter = std::min(original.size(), output.size());
    while (diff.prefix < shorter && original[diff.prefix] == output[diff.prefix]) ++diff.prefix;
    while (diff.prefix + diff.suffix < shorter &&
           original[original.size() - 1 - diff.suffix] == output[output.size() - 1 - diff.suffix])
        ++diff.suffix;
    diff.same = original.size() == output.size() && diff.prefix == original.size();
    return diff;
}

// Whether the output is the original with only bytes inside the hull replaced:
// it starts with everything before the hull and ends with everything after it.
// The trimmed difference alone can fall either side of a repeated byte run (a
// removed line next to a like one), so the check asks for the hull's outside on
// each side rather than the trimmed middle.
inline bool ChangedOnlyInside(const std::string& original, const std::string& output, const ByteRange& hull)
{
    const std::uint64_t before = hull.start;
    const std::uint64_t after = original.size() - hull.end;
    if (before + after > output.size()) return false;
    return output.compare(0, before, original, 0, before) == 0 &&
           output.compare(output.size() - after, after, original, hull.end, after) == 0;
}

// "line L (byte B)" for a byte offset of the text, lines from 1.
inline std::string DescribeOffset(const std::string& text, std::uint64_t offset)
{
    offset = std::min<std::uint64_t>(offset, text.size());
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n');
    return "line " + std::to_string(line) + " (byte " + std::to_string(offset) + ")";
}

// How many spliced saves kept to their nodes, for the report of a corpus run.
class SpliceTally {
public:
    void Add(bool inside)
    {
        ++m_edits;
        if (inside) ++m_inside;
    }
    int Edits() const { return m_edits; }
    int Inside() const { return m_inside; }
    // "N of M edits (P%) changed only the edited nodes"
    std::string Summary() const
    {
        char share[16];
        std::snprintf(share, sizeof share, "%.1f", m_edits ? 100.0 * m_inside / m_edits : 0.0);
        return std::to_string(m_inside) + " of " + std::to_string(m_edits) + " edits (" + share +
               "%) changed only the edited nodes";
    }

private:
    int m_edits = 0;
    int m_inside = 0;
};

} // namespace brindle::test
