#include "brindlekit/text/FoldModel.h"

#include <algorithm>

namespace brindle {

namespace {

bool ByFirst(const FoldRange& a, const FoldRange& b) { return a.first < b.first || (a.first == b.first && a.last < b.last); }

// Beyond this many remembered ends, those a search can find again are dropped.
constexpr std::size_t kMaxKnownEnds = 200000;

} // namespace

bool FoldModel::Fold(int first, int last)
{
    if (last <= first || first < 0 || IsFolded(first)) return false;
    const FoldRange range{first, last};
    m_folded.insert(std::upper_bound(m_folded.begin(), m_folded.end(), range, ByFirst), range);
    Rebuild();
    return true;
}

bool FoldModel::Unfold(int first)
{
    auto it = std::lower_bound(m_folded.begin(), m_folded.end(), FoldRange{first, -1}, ByFirst);
    if (it == m_folded.end() || it->first != first) return false;
    m_folded.erase(it);
    Rebuild();
    return true;
}

bool FoldModel::IsFolded(int first) const
{
    auto it = std::lower_bound(m_folded.begin(), m_folded.end(), FoldRange{first, -1}, ByFirst);
    return it != m_folded.end() && it->first == first;
}

void FoldModel::FoldAll(std::vector<FoldRange> ranges)
{
    // Folds already made stay, unless a listed range opens on the same line.
    for (const FoldRange& r : m_folded)
        if (!std::binary_search(ranges.begin(), ranges.end(), FoldRange{r.first, 0},
                                [](const FoldRange& a, const FoldRange& b) { return a.first < b.first; }))
            ranges.push_back(r);
    std::sort(ranges.begin(), ranges.end(), ByFirst);
    m_folded = std::move(ranges);
    Rebuild();
}

void FoldModel::Clear()
{
    m_folded.clear();
    Rebuild();
}

bool FoldModel::Reveal(int line)
{
    if (!IsHidden(line)) return false;
    std::erase_if(m_folded, [line](const FoldRange& r) { return r.first < line && line <= r.last; });
    Rebuild();
    return true;
}

void FoldModel::Rebuild()
{
    m_hidden.clear();
    m_hiddenBefore.clear();
    m_hiddenTotal = 0;
    for (const FoldRange& r : m_folded) {
        const FoldRange hidden{r.first + 1, r.last};
        if (!m_hidden.empty() && hidden.first <= m_hidden.back().last + 1) {
            m_hidden.back().last = std::max(m_hidden.back().last, hidden.last);
        } else {
            m_hidden.push_back(hidden);
        }
    }
    m_hiddenBefore.reserve(m_hidden.size() + 1);
    for (const FoldRange& h : m_hidden) {
        m_hiddenBefore.push_back(m_hiddenTotal);
        m_hiddenTotal += h.last - h.first + 1;
    }
    m_hiddenBefore.push_back(m_hiddenTotal);
}

bool FoldModel::IsHidden(int line) const
{
    // The last interval starting at or before the line.
    auto it = std::upper_bound(m_hidden.begin(), m_hidden.end(), line,
                               [](int l, const FoldRange& h) { return l < h.first; });
    return it != m_hidden.begin() && line <= std::prev(it)->last;
}

int FoldModel::ToVisible(int line) const
{
    if (m_hidden.empty()) return line;
    auto it = std::upper_bound(m_hidden.begin(), m_hidden.end(), line,
                               [](int l, const FoldRange& h) { return l < h.first; });
    const auto k = static_cast<std::size_t>(it - m_hidden.begin());
    if (k > 0 && line <= m_hidden[k - 1].last) return m_hidden[k - 1].first - 1 - m_hiddenBefore[k - 1];
    return line - m_hiddenBefore[k];
}

int FoldModel::ToLine(int visible) const
{
    if (m_hidden.empty()) return visible;
    // Line h.first would be visible line h.first - hiddenBefore; these keys never decrease.
    std::size_t lo = 0;
    std::size_t hi = m_hidden.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (m_hidden[mid].first - m_hiddenBefore[mid] <= visible) lo = mid + 1;
        else hi = mid;
    }
    return visible + m_hiddenBefore[lo];
}

int FoldModel::Advance(int line, int rows, int lineCount) const
{
    const int lastVisible = ToVisible(std::max(0, lineCount - 1));
    return ToLine(std::clamp(ToVisible(line) + rows, 0, lastVisible));
}

int FoldModel::KnownEnd(int line) const
{
    auto it = m_ends.find(line);
    return it == m_ends.end() ? -2 : it->second;
}

void FoldModel::RememberEnd(int line, int last)
{
    if (m_ends.size() >= kMaxKnownEnds) {
        // The ends of ranges longer than a search looks stay: only listing every
        // range found them.
        std::erase_if(m_ends, [](const auto& known) { return known.second - known.first <= kSearchLines; });
        if (m_ends.size() >= kMaxKnownEnds) m_ends.clear();
    }
    m_ends[line] = last;
}

void FoldModel::OnEdit(int first, int last, int delta, bool linesBefore)
{
    auto moved = [&](int line) { return line + delta; };
    // A range is touched when it holds an edited line, unless only its first line
    // changed and no lines came or went. With whole lines inserted or deleted before
    // `first`, ranges from it on only move.
    auto touches = [&](const FoldRange& r) {
        if (linesBefore) return r.first < first && r.last >= first;
        if (r.last < first || r.first > last) return false;
        return !(delta == 0 && first == last && r.first == first);
    };
    auto after = [&](const FoldRange& r) { return linesBefore ? r.first >= first : r.first > last; };

    bool changed = false;
    std::vector<FoldRange> kept;
    kept.reserve(m_folded.size());
    for (const FoldRange& r : m_folded) {
        if (touches(r)) {
            changed = true;
        } else if (after(r) && delta != 0) {
            kept.push_back({moved(r.first), moved(r.last)});
            changed = true;
        } else {
            kept.push_back(r);
        }
    }
    if (changed) {
        m_folded = std::move(kept);
        Rebuild();
    }

    // Ends found from lines at or before the edit may have changed whenever the
    // search ran into it (or found nothing: the edit may have closed the range).
    if (delta == 0) {
        // Nothing moves: only the searches that could reach the edit are dropped.
        for (auto it = m_ends.lower_bound(first - kSearchLines); it != m_ends.end() && it->first <= last;) {
            if (it->second < 0 || it->second >= first) it = m_ends.erase(it);
            else ++it;
        }
        return;
    }
    std::map<int, int> ends;
    for (const auto& [line, end] : m_ends) {
        const FoldRange r{line, end};
        if (after(r)) {
            ends.emplace_hint(ends.end(), moved(line), end < 0 ? end : moved(end));
        } else if (end >= 0 && end < first) {
            ends.emplace_hint(ends.end(), line, end);
        }
    }
    m_ends = std::move(ends);
}

} // namespace brindle
