#include "foundation/String.h"

#include "foundation/CharHelpers.h"

#include <limits>

namespace {

struct ParsedNumber {
    bool negative = false;
    bool overflow = false; // the magnitude exceeds 64 bits
    std::uint64_t magnitude = 0;
};

// Leading whitespace, an optional sign, then decimal digits up to the first
// other character, as the C library's strtol family reads them.
ParsedNumber parseDecimal(const wchar_t* text)
{
    ParsedNumber n;
    if (!text)
        return n;
    while (*text && isSpaceChar(*text))
        ++text;
    if (*text == L'+' || *text == L'-')
        n.negative = *text++ == L'-';
    constexpr std::uint64_t limit = std::numeric_limits<std::uint64_t>::max();
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        const unsigned digit = static_cast<unsigned>(*text - L'0');
        if (n.magnitude > (limit - digit) / 10)
            n.overflow = true;
        else
            n.magnitude = n.magnitude * 10 + digit;
    }
    return n;
}

template <typename T>
T toSigned(const wchar_t* text)
{
    const ParsedNumber n = parseDecimal(text);
    constexpr std::uint64_t maxPositive = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
    if (n.negative) {
        if (n.overflow || n.magnitude > maxPositive + 1)
            return std::numeric_limits<T>::min();
        return static_cast<T>(-static_cast<std::int64_t>(n.magnitude - 1) - 1);
    }
    if (n.overflow || n.magnitude > maxPositive)
        return std::numeric_limits<T>::max();
    return static_cast<T>(n.magnitude);
}

// A leading minus negates modulo 2^bits; a magnitude out of range saturates.
template <typename T>
T toUnsigned(const wchar_t* text)
{
    const ParsedNumber n = parseDecimal(text);
    if (n.overflow || n.magnitude > std::numeric_limits<T>::max())
        return std::numeric_limits<T>::max();
    const T value = static_cast<T>(n.magnitude);
    return n.negative ? static_cast<T>(0 - value) : value;
}

String decimal(std::uint64_t magnitude, bool negative)
{
    wchar_t digits[24];
    int pos = 23;
    digits[pos] = 0;
    do {
        digits[--pos] = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (negative)
        digits[--pos] = L'-';
    return String(digits + pos);
}

String hex(std::uint64_t value)
{
    static const wchar_t hexDigits[] = L"0123456789abcdef";
    wchar_t digits[20];
    int pos = 19;
    digits[pos] = 0;
    do {
        digits[--pos] = hexDigits[value & 0xF];
        value >>= 4;
    } while (value);
    return String(digits + pos);
}

} // namespace

int String::toInt() const
{
    return toInt(constData());
}

int String::toInt(const wchar_t* text)
{
    return toSigned<int>(text);
}

std::uint32_t String::toUInt() const
{
    return toUInt(constData());
}

std::uint32_t String::toUInt(const wchar_t* text)
{
    return toUnsigned<std::uint32_t>(text);
}

std::int64_t String::toInt64() const
{
    return toInt64(constData());
}

std::int64_t String::toInt64(const wchar_t* text)
{
    return toSigned<std::int64_t>(text);
}

std::uint64_t String::toUInt64() const
{
    return toUnsigned<std::uint64_t>(constData());
}

bool String::toBool() const
{
    const String text = trimmed().toLower();
    return !text.isEmpty() && text != String(L"0") && text != String(L"false");
}

String String::number(int value)
{
    return number(static_cast<long long>(value));
}

String String::number(short value)
{
    return number(static_cast<long long>(value));
}

String String::number(unsigned int value)
{
    return decimal(value, false);
}

String String::number(unsigned short value)
{
    return decimal(value, false);
}

String String::number(long long value)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    return decimal(magnitude, negative);
}

String String::number(unsigned long long value)
{
    return decimal(value, false);
}

String String::fromBool(bool value, bool numeric)
{
    if (numeric)
        return value ? L"1" : L"0";
    return value ? L"true" : L"false";
}

String String::toHex(std::uint32_t value)
{
    return hex(value);
}

String String::toHex(std::uint16_t value)
{
    return hex(value);
}

String String::toHex(std::uint64_t value)
{
    return hex(value);
}
