#pragma once

#include <string>
#include <vector>

// A most-recently-used list of strings with a fixed number of slots; slot 0 is the
// most recent and an empty string is an empty slot. The slots are read from and
// written to one section of the profile, entry names formed from a printf format
// with the slot number counted from 1 ("File%d" gives File1, File2, ...).
class CRecentStringList {
public:
    static constexpr size_t kMaxEntryLength = 259;

    CRecentStringList(std::string section, std::string entryFormat, int size, int maxDisplayLength);

    // Puts the entry (cut to 259 characters, otherwise as it is) into slot 0. An
    // equal entry (ignoring case) among the slots before the last is taken out;
    // otherwise the last slot falls off.
    void Add(const std::string& entry);
    void Remove(int index);

    void ReadList();
    // Writes the non-empty slots; entries of empty slots are removed.
    void WriteList() const;

    int GetSize() const { return static_cast<int>(m_slots.size()); }
    const std::string& operator[](int index) const { return m_slots.at(static_cast<size_t>(index)); }
    // The entry shortened for a menu to the display length: the file name, with as
    // much of the leading folder path as fits, "..." standing for the rest.
    std::string GetDisplayName(int index) const;

private:
    std::string EntryName(int index) const;

    std::string m_section;
    std::string m_entryFormat;
    int m_maxDisplayLength;
    std::vector<std::string> m_slots;
};
