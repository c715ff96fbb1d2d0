#pragma once

#include "foundation/Array.h"

#include <cstdint>
#include <string_view>

class ByteArray;
class StringList;

// The program's one text type: UTF-16 code units with an explicit length and
// capacity, always deep-copied. A case flag everywhere means true = exact,
// false = ignoring case. Split and join flags: 1 skips empty parts, 2 trims.
class String {
public:
    enum SplitFlags : int { SkipEmptyParts = 1, TrimParts = 2 };

    constexpr String() = default;
    String(const wchar_t* text);
    String(const wchar_t* text, int length);
    String(const String& other);
    String(String&& other) noexcept;
    String(wchar_t c, int count);
    // 8-bit text in the system ANSI code page; length -1 = zero-terminated.
    explicit String(const char* text, int length = -1);
    ~String();

    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const wchar_t* text);
    String& assign(const String& other);
    // Length -1 reads up to the terminator; a given length takes exactly
    // that many units, U+0000 included, as a copy does.
    String& assign(const wchar_t* text, int length = -1);

    String& append(const wchar_t* text, int length);
    String& append(const wchar_t* text);
    String& append(const String& other);
    String& append(wchar_t c);
    // Sign-extends the byte, so only ASCII bytes keep their meaning.
    String& append(char c);
    String& appendRepeated(wchar_t c, int count);
    String& prepend(wchar_t c, int count);
    String& operator+=(const String& other) { return append(other); }
    String& operator+=(const wchar_t* text) { return append(text); }
    String& operator+=(wchar_t c) { return append(c); }

    // Positions and counts reaching outside the text are clamped to it.
    void insert(int pos, wchar_t c);
    void insert(int pos, const String& text);
    void remove(int pos, int count);
    void removeAll(wchar_t c);
    void clear();
    void freeBuffer();
    void resize(int n);
    void reserve(int n);

    int length() const { return m_length; }
    int capacity() const { return m_capacity; }
    bool isEmpty() const { return m_length == 0; }
    // Null when the string is empty.
    const wchar_t* constData() const { return m_length ? m_data : nullptr; }
    // Never null: an empty string gives "", for platform calls.
    const wchar_t* c_str() const { return m_length ? m_data : L""; }
    // The units as a view, valid until the string changes.
    std::wstring_view view() const { return {c_str(), static_cast<std::size_t>(m_length)}; }
    // The writable buffer (capacity + 1 units), null before the first allocation.
    wchar_t* data() { return m_data; }
    // Outside the text a character reads as 0 and a pointer stays within the
    // text and its terminator, so a stray index never reads past the buffer.
    wchar_t at(int i) const { return isIndex(i) ? m_data[i] : 0; }
    wchar_t operator[](int i) const { return at(i); }
    wchar_t first() const { return at(0); }
    wchar_t last() const { return at(m_length - 1); }
    const wchar_t* charPointer(int i) const { return c_str() + (i < 0 ? 0 : i > m_length ? m_length : i); }
    int byteCount() const { return m_length * 2; }
    int byteCountWithTerminator() const { return m_length ? m_length * 2 + 2 : 0; }

    static bool equalsIgnoreCase(const String& a, const String& b);
    static bool equalsIgnoreCaseFromEnd(const String& a, const String& b);
    static bool equalsFromEnd(const String& a, const String& b);

    int indexOf(wchar_t c, int from = 0, bool caseSensitive = true) const;
    int lastIndexOf(wchar_t c, bool caseSensitive = true) const;
    bool contains(wchar_t c, bool caseSensitive = true) const;
    int count(wchar_t c, bool caseSensitive = true) const;
    bool startsWith(wchar_t c, bool caseSensitive = true) const;
    bool endsWith(wchar_t c, bool caseSensitive = true) const;

    // A match starts at or after from and fits inside the text.
    int indexOf(const String& needle, int from = 0, bool caseSensitive = true) const;
    bool contains(const String& needle, bool caseSensitive = true) const;
    int count(const String& needle, bool caseSensitive = true) const;
    Array<int> findAll(const String& needle, int from = 0, bool caseSensitive = true) const;
    bool startsWith(const String& prefix, bool caseSensitive = true) const;
    bool endsWith(const String& suffix, bool caseSensitive = true) const;
    bool isBlank() const;
    bool hasOuterWhitespace() const;

    String replace(const String& before, const String& after, bool caseSensitive = true) const;
    String replaceChar(wchar_t before, wchar_t after, bool caseSensitive = true) const;
    void replace(int pos, int count, const String& text);
    String replaceAll(const StringList& from, const StringList& to, bool caseSensitive = true) const;

    // A negative start counts from the end; count -1 means to the end.
    String mid(int start, int count = -1) const;
    String substringFrom(int start) const;
    String trimmed() const;
    String trimmedRight() const;
    String trimmed(const String& set) const;
    String trimmedLeft(const String& set) const;
    String toLower() const;
    String toUpper() const;
    // Writes the units [from, from + count) as toLower maps them to out,
    // which holds count units, so that a long text can be lowered a piece at
    // a time without a copy of it all. The range lies within the text.
    void lowerUnits(int from, int count, wchar_t* out) const;

    // Replaces the first "^", the placeholder of translatable messages.
    String arg(const String& value) const;
    // printf-style; "%s" takes a wide text as on Windows.
    static String format(const wchar_t* format, ...);
    std::uint64_t hash() const;
    std::uint32_t hash32() const;
    std::uint32_t hexToInt() const;
    std::uint64_t hexToInt64() const;

    static StringList split(const String& text, const String& separator, int flags = 0);
    static String join(const StringList& list, const String& separator, int flags = 0);

    // Numbers from text, by the C library's rules (saturating); 0 when none.
    int toInt() const;
    static int toInt(const wchar_t* text);
    std::uint32_t toUInt() const;
    static std::uint32_t toUInt(const wchar_t* text);
    std::int64_t toInt64() const;
    static std::int64_t toInt64(const wchar_t* text);
    std::uint64_t toUInt64() const;
    // False for "", "0" and "false" (trimmed, any case); true otherwise.
    bool toBool() const;

    static String number(int value);
    static String number(short value);
    static String number(long value) { return number(static_cast<int>(value)); }
    static String number(unsigned int value);
    static String number(unsigned short value);
    static String number(unsigned long value) { return number(static_cast<unsigned int>(value)); }
    static String number(long long value);
    static String number(unsigned long long value);
    static String fromBool(bool value, bool numeric = true);
    static String toHex(std::uint32_t value);
    static String toHex(std::uint16_t value);
    static String toHex(std::uint64_t value);

    // Floats and doubles in the form files store them, the same in every
    // locale: "." as the decimal point, no grouping (Locale.cpp). A text
    // that is no number reads as 0. Numbers typed by or shown to the user
    // go through Locale::toDouble instead.
    static String number(float value, int precision);
    static String number(double value, int precision);
    float toFloat() const;
    double toDouble() const;

    // Conversions to and from 8-bit bytes of a code-page kind
    // (StringEncoding.cpp). Empty or false on failure; no terminator added.
    bool toEncoding(int kind, ByteArray& out) const;
    ByteArray toAnsi() const;
    ByteArray toLatin1() const;
    ByteArray toUtf8() const;
    static String fromAnsi(const char* bytes, int length = -1);
    static String fromLatin1(const char* bytes, int length = -1);
    static String fromUtf8(const char* bytes, int length = -1);

    // Text files in encodings 1 ANSI, 3 UTF-8, 4 UTF-16LE (TextFile.cpp).
    bool saveToFile(const String& path, int encoding, bool append = false) const;
    static String fromFile(const String& path, int encoding);
    static String fromBytes(const void* data, int size, int encoding);

    // One process-wide empty string, never modified.
    static const String empty;
    // The shared "\r\n".
    static const String& lineBreak();

private:
    bool isIndex(int i) const { return static_cast<unsigned>(i) < static_cast<unsigned>(m_length); }
    void setLength(int n);

    wchar_t* m_data = nullptr;
    int m_length = 0;
    int m_capacity = 0;
};

bool operator==(const String& a, const String& b);
// An empty String is taken as a null text here: it equals only a null pointer.
bool operator==(const String& a, const wchar_t* b);
bool operator==(const wchar_t* a, const String& b);
inline bool operator!=(const String& a, const String& b) { return !(a == b); }
inline bool operator!=(const String& a, const wchar_t* b) { return !(a == b); }
inline bool operator!=(const wchar_t* a, const String& b) { return !(a == b); }

String operator+(const String& a, const String& b);
String operator+(const String& a, const wchar_t* b);
String operator+(const wchar_t* a, const String& b);
String operator+(const String& a, wchar_t c);
String operator+(wchar_t c, const String& b);

// Three-way (-1/0/1); case flag 1 exact, any other value ignoring case.
int compareStrings(const wchar_t* a, const wchar_t* b, int caseSensitive);
int compareStringsIgnoreCase(const wchar_t* a, const wchar_t* b);
// Ignores case and whatever precedes the first letter or digit of each name.
int compareNames(const wchar_t* a, const wchar_t* b);
// 1 when a is the later version, -1 earlier, 0 equal, -2 not a version text.
int compareVersions(const String& a, const String& b);
