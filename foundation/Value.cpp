#include "foundation/Value.h"

#include <cmath>
#include <limits>
#include <new>

namespace {

// Holders of the payloads: a byte for bool, a 32-bit word for both 32-bit
// types, a 64-bit word for both 64-bit types, a float, a double.
template <typename T>
class ScalarHolder : public PlainObject {
public:
    explicit ScalarHolder(T payload) : value(payload) {}
    T value;
};

} // namespace

class StringHolder : public PlainObject {
public:
    explicit StringHolder(const String& payload) : value(payload) {}
    String value;
};

namespace {

template <typename T>
struct HolderOf {
    using Type = ScalarHolder<T>;
};

template <>
struct HolderOf<String> {
    using Type = StringHolder;
};

// Truncates toward zero; NaN gives 0 and values beyond the range saturate,
// where a plain cast would be undefined.
template <typename Int>
Int truncatedTo(double value)
{
    if (std::isnan(value))
        return 0;
    const double limit = std::ldexp(1.0, std::numeric_limits<Int>::digits);
    const double whole = std::trunc(value);
    if (whole >= limit)
        return std::numeric_limits<Int>::max();
    if (whole < -limit)
        return std::numeric_limits<Int>::min();
    return static_cast<Int>(whole);
}

std::int32_t lowWord(std::uint64_t value)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

} // namespace

Value::Value(bool value) { setBool(value); }
Value::Value(std::int32_t value) { setInt(value); }
Value::Value(std::uint32_t value) { setUInt(value); }
Value::Value(std::int64_t value) { setInt64(value); }
Value::Value(std::uint64_t value) { setUInt64(value); }
Value::Value(float value) { setFloat(value); }
Value::Value(double value) { setDouble(value); }
Value::Value(const String& value) { setString(value); }
Value::Value(const wchar_t* value) { setString(String(value)); }

Value::Value(const Value& other)
{
    *this = other;
}

Value::~Value() = default;

Value& Value::operator=(const Value& other)
{
    if (this == &other || !other.isValid())
        return *this;
    switch (other.m_type) {
    case Bool:
        store(Bool, other.payload<std::uint8_t>());
        break;
    case Int:
    case UInt:
        store(other.m_type, other.payload<std::uint32_t>());
        break;
    case Int64:
    case UInt64:
        store(other.m_type, other.payload<std::uint64_t>());
        break;
    case Float:
        store(Float, other.payload<float>());
        break;
    case Double:
        store(Double, other.payload<double>());
        break;
    case Text:
        store(Text, other.payload<String>());
        break;
    }
    return *this;
}

template <typename Payload>
void Value::store(int type, const Payload& payload)
{
    using Holder = typename HolderOf<Payload>::Type;
    if (m_type != type) {
        m_holder.reset();
        m_type = type;
    }
    if (m_holder) {
        static_cast<Holder*>(m_holder.get())->value = payload;
        return;
    }
    m_holder.reset(new (std::nothrow) Holder(payload));
}

template <typename Payload>
const Payload& Value::payload() const
{
    using Holder = typename HolderOf<Payload>::Type;
    return static_cast<const Holder*>(m_holder.get())->value;
}

void Value::setBool(bool value) { store(Bool, static_cast<std::uint8_t>(value ? 1 : 0)); }
void Value::setInt(std::int32_t value) { store(Int, static_cast<std::uint32_t>(value)); }
void Value::setUInt(std::uint32_t value) { store(UInt, value); }
void Value::setInt64(std::int64_t value) { store(Int64, static_cast<std::uint64_t>(value)); }
void Value::setUInt64(std::uint64_t value) { store(UInt64, value); }
void Value::setFloat(float value) { store(Float, value); }
void Value::setDouble(double value) { store(Double, value); }
void Value::setString(const String& value) { store(Text, value); }

bool Value::isValid() const
{
    return m_type >= Bool && m_type <= Text && m_holder;
}

void Value::clear()
{
    m_holder.reset();
}

String Value::stringValue() const
{
    if (m_type != Text || !m_holder)
        return String();
    return payload<String>();
}

bool Value::toBool() const
{
    if (!isValid())
        return false;
    switch (m_type) {
    case Bool:
        return payload<std::uint8_t>() != 0;
    case Int:
    case UInt:
        return payload<std::uint32_t>() != 0;
    case Int64:
    case UInt64:
        return payload<std::uint64_t>() != 0;
    case Float:
        return payload<float>() != 0.0f;
    case Double:
        return payload<double>() != 0.0;
    default:
        return payload<String>().toBool();
    }
}

std::int32_t Value::toInt() const
{
    if (!isValid())
        return 0;
    switch (m_type) {
    case Bool:
        return payload<std::uint8_t>() != 0 ? 1 : 0;
    case Int:
    case UInt:
        return static_cast<std::int32_t>(payload<std::uint32_t>());
    case Int64:
    case UInt64:
        return lowWord(payload<std::uint64_t>());
    case Float:
        return truncatedTo<std::int32_t>(payload<float>());
    case Double:
        return truncatedTo<std::int32_t>(payload<double>());
    default:
        return payload<String>().toInt();
    }
}

std::uint32_t Value::toUInt() const
{
    if (!isValid())
        return 0;
    switch (m_type) {
    case Float:
    case Double:
        return static_cast<std::uint32_t>(toInt64());
    case Text:
        return payload<String>().toUInt();
    default:
        return static_cast<std::uint32_t>(toInt());
    }
}

std::int64_t Value::toInt64() const
{
    if (!isValid())
        return 0;
    switch (m_type) {
    case Bool:
        return payload<std::uint8_t>() != 0 ? 1 : 0;
    case Int:
        return static_cast<std::int32_t>(payload<std::uint32_t>());
    case UInt:
        return payload<std::uint32_t>();
    case Int64:
    case UInt64:
        return static_cast<std::int64_t>(payload<std::uint64_t>());
    case Float:
        return truncatedTo<std::int64_t>(payload<float>());
    case Double:
        return truncatedTo<std::int64_t>(payload<double>());
    default:
        return payload<String>().toInt64();
    }
}

float Value::toFloat() const
{
    if (!isValid())
        return 0.0f;
    switch (m_type) {
    case Float:
        return payload<float>();
    case Text:
        return payload<String>().toFloat();
    default:
        return static_cast<float>(toDouble());
    }
}

double Value::toDouble() const
{
    if (!isValid())
        return 0.0;
    switch (m_type) {
    case Bool:
        return payload<std::uint8_t>() != 0 ? 1.0 : 0.0;
    case Int:
        return static_cast<std::int32_t>(payload<std::uint32_t>());
    case UInt:
        return payload<std::uint32_t>();
    case Int64:
        return static_cast<double>(static_cast<std::int64_t>(payload<std::uint64_t>()));
    case UInt64:
        return static_cast<double>(payload<std::uint64_t>());
    case Float:
        return payload<float>();
    case Double:
        return payload<double>();
    default:
        return payload<String>().toDouble();
    }
}

String Value::toString() const
{
    if (!isValid())
        return String();
    switch (m_type) {
    case Bool:
        return String::fromBool(payload<std::uint8_t>() != 0, true);
    case Int:
        return String::number(static_cast<int>(payload<std::uint32_t>()));
    case UInt:
        return String::number(static_cast<unsigned int>(payload<std::uint32_t>()));
    case Int64:
        return String::number(static_cast<long long>(payload<std::uint64_t>()));
    case UInt64:
        return String::number(static_cast<unsigned long long>(payload<std::uint64_t>()));
    case Float:
        return String::number(payload<float>(), 9);
    case Double:
        return String::number(payload<double>(), 9);
    default:
        return payload<String>();
    }
}

bool Value::operator==(const Value& other) const
{
    if (this == &other)
        return true;
    // Emptiness is checked first: a cleared Value keeps its type code but is
    // as empty as a default one.
    const bool empty = !isValid();
    const bool otherEmpty = !other.isValid();
    if (empty || otherEmpty)
        return empty && otherEmpty;
    if (m_type != other.m_type)
        return false;
    switch (m_type) {
    case Bool:
        return payload<std::uint8_t>() == other.payload<std::uint8_t>();
    case Int:
    case UInt:
        return payload<std::uint32_t>() == other.payload<std::uint32_t>();
    case Int64:
    case UInt64:
        return payload<std::uint64_t>() == other.payload<std::uint64_t>();
    case Float:
        return payload<float>() == other.payload<float>();
    case Double:
        return payload<double>() == other.payload<double>();
    default:
        return payload<String>() == other.payload<String>();
    }
}
