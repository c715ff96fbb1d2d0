#pragma once

#include "foundation/String.h"

#include <cstdint>

// The program's owned byte buffer: data, length and capacity, no terminator.
// Growth is exact (reserve(n) allocates n bytes, never more), so writers of
// large buffers reserve their final size first. Every allocated byte starts
// zeroed. Copies are deep; clear() keeps the buffer.
class ByteArray {
public:
    ByteArray() = default;
    // An empty array with a zeroed buffer of size bytes.
    explicit ByteArray(int size);
    // A copy of size bytes; empty when size < 1 or data is null.
    ByteArray(const std::uint8_t* data, int size);
    ByteArray(const ByteArray& other);
    ByteArray(ByteArray&& other) noexcept;
    ~ByteArray();

    // An empty source empties the target and keeps its buffer.
    ByteArray& operator=(const ByteArray& other);
    ByteArray& operator=(ByteArray&& other) noexcept;
    // Length 0, then a copy of size bytes when size >= 1.
    void assign(const std::uint8_t* data, int size);
    void freeBuffer();

    int size() const { return m_length; }
    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_length == 0; }
    // Null when the length is 0.
    std::uint8_t* data() { return m_length ? m_data : nullptr; }
    const std::uint8_t* data() const { return m_length ? m_data : nullptr; }
    std::uint8_t at(int index) const { return m_data[index]; }
    std::uint8_t operator[](int index) const { return m_data[index]; }

    void reserve(int n);
    // Growing adds zero bytes; shrinking keeps the buffer and writes a zero
    // byte just past the new end.
    void resize(int n);
    void clear() { m_length = 0; }
    // Ignored when index is outside the bytes in use.
    void setAt(int index, std::uint8_t byte);
    int sizeWithoutTrailingZeros() const;
    // False when empty.
    bool isAllZero() const;

    void append(std::uint8_t byte);
    void append(const std::uint8_t* data, int size);
    void append(const ByteArray& other);
    // Appends other's bytes and empties other (its buffer kept).
    void takeFrom(ByteArray& other);
    void removeAt(int index);
    void removeFirst();
    void removeLast();
    bool removeOne(std::uint8_t byte);
    // Removes front bytes at the start and back bytes at the end; empty when
    // they cover the whole array.
    void removeEnds(int front, int back);
    void fill(std::uint8_t byte);
    // Count bytes from pos, clipped to the bytes in use.
    ByteArray mid(int pos, int count) const;
    ByteArray trimmedZeros() const;
    ByteArray reversed() const;

    // -1 when from >= size() or the byte is absent.
    int indexOf(std::uint8_t byte, int from = 0) const;
    int lastIndexOf(std::uint8_t byte) const;
    bool contains(std::uint8_t byte) const;
    int count(std::uint8_t byte) const;
    // First occurrence of the needle in the haystack; -1 when either length
    // is below 1 or there is none.
    static int indexOf(const std::uint8_t* haystack, int haystackLength,
                       const std::uint8_t* needle, int needleLength);
    // compareBytes of this array's data (null when empty) and other.
    int compare(const std::uint8_t* other, int n) const;

    // Two lower-case hex digits per byte.
    String toHex() const;
    // Pairs of hex digits, high digit first; any other character is skipped
    // and a last unpaired digit is dropped.
    static ByteArray fromHex(const String& text);
    // One line of base64 without line breaks; empty when empty or on failure.
    String toBase64() const;
    // Empty when the text is not valid base64.
    static ByteArray fromBase64(const String& text);

    // The LZRW1 container of this array's bytes (length word, then the block).
    ByteArray compressed() const;

    // The whole file, read in one go. False, with the array emptied, for a
    // missing or empty file, one of 2^31 - 1 bytes or more, or a short read.
    bool fromFile(const String& path);
    // Replaces the file with the bytes; false for an empty array (the file
    // is left empty) or a short write.
    bool saveToFile(const String& path) const;

private:
    void takeBuffer(ByteArray& other);

    std::uint8_t* m_data = nullptr;
    int m_length = 0;
    int m_capacity = 0;
};

// Same length and bytes.
bool operator==(const ByteArray& a, const ByteArray& b);
inline bool operator!=(const ByteArray& a, const ByteArray& b) { return !(a == b); }

// -1/0/1 over n bytes compared as unsigned values; the same pointer gives 0,
// a null a -1 and a null b 1.
int compareBytes(const std::uint8_t* a, const std::uint8_t* b, int n);

// Converts length wide characters (-1: up to the terminator) into the bytes of
// a code-page kind (1 ANSI, 2 Latin-1, 3 UTF-8). False with out untouched on
// bad arguments; false with out empty when the conversion fails.
bool encodeText(int kind, const wchar_t* text, int length, ByteArray& out);
