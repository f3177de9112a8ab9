#pragma once

#include "platform/Export.h"
#include "platform/script/ScriptMemory.h"
#include "platform/script/ScriptString.h"

#include <cstdint>
#include <memory>
#include <span>
#include <variant>
#include <vector>

namespace brindle::vbs {

class ScriptObject;
class SafeArray;
using ObjectPtr = std::shared_ptr<ScriptObject>;

// VarType numbers as the language reports them.
enum class VarType : uint16_t {
    Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5, Currency = 6,
    Date = 7, String = 8, Object = 9, Error = 10, Boolean = 11, Variant = 12, Byte = 17,
    Array = 8192,
};

// Currency: a 64-bit integer holding the value times 10,000.
struct Currency {
    int64_t scaled = 0;
    bool operator==(const Currency&) const = default;
};
// Date: days since 30 December 1899, the fraction being the time of day.
struct DateValue {
    double days = 0;
    bool operator==(const DateValue&) const = default;
};
// An error value (CVErr); scripts rarely see one, missing optional arguments do.
struct ErrorValue {
    int32_t code = 0;
    bool operator==(const ErrorValue&) const = default;
};

// One script value. Strings are shared and immutable, so copying a Variant is
// cheap whatever its length; arrays are copied with the Variant (the language
// assigns arrays by value), objects are shared references. Nothing is an
// Object Variant holding nullptr.
// A string's text counts against the running script's memory budget
// (ScriptMemory.h): making one beyond it throws 7.
class BRINDLEKIT_API Variant {
public:
    struct NullTag {};
    struct ArrayBox {
        std::unique_ptr<SafeArray> array;
        ArrayBox() = default;
        explicit ArrayBox(std::unique_ptr<SafeArray> a) : array(std::move(a)) {}
        ArrayBox(const ArrayBox& other);
        ArrayBox& operator=(const ArrayBox& other);
        ArrayBox(ArrayBox&&) noexcept = default;
        ArrayBox& operator=(ArrayBox&&) noexcept = default;
        ~ArrayBox();
    };
    using StringPtr = std::shared_ptr<const VbString>;
    using Storage = std::variant<std::monostate, NullTag, int16_t, int32_t, float, double, Currency,
                                 DateValue, StringPtr, ObjectPtr, ErrorValue, bool, uint8_t, ArrayBox>;

    Variant() = default; // Empty
    Variant(bool v) : m_value(v) {}
    Variant(int16_t v) : m_value(v) {}
    Variant(int32_t v) : m_value(v) {}
    Variant(float v) : m_value(v) {}
    Variant(double v) : m_value(v) {}
    Variant(uint8_t v) : m_value(v) {}
    Variant(Currency v) : m_value(v) {}
    Variant(DateValue v) : m_value(v) {}
    Variant(ErrorValue v) : m_value(v) {}
    Variant(VbString s);
    Variant(VbStringView s) : Variant(VbString(s)) {}
    Variant(const char16_t* s) : Variant(VbString(s)) {}
    Variant(ObjectPtr object) : m_value(std::move(object)) {}
    Variant(std::unique_ptr<SafeArray> array);
    Variant(const SafeArray& array);
    Variant(SafeArray&& array);

    static Variant Null() { Variant v; v.m_value = NullTag{}; return v; }
    static Variant Nothing() { return Variant(ObjectPtr()); }
    // A missing optional argument, as IsMissing-style checks see it.
    static Variant Missing() { return Variant(ErrorValue{static_cast<int32_t>(0x80020004)}); }

    VarType Type() const; // Array for arrays (the element type is always Variant)
    bool IsEmpty() const { return m_value.index() == 0; }
    bool IsNull() const { return std::holds_alternative<NullTag>(m_value); }
    bool IsString() const { return std::holds_alternative<StringPtr>(m_value); }
    bool IsObject() const { return std::holds_alternative<ObjectPtr>(m_value); } // Nothing too
    bool IsNothing() const { return IsObject() && !Object(); }
    bool IsArray() const { return std::holds_alternative<ArrayBox>(m_value); }
    bool IsBool() const { return std::holds_alternative<bool>(m_value); }
    bool IsMissing() const;
    // Integer, Long, Single, Double, Currency, Byte (not Boolean, Date or String).
    bool IsNumericType() const;

    // Raw accessors; the caller has checked the type.
    const VbString& Str() const { return *std::get<StringPtr>(m_value); }
    const ObjectPtr& Object() const { return std::get<ObjectPtr>(m_value); }
    SafeArray& Array() { return *std::get<ArrayBox>(m_value).array; }
    const SafeArray& Array() const { return *std::get<ArrayBox>(m_value).array; }
    const Storage& Value() const { return m_value; }
    Storage& Value() { return m_value; }

private:
    Storage m_value;
};

// A fixed-shape array of Variants: up to 60 dimensions, each with a lower and an
// upper bound (the language's own arrays have lower bound 0; an upper bound of
// -1 is an empty dimension). Elements are stored with the first index varying
// fastest, so ReDim Preserve of the last dimension keeps every element.
// Its slots count against the running script's memory budget: making,
// resizing or copying an array beyond it throws 7 before allocating.
class BRINDLEKIT_API SafeArray {
public:
    struct Bound { int32_t lower = 0; int32_t upper = -1; };

    SafeArray() = default; // no dimensions: what Array() with no arguments gives has one, upper -1
    explicit SafeArray(std::vector<Bound> bounds);
    // A one-dimensional array 0..items.size()-1.
    static SafeArray FromVector(std::vector<Variant> items);

    int Dimensions() const { return static_cast<int>(m_bounds.size()); }
    // dimension is 1-based as LBound/UBound take it; throws 9 when out of range.
    const Bound& BoundOf(int dimension) const;
    size_t Count() const { return m_items.size(); }
    // Element by indices (one per dimension); throws 9 (subscript out of range)
    // for a wrong count or an index outside its bounds.
    Variant& At(std::span<const int32_t> indices);
    const Variant& At(std::span<const int32_t> indices) const;
    // Elements in storage order (For Each visits them in this order).
    std::vector<Variant>& Items() { return m_items; }
    const std::vector<Variant>& Items() const { return m_items; }
    // ReDim: new bounds; with preserve only the last dimension's upper bound may
    // change (else throws 9) and elements are kept.
    void Redim(std::vector<Bound> bounds, bool preserve);
    // Fixed arrays (Dim a(3)) refuse ReDim with error 10.
    bool IsFixed() const { return m_fixed; }
    void SetFixed(bool fixed) { m_fixed = fixed; }
    // Erase: every element back to Empty (fixed) or no elements at all (dynamic).
    void Erase();

private:
    MemoryCharge m_charge; // first, so a copy is charged before its elements are copied
    std::vector<Bound> m_bounds;
    std::vector<Variant> m_items;
    bool m_fixed = false;
};

} // namespace brindle::vbs
