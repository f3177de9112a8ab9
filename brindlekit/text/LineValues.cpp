#include "brindlekit/text/LineValues.h"

#include <algorithm>

namespace brindle {

std::uint32_t LineValues::get(std::size_t line) const
{
    const std::uint16_t code = m_codes[line];
    if (code == kUnsetCode) return m_unset;
    if (code == kWideCode) return m_wide.at(line);
    return code - 1u;
}

void LineValues::set(std::size_t line, std::uint32_t value)
{
    std::uint16_t& code = m_codes[line];
    if (code == kWideCode) m_wide.erase(line);
    if (value == m_unset) {
        code = kUnsetCode;
    } else if (value < kWideCode - 1u) {
        code = static_cast<std::uint16_t>(value + 1);
    } else {
        code = kWideCode;
        m_wide[line] = value;
    }
}

void LineValues::assign(std::size_t count)
{
    m_codes.assign(count, kUnsetCode);
    m_wide.clear();
}

void LineValues::resize(std::size_t count)
{
    if (count < m_codes.size()) m_wide.erase(m_wide.lower_bound(count), m_wide.end());
    m_codes.resize(count, kUnsetCode);
}

void LineValues::clearFrom(std::size_t from)
{
    from = std::min(from, m_codes.size());
    std::fill(m_codes.begin() + static_cast<std::ptrdiff_t>(from), m_codes.end(), kUnsetCode);
    m_wide.erase(m_wide.lower_bound(from), m_wide.end());
}

void LineValues::insert(std::size_t at, std::size_t count)
{
    m_codes.insert(m_codes.begin() + static_cast<std::ptrdiff_t>(at), count, kUnsetCode);
    // The few wide values after the insertion move with their lines.
    std::map<std::size_t, std::uint32_t> moved;
    for (auto it = m_wide.lower_bound(at); it != m_wide.end();) {
        moved.emplace(it->first + count, it->second);
        it = m_wide.erase(it);
    }
    m_wide.merge(moved);
}

void LineValues::erase(std::size_t from, std::size_t to)
{
    m_codes.erase(m_codes.begin() + static_cast<std::ptrdiff_t>(from), m_codes.begin() + static_cast<std::ptrdiff_t>(to));
    std::map<std::size_t, std::uint32_t> moved;
    for (auto it = m_wide.lower_bound(from); it != m_wide.end();) {
        if (it->first >= to) moved.emplace(it->first - (to - from), it->second);
        it = m_wide.erase(it);
    }
    m_wide.merge(moved);
}

} // namespace brindle
