#pragma once

#include "brindlekit/text/Point.h"
#include "platform/Export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brindle {

// One change in the undo history: an insertion or a deletion of a range of text.
class BRINDLEKIT_API UndoRecord {
public:
    static constexpr std::uint32_t UNDO_INSERT = 0x1;      // clear: a deletion
    static constexpr std::uint32_t UNDO_BEGINGROUP = 0x100; // first record of a group

    std::uint32_t m_dwFlags = 0;
    CPoint m_ptStartPos; // start of the range
    CPoint m_ptEndPos;   // just after the inserted text / end of the deleted range
    int m_nAction = 0;

    bool IsInsertion() const { return (m_dwFlags & UNDO_INSERT) != 0; }
    bool BeginsGroup() const { return (m_dwFlags & UNDO_BEGINGROUP) != 0; }

    // The inserted or deleted text; lines of a deleted range are joined with "\r\n".
    const std::string& GetText() const { return m_text; }
    void SetText(std::string_view text) { m_text.assign(text); m_pieceLengths.clear(); }

    // For a deleted range whose lines themselves hold CR bytes, the joined text does
    // not say where the line breaks were; the length of each line's piece does.
    const std::vector<int>& GetPieceLengths() const { return m_pieceLengths; }
    void SetPieceLengths(std::vector<int> lengths) { m_pieceLengths = std::move(lengths); }

private:
    std::string m_text;
    std::vector<int> m_pieceLengths;
};

} // namespace brindle
