#include "platform/script/Variant.h"

#include "platform/script/ScriptError.h"
#include "platform/script/ScriptMemory.h"

namespace brindle::vbs {

namespace {

// A string Variant's text with its charge, in one allocation with the shared
// pointer's count.
struct ChargedString {
    explicit ChargedString(VbString&& s)
        : charge(sizeof(ChargedString) + 2 * sizeof(void*) + s.capacity() * sizeof(char16_t)), text(std::move(s))
    {
    }
    MemoryCharge charge;
    VbString text;
};

Variant::StringPtr Share(VbString&& s)
{
    auto holder = std::make_shared<const ChargedString>(std::move(s));
    const VbString* text = &holder->text;
    return Variant::StringPtr(std::move(holder), text);
}

// An array's slots (each element's own text or object is counted by itself).
size_t SlotBytes(size_t count) { return count * sizeof(Variant); }

} // namespace

Variant::ArrayBox::ArrayBox(const ArrayBox& other)
    : array(other.array ? std::make_unique<SafeArray>(*other.array) : nullptr)
{
}

Variant::ArrayBox& Variant::ArrayBox::operator=(const ArrayBox& other)
{
    if (this != &other) array = other.array ? std::make_unique<SafeArray>(*other.array) : nullptr;
    return *this;
}

Variant::ArrayBox::~ArrayBox() = default;

Variant::Variant(VbString s) : m_value(Share(std::move(s))) {}

Variant::Variant(std::unique_ptr<SafeArray> array) : m_value(ArrayBox(std::move(array))) {}

Variant::Variant(const SafeArray& array) : m_value(ArrayBox(std::make_unique<SafeArray>(array))) {}

Variant::Variant(SafeArray&& array) : m_value(ArrayBox(std::make_unique<SafeArray>(std::move(array)))) {}

VarType Variant::Type() const
{
    switch (m_value.index()) {
    case 0: return VarType::Empty;
    case 1: return VarType::Null;
    case 2: return VarType::Integer;
    case 3: return VarType::Long;
    case 4: return VarType::Single;
    case 5: return VarType::Double;
    case 6: return VarType::Currency;
    case 7: return VarType::Date;
    case 8: return VarType::String;
    case 9: return VarType::Object;
    case 10: return VarType::Error;
    case 11: return VarType::Boolean;
    case 12: return VarType::Byte;
    default: return VarType::Array;
    }
}

bool Variant::IsMissing() const
{
    auto* e = std::get_if<ErrorValue>(&m_value);
    return e && *e == std::get<ErrorValue>(Missing().m_value);
}

bool Variant::IsNumericType() const
{
    switch (Type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Byte: return true;
    default: return false;
    }
}

SafeArray::SafeArray(std::vector<Bound> bounds) { Redim(std::move(bounds), false); }

SafeArray SafeArray::FromVector(std::vector<Variant> items)
{
    SafeArray a;
    a.m_charge.Resize(SlotBytes(items.size()));
    a.m_bounds = {Bound{0, static_cast<int32_t>(items.size()) - 1}};
    a.m_items = std::move(items);
    return a;
}

const SafeArray::Bound& SafeArray::BoundOf(int dimension) const
{
    if (dimension < 1 || dimension > Dimensions()) throw ScriptError(err::kSubscriptOutOfRange);
    return m_bounds[dimension - 1];
}

const Variant& SafeArray::At(std::span<const int32_t> indices) const
{
    if (indices.size() != m_bounds.size()) throw ScriptError(err::kSubscriptOutOfRange);
    size_t offset = 0;
    size_t stride = 1;
    for (size_t d = 0; d < indices.size(); ++d) {
        const Bound& b = m_bounds[d];
        if (indices[d] < b.lower || indices[d] > b.upper) throw ScriptError(err::kSubscriptOutOfRange);
        offset += static_cast<size_t>(indices[d] - b.lower) * stride;
        stride *= static_cast<size_t>(b.upper - b.lower + 1);
    }
    return m_items[offset];
}

Variant& SafeArray::At(std::span<const int32_t> indices)
{
    return const_cast<Variant&>(static_cast<const SafeArray*>(this)->At(indices));
}

void SafeArray::Redim(std::vector<Bound> bounds, bool preserve)
{
    if (bounds.empty() || bounds.size() > 60) throw ScriptError(err::kSubscriptOutOfRange);
    size_t count = 1;
    for (const Bound& b : bounds) {
        if (b.upper < b.lower - 1) throw ScriptError(err::kSubscriptOutOfRange);
        count *= static_cast<size_t>(static_cast<int64_t>(b.upper) - b.lower + 1);
        if (count > (size_t(1) << 28)) throw ScriptError(err::kOutOfMemory);
    }
    if (preserve && !m_bounds.empty()) {
        if (bounds.size() != m_bounds.size()) throw ScriptError(err::kSubscriptOutOfRange);
        for (size_t d = 0; d + 1 < bounds.size(); ++d)
            if (bounds[d].lower != m_bounds[d].lower || bounds[d].upper != m_bounds[d].upper)
                throw ScriptError(err::kSubscriptOutOfRange);
    }
    // The new slots are charged before they are made; the old ones stay
    // counted until they go, as both exist for a moment.
    MemoryCharge charge(SlotBytes(count));
    if (preserve && !m_bounds.empty()) m_items.resize(count);
    else m_items.assign(count, Variant());
    m_charge = std::move(charge);
    m_bounds = std::move(bounds);
}

void SafeArray::Erase()
{
    if (m_fixed) {
        for (Variant& v : m_items) v = Variant();
    } else {
        m_bounds.clear();
        m_items = std::vector<Variant>();
        m_charge.Release();
    }
}

} // namespace brindle::vbs
