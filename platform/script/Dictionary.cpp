#include "platform/script/Dictionary.h"

#include "platform/script/CaseFold.h"
#include "platform/script/ObjectArgs.h"
#include "platform/script/ScriptError.h"
#include "platform/script/VariantOps.h"

#include <functional>

namespace brindle::vbs {

namespace {

constexpr int kElementNotFound = 32811;

[[noreturn]] void ThrowNotFound() { throw ScriptError(kElementNotFound, "Element not found"); }

} // namespace

size_t DictionaryObject::KeyHash::operator()(const Key& key) const
{
    size_t h = std::hash<int>()(key.kind);
    switch (key.kind) {
    case Key::Number:
    case Key::Boolean:
    case Key::Date: h ^= std::hash<double>()(key.number) * 31; break;
    case Key::String: h ^= std::hash<VbString>()(key.text) * 31; break;
    case Key::Object: h ^= std::hash<const void*>()(key.object) * 31; break;
    default: break;
    }
    return h;
}

DictionaryObject::Key DictionaryObject::Normalise(const Variant& value) const
{
    Key key;
    if (value.IsEmpty()) return key;
    if (value.IsNull()) {
        key.kind = Key::Null;
    } else if (value.IsObject()) {
        key.kind = Key::Object;
        key.object = value.Object().get();
    } else if (value.IsString()) {
        key.kind = Key::String;
        key.text = value.Str();
        if (m_textCompare)
            for (char16_t& c : key.text) c = FoldChar(c); // as text comparison folds
    } else if (value.IsBool()) {
        key.kind = Key::Boolean;
        key.number = std::get<bool>(value.Value()) ? -1 : 0;
    } else if (value.Type() == VarType::Date) {
        key.kind = Key::Date;
        key.number = std::get<DateValue>(value.Value()).days;
    } else if (value.IsNumericType()) {
        key.kind = Key::Number;
        key.number = ToDouble(value);
    } else {
        throw ScriptError(err::kTypeMismatch); // arrays and error values
    }
    if (key.number == 0) key.number = 0; // one key for 0 and -0
    return key;
}

DictionaryObject::Entries::iterator DictionaryObject::Find(const Variant& key)
{
    auto it = m_index.find(Normalise(key));
    return it == m_index.end() ? m_entries.end() : it->second;
}

// An entry's own bytes: its list and index nodes and its key's folded text
// (the key and item Variants count by themselves).
size_t DictionaryObject::EntryBytes(const Key& key)
{
    return sizeof(Entry) + sizeof(Key) + 64 + key.text.capacity() * sizeof(char16_t);
}

DictionaryObject::Entries::iterator DictionaryObject::Insert(const Variant& key, Variant value)
{
    Key normal = Normalise(key);
    m_charge.Grow(EntryBytes(normal));
    m_entries.push_back({key, std::move(value)});
    auto at = std::prev(m_entries.end());
    m_index.emplace(std::move(normal), at);
    return at;
}

void DictionaryObject::Remove(Entries::iterator at)
{
    Key normal = Normalise(at->key);
    m_charge.Resize(m_charge.Bytes() - EntryBytes(normal));
    m_index.erase(normal);
    m_entries.erase(at);
}

Variant DictionaryObject::Invoke(std::string_view name, InvokeKind kind, std::span<Variant> args)
{
    const bool assign = kind == InvokeKind::PropertyLet || kind == InvokeKind::PropertySet;
    if (name.empty() || name == "item") {
        if (assign) {
            RequireArgs(args, 2, 2);
            auto at = Find(args[0]);
            if (at == m_entries.end())
                Insert(args[0], args[1]);
            else
                at->value = args[1];
            return {};
        }
        RequireArgs(args, 1, 1);
        auto at = Find(args[0]);
        if (at == m_entries.end()) at = Insert(args[0], Variant());
        return at->value;
    }
    if (name == "key") {
        if (!assign) ThrowNoMember(name); // Key can only be assigned
        RequireArgs(args, 2, 2);
        auto at = Find(args[0]);
        if (at == m_entries.end()) ThrowNotFound();
        Key renamed = Normalise(args[1]);
        if (m_index.count(renamed)) throw ScriptError(err::kKeyAlreadyExists);
        Key old = Normalise(at->key);
        m_charge.Resize(m_charge.Bytes() - EntryBytes(old) + EntryBytes(renamed));
        m_index.erase(old);
        at->key = args[1];
        m_index.emplace(std::move(renamed), at);
        return {};
    }
    if (name == "comparemode") {
        if (assign) {
            int32_t mode = ArgLong(LetValue(args));
            if (mode < 0 || !m_entries.empty()) throw ScriptError(err::kInvalidProcedureCall);
            m_textCompare = mode != 0; // 1 text, 2 database: both ignore case
            return {};
        }
        RequireArgs(args, 0, 0);
        return static_cast<int32_t>(m_textCompare ? 1 : 0);
    }
    RequireGet(name, kind);
    if (name == "add") {
        RequireArgs(args, 2, 2);
        if (Find(args[0]) != m_entries.end())
            throw ScriptError(err::kKeyAlreadyExists);
        Insert(args[0], args[1]);
        return {};
    }
    if (name == "exists") {
        RequireArgs(args, 1, 1);
        return Find(args[0]) != m_entries.end();
    }
    if (name == "count") {
        RequireArgs(args, 0, 0);
        return static_cast<int32_t>(m_entries.size());
    }
    if (name == "keys" || name == "items") {
        RequireArgs(args, 0, 0);
        std::vector<Variant> list;
        list.reserve(m_entries.size());
        for (const auto& entry : m_entries) list.push_back(name == "keys" ? entry.key : entry.value);
        return Variant(SafeArray::FromVector(std::move(list)));
    }
    if (name == "remove") {
        RequireArgs(args, 1, 1);
        auto at = Find(args[0]);
        if (at == m_entries.end()) ThrowNotFound();
        Remove(at);
        return {};
    }
    if (name == "removeall") {
        RequireArgs(args, 0, 0);
        m_index.clear();
        m_entries.clear();
        m_charge.Release();
        return {};
    }
    ThrowNoMember(name);
}

std::vector<Variant> DictionaryObject::Enumerate()
{
    std::vector<Variant> keys;
    keys.reserve(m_entries.size());
    for (const auto& entry : m_entries) keys.push_back(entry.key);
    return keys;
}

} // namespace brindle::vbs
