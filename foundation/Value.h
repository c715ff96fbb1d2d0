#pragma once

#include "foundation/PlainObject.h"
#include "foundation/String.h"

#include <cstdint>
#include <memory>

// A tagged value: a type code and an owned holder of one payload. A Value is
// empty when its type is 0 or it has no holder (after clear(), or when the
// holder could not be allocated); an empty Value converts to false, 0, 0.0
// or the empty string. No conversion fails.
class Value {
public:
    enum Type : int {
        Empty = 0,
        Bool = 1,
        Int = 2,
        UInt = 3,
        Int64 = 4,
        UInt64 = 5,
        Float = 6,
        Double = 7,
        Text = 8,
    };

    Value() = default;
    Value(bool value);
    Value(std::int32_t value);
    Value(std::uint32_t value);
    Value(std::int64_t value);
    Value(std::uint64_t value);
    Value(float value);
    Value(double value);
    Value(const String& value);
    Value(const wchar_t* value);
    // A narrow text would otherwise become a bool.
    Value(const char*) = delete;
    Value(const Value& other);
    ~Value();

    // An empty source, or the value itself, leaves the target as it was.
    Value& operator=(const Value& other);

    void setBool(bool value);
    void setInt(std::int32_t value);
    void setUInt(std::uint32_t value);
    void setInt64(std::int64_t value);
    void setUInt64(std::uint64_t value);
    void setFloat(float value);
    void setDouble(double value);
    void setString(const String& value);

    bool isValid() const;
    bool isType(int code) const { return m_type == code; }
    int type() const { return m_type; }
    // Drops the payload; the type code stays, but the Value acts as empty.
    void clear();

    // The held text; the empty string unless this holds a text.
    String stringValue() const;

    bool toBool() const;
    // Floats and doubles are truncated toward zero; NaN gives 0 and values
    // out of range saturate. toUInt keeps the low 32 bits of the 64-bit result.
    std::int32_t toInt() const;
    std::uint32_t toUInt() const;
    std::int64_t toInt64() const;
    // A text reads with "." as the point in every locale (String::toDouble).
    float toFloat() const;
    double toDouble() const;
    // Floats and doubles with 9 decimals and "." as the point; bools as "1"/"0".
    String toString() const;

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }

private:
    template <typename Payload>
    void store(int type, const Payload& payload);
    template <typename Payload>
    const Payload& payload() const;

    std::int32_t m_type = Empty;
    std::unique_ptr<PlainObject> m_holder;
};
