#include "app/settings/RecentStringList.h"

#include "platform/settings/Profile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

using brindle::Profile;

namespace {

bool EqualNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

CRecentStringList::CRecentStringList(std::string section, std::string entryFormat, int size, int maxDisplayLength)
    : m_section(std::move(section)), m_entryFormat(std::move(entryFormat)), m_maxDisplayLength(maxDisplayLength),
      m_slots(static_cast<size_t>(std::max(size, 1)))
{
}

void CRecentStringList::Add(const std::string& entry)
{
    std::string item = entry.substr(0, kMaxEntryLength);
    size_t stop = 0;
    if (m_slots.size() >= 2) {
        const size_t last = m_slots.size() - 1;
        while (stop < last && !EqualNoCase(m_slots[stop], item)) ++stop;
    }
    for (size_t i = stop; i > 0; --i) m_slots[i] = std::move(m_slots[i - 1]);
    m_slots[0] = std::move(item);
}

void CRecentStringList::Remove(int index)
{
    if (index < 0 || index >= GetSize()) return;
    m_slots.erase(m_slots.begin() + index);
    m_slots.emplace_back();
}

std::string CRecentStringList::EntryName(int index) const
{
    char name[300];
    std::snprintf(name, sizeof name, m_entryFormat.c_str(), index + 1);
    return name;
}

void CRecentStringList::ReadList()
{
    for (int i = 0; i < GetSize(); ++i)
        m_slots[static_cast<size_t>(i)] = Profile::GetProfileString(m_section, EntryName(i)).substr(0, kMaxEntryLength);
}

void CRecentStringList::WriteList() const
{
    for (int i = 0; i < GetSize(); ++i) {
        const std::string& slot = m_slots[static_cast<size_t>(i)];
        if (slot.empty())
            Profile::DeleteProfileEntry(m_section, EntryName(i));
        else if (Profile::GetProfileString(m_section, EntryName(i)) != slot)
            Profile::WriteProfileString(m_section, EntryName(i), slot);
    }
}

std::string CRecentStringList::GetDisplayName(int index) const
{
    const std::string& full = (*this)[index];
    const size_t limit = static_cast<size_t>(std::max(m_maxDisplayLength, 4));
    if (full.size() <= limit) return full;
    const size_t sep = full.find_last_of('/');
    const std::string name = sep == std::string::npos ? full : full.substr(sep + 1);
    if (name.size() + 4 >= limit) return name.size() <= limit ? name : name.substr(0, limit - 3) + "...";
    // Keep the root and as many trailing folders as fit in front of the name.
    std::string tail = full.substr(sep);
    std::string head = full.front() == '/' ? "/" : "";
    size_t pos = sep;
    while (pos > 0) {
        size_t prev = full.find_last_of('/', pos - 1);
        if (prev == std::string::npos) break;
        std::string longer = full.substr(prev, pos - prev) + tail;
        if (head.size() + 3 + longer.size() > limit) break;
        tail = longer;
        pos = prev;
    }
    return head + "..." + tail;
}
