#pragma once

// One value per line of a view (expanded widths, colouring states) in two bytes
// a line, so a text of tens of millions of lines costs tens of megabytes, not
// hundreds. The value meaning "nothing known" and small values take the two
// bytes; the rare larger ones are kept aside by line.

#include "platform/Export.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

namespace brindle {

class BRINDLEKIT_API LineValues {
public:
    // unset: the value of lines nothing was stored for.
    explicit LineValues(std::uint32_t unset) : m_unset(unset) {}

    std::size_t size() const { return m_codes.size(); }
    std::uint32_t get(std::size_t line) const;
    void set(std::size_t line, std::uint32_t value);
    // count lines, each unset.
    void assign(std::size_t count);
    // New lines at the end are unset.
    void resize(std::size_t count);
    // Lines from `from` to the end become unset.
    void clearFrom(std::size_t from);
    // count unset lines come in before line `at`; [from, to) go.
    void insert(std::size_t at, std::size_t count);
    void erase(std::size_t from, std::size_t to);

private:
    static constexpr std::uint16_t kUnsetCode = 0;
    static constexpr std::uint16_t kWideCode = 0xFFFF;

    std::uint32_t m_unset;
    std::vector<std::uint16_t> m_codes;            // 0 unset, value + 1, or kWideCode
    std::map<std::size_t, std::uint32_t> m_wide;   // the values of kWideCode lines
};

} // namespace brindle
