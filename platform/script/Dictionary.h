#pragma once

#include "platform/script/ScriptObject.h"

#include <list>
#include <unordered_map>

namespace brindle::vbs {

// Scripting.Dictionary: items by key in insertion order. Keys are compared by
// kind and value: strings (case-insensitively under text CompareMode), numbers
// of any numeric type by value (1 and 1.0 are one key, 1 and "1" two), dates,
// Booleans, Empty, Null, and objects by identity.
// Members: Add, Exists, Item (the default member; reading a missing key adds
// it with Empty), Key, Items, Keys, Remove, RemoveAll, Count, CompareMode.
// For Each visits the keys. Its entries count against the memory budget.
class DictionaryObject : public ScriptObject {
public:
    VbString TypeName() const override { return u"Dictionary"; }
    Variant Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args) override;
    std::vector<Variant> Enumerate() override;

    // The normalised form of a key, by which keys are found.
    struct Key {
        enum Kind : uint8_t { Empty, Null, Number, Boolean, Date, String, Object } kind = Empty;
        double number = 0;
        VbString text;
        const void* object = nullptr;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& key) const;
    };

private:
    struct Entry {
        Variant key;
        Variant value;
    };
    using Entries = std::list<Entry>;

    Key Normalise(const Variant& key) const;
    Entries::iterator Find(const Variant& key);
    Entries::iterator Insert(const Variant& key, Variant value);
    void Remove(Entries::iterator at);
    static size_t EntryBytes(const Key& key);

    MemoryCharge m_charge;
    Entries m_entries;
    std::unordered_map<Key, Entries::iterator, KeyHash> m_index;
    bool m_textCompare = false;
};

} // namespace brindle::vbs
