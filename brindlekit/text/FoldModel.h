#pragma once

#include "platform/Export.h"

#include <map>
#include <vector>

namespace brindle {

// Lines first..last of one construct (an element, a comment, ...). Folded, the first
// line stays visible and stands for the others.
struct FoldRange {
    int first = 0;
    int last = 0;
    bool operator==(const FoldRange&) const = default;
};

// The folds of a text view: which ranges are folded, the lines they hide, the
// mapping between document lines and visible lines (rows when scrolled to the top),
// and the remembered ends of the ranges that open on lines. Edits move all of it with
// the lines; an edit inside a folded range opens it.
class BRINDLEKIT_API FoldModel {
public:
    // How far a search for the end of a range looks from the line it opens on;
    // longer ranges are found only by listing all of them.
    static constexpr int kSearchLines = 50000;

    // ---- Folded ranges ----
    // Folds [first, last] (nothing when last <= first); false when already folded.
    bool Fold(int first, int last);
    // Opens the fold whose first line is `first`; false when there is none.
    bool Unfold(int first);
    bool IsFolded(int first) const;
    // Folds all these ranges at once (in order of first line, one per line).
    void FoldAll(std::vector<FoldRange> ranges);
    void Clear();
    bool Empty() const { return m_folded.empty(); }
    // Folded ranges in order of their first lines.
    const std::vector<FoldRange>& Folded() const { return m_folded; }
    // Opens every fold that hides the line; false when none did.
    bool Reveal(int line);

    // ---- Visible lines ----
    bool IsHidden(int line) const;
    int HiddenLineCount() const { return m_hiddenTotal; }
    // The index of a line among the visible ones; a hidden line counts as the
    // visible line that stands for it.
    int ToVisible(int line) const;
    // The document line shown as visible line `visible`.
    int ToLine(int visible) const;
    // The visible line `rows` visible lines after (before, when negative) `line`,
    // within 0..lineCount-1.
    int Advance(int line, int rows, int lineCount) const;
    // The visible line that stands for `line` (itself when it is not hidden).
    int Shown(int line) const { return IsHidden(line) ? ToLine(ToVisible(line)) : line; }

    // ---- Range ends by first line ----
    // -2 when not known, -1 when no range opens on the line, else its last line.
    int KnownEnd(int line) const;
    void RememberEnd(int line, int last);
    void ForgetEnds() { m_ends.clear(); }

    // ---- Edits ----
    // Lines [first, last] were edited and `delta` lines came (or went, when negative)
    // after `first`. Folds and ends touching the edited lines are dropped, those
    // after them move; an edit confined to a fold's first line keeps it.
    // `linesBefore`: whole lines were inserted at the start of line `first`, so
    // everything from it on only moves.
    void OnEdit(int first, int last, int delta, bool linesBefore);

private:
    // Recomputes the hidden intervals from the folded ranges.
    void Rebuild();

    std::vector<FoldRange> m_folded;
    // Hidden lines as disjoint intervals [first, last] in order, and the count of
    // hidden lines before each interval.
    std::vector<FoldRange> m_hidden;
    std::vector<int> m_hiddenBefore;
    int m_hiddenTotal = 0;
    std::map<int, int> m_ends;
};

} // namespace brindle
