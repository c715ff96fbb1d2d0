#include "foundation/ByteArray.h"

#include "foundation/Base64.h"
#include "foundation/CharHelpers.h"
#include "foundation/Lzrw1.h"
#include "foundation/String.h"
#include "foundation/TextConversions.h"

#include <cstring>
#include <new>

namespace {

// A length past what an int32 can count fails like an allocation, before
// anything is written, instead of wrapping round to a small buffer.
int checkedLength(long long n)
{
    if (n > 0x7FFFFFFF)
        throw std::bad_alloc();
    return static_cast<int>(n);
}

} // namespace

ByteArray::ByteArray(int size)
{
    reserve(size);
}

ByteArray::ByteArray(const std::uint8_t* data, int size)
{
    assign(data, size);
}

ByteArray::ByteArray(const ByteArray& other)
{
    assign(other.m_data, other.m_length);
}

ByteArray::ByteArray(ByteArray&& other) noexcept
{
    takeBuffer(other);
}

ByteArray::~ByteArray()
{
    freeBuffer();
}

ByteArray& ByteArray::operator=(const ByteArray& other)
{
    if (this != &other)
        assign(other.m_data, other.m_length);
    return *this;
}

ByteArray& ByteArray::operator=(ByteArray&& other) noexcept
{
    if (this == &other)
        return *this;
    freeBuffer();
    takeBuffer(other);
    return *this;
}

void ByteArray::takeBuffer(ByteArray& other)
{
    m_data = other.m_data;
    m_length = other.m_length;
    m_capacity = other.m_capacity;
    other.m_data = nullptr;
    other.m_length = 0;
    other.m_capacity = 0;
}

void ByteArray::assign(const std::uint8_t* data, int size)
{
    if (size < 1 || !data) {
        m_length = 0;
        return;
    }
    // The source may lie inside this buffer; it fits then, so no reallocation.
    if (size > m_capacity) {
        m_length = 0;
        reserve(size);
    }
    std::memmove(m_data, data, static_cast<std::size_t>(size));
    m_length = size;
}

void ByteArray::freeBuffer()
{
    delete[] m_data;
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}

void ByteArray::reserve(int n)
{
    if (n <= m_capacity)
        return;
    auto* buffer = new std::uint8_t[static_cast<std::size_t>(n)]();
    if (m_length > 0)
        std::memcpy(buffer, m_data, static_cast<std::size_t>(m_length));
    delete[] m_data;
    m_data = buffer;
    m_capacity = n;
}

void ByteArray::resize(int n)
{
    if (n <= 0) {
        m_length = 0;
        return;
    }
    if (n < m_length) {
        m_length = n;
        m_data[n] = 0;
        return;
    }
    reserve(n);
    // Bytes left from an earlier, longer content must not reappear.
    std::memset(m_data + m_length, 0, static_cast<std::size_t>(n - m_length));
    m_length = n;
}

void ByteArray::setAt(int index, std::uint8_t byte)
{
    if (index >= 0 && index < m_length)
        m_data[index] = byte;
}

int ByteArray::sizeWithoutTrailingZeros() const
{
    int n = m_length;
    while (n > 0 && m_data[n - 1] == 0)
        --n;
    return n;
}

bool ByteArray::isAllZero() const
{
    return m_length > 0 && sizeWithoutTrailingZeros() == 0;
}

void ByteArray::append(std::uint8_t byte)
{
    reserve(checkedLength(static_cast<long long>(m_length) + 1));
    m_data[m_length++] = byte;
}

void ByteArray::append(const std::uint8_t* data, int size)
{
    if (size < 1 || !data)
        return;
    // Appending a part of this array: find it again after a reallocation.
    const bool inside = m_data && data >= m_data && data < m_data + m_capacity;
    const std::ptrdiff_t offset = inside ? data - m_data : 0;
    reserve(checkedLength(static_cast<long long>(m_length) + size));
    const std::uint8_t* source = inside ? m_data + offset : data;
    std::memmove(m_data + m_length, source, static_cast<std::size_t>(size));
    m_length += size;
}

void ByteArray::append(const ByteArray& other)
{
    append(other.m_data, other.m_length);
}

void ByteArray::takeFrom(ByteArray& other)
{
    if (&other == this || other.isEmpty())
        return;
    append(other);
    other.clear();
}

void ByteArray::removeAt(int index)
{
    if (index < 0 || index >= m_length)
        return;
    std::memmove(m_data + index, m_data + index + 1, static_cast<std::size_t>(m_length - index - 1));
    --m_length;
}

void ByteArray::removeFirst()
{
    removeAt(0);
}

void ByteArray::removeLast()
{
    if (m_length > 0)
        --m_length;
}

bool ByteArray::removeOne(std::uint8_t byte)
{
    const int index = indexOf(byte);
    if (index < 0)
        return false;
    removeAt(index);
    return true;
}

void ByteArray::removeEnds(int front, int back)
{
    if (front < 0 || back < 0)
        return;
    if (front >= m_length || back >= m_length || front + back >= m_length) {
        m_length = 0;
        return;
    }
    const int kept = m_length - front - back;
    if (front > 0)
        std::memmove(m_data, m_data + front, static_cast<std::size_t>(kept));
    m_length = kept;
}

void ByteArray::fill(std::uint8_t byte)
{
    if (m_length > 0)
        std::memset(m_data, byte, static_cast<std::size_t>(m_length));
}

ByteArray ByteArray::mid(int pos, int count) const
{
    if (pos < 0 || pos >= m_length || count < 1)
        return ByteArray();
    if (count > m_length - pos)
        count = m_length - pos;
    return ByteArray(m_data + pos, count);
}

ByteArray ByteArray::trimmedZeros() const
{
    const int end = sizeWithoutTrailingZeros();
    int start = 0;
    while (start < end && m_data[start] == 0)
        ++start;
    return ByteArray(m_data + start, end - start);
}

ByteArray ByteArray::reversed() const
{
    ByteArray copy(*this);
    for (int i = 0, j = m_length - 1; i < j; ++i, --j) {
        const std::uint8_t b = copy.m_data[i];
        copy.m_data[i] = copy.m_data[j];
        copy.m_data[j] = b;
    }
    return copy;
}

int ByteArray::indexOf(std::uint8_t byte, int from) const
{
    if (from < 0)
        from = 0;
    for (int i = from; i < m_length; ++i) {
        if (m_data[i] == byte)
            return i;
    }
    return -1;
}

int ByteArray::lastIndexOf(std::uint8_t byte) const
{
    for (int i = m_length - 1; i >= 0; --i) {
        if (m_data[i] == byte)
            return i;
    }
    return -1;
}

bool ByteArray::contains(std::uint8_t byte) const
{
    return indexOf(byte) >= 0;
}

int ByteArray::count(std::uint8_t byte) const
{
    int n = 0;
    for (int i = 0; i < m_length; ++i)
        n += m_data[i] == byte;
    return n;
}

int ByteArray::indexOf(const std::uint8_t* haystack, int haystackLength,
                       const std::uint8_t* needle, int needleLength)
{
    if (!haystack || !needle || haystackLength < 1 || needleLength < 1)
        return -1;
    for (int start = 0; start <= haystackLength - needleLength; ++start) {
        if (std::memcmp(haystack + start, needle, static_cast<std::size_t>(needleLength)) == 0)
            return start;
    }
    return -1;
}

int ByteArray::compare(const std::uint8_t* other, int n) const
{
    return compareBytes(data(), other, n);
}

String ByteArray::toHex() const
{
    if (m_length == 0)
        return String();
    return bytesToHex(m_data, m_length);
}

ByteArray ByteArray::fromHex(const String& text)
{
    ByteArray bytes;
    bytes.reserve(text.length() / 2);
    int high = -1;
    for (int i = 0; i < text.length(); ++i) {
        const int digit = hexDigitValue(text.at(i));
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
            continue;
        }
        bytes.append(static_cast<std::uint8_t>(high << 4 | digit));
        high = -1;
    }
    return bytes;
}

String ByteArray::toBase64() const
{
    return base64EncodeToString(data(), static_cast<std::uint32_t>(m_length));
}

ByteArray ByteArray::fromBase64(const String& text)
{
    return base64DecodeToBytes(text.constData(), static_cast<std::uint32_t>(text.length()));
}

bool operator==(const ByteArray& a, const ByteArray& b)
{
    return a.size() == b.size() && compareBytes(a.data(), b.data(), a.size()) == 0;
}

int compareBytes(const std::uint8_t* a, const std::uint8_t* b, int n)
{
    if (a == b)
        return 0;
    if (!a)
        return -1;
    if (!b)
        return 1;
    if (n < 1)
        return 0;
    const int result = std::memcmp(a, b, static_cast<std::size_t>(n));
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

ByteArray ByteArray::compressed() const
{
    ByteArray out;
    compressToByteArray(data(), size(), out);
    return out;
}
