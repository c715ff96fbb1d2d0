#include "foundation/String.h"

#include "foundation/CharHelpers.h"
#include "foundation/StringList.h"
#include "foundation/TextConversions.h"

#include <windows.h>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <new>
#include <string_view>
#include <vector>

constinit const String String::empty;

namespace {

constexpr long long maxGrowthStep = 524288;
// The longest text an int32 length with its terminator can describe.
constexpr long long maxLength = 0x7FFFFFFE;

// A length past the largest buffer fails like an allocation, before anything
// is written, instead of wrapping round to a small one.
int checkedLength(long long n)
{
    if (n > maxLength)
        throw std::bad_alloc();
    return static_cast<int>(n);
}

std::wstring_view viewOf(const String& s)
{
    return {s.c_str(), static_cast<std::size_t>(s.length())};
}

bool isWithin(const wchar_t* p, const wchar_t* begin, int units)
{
    return begin && p >= begin && p < begin + units;
}

// The platform's lower-case form of every unit mapped alone, built once.
const wchar_t* lowerUnitTable()
{
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> units(0x10000);
        for (std::size_t c = 0; c < units.size(); ++c) {
            units[c] = static_cast<wchar_t>(c);
            CharLowerBuffW(&units[c], 1);
        }
        return units;
    }();
    return table.data();
}

// A text read lower-cased unit by unit, each unit exactly as lowering the
// whole text (CharLowerBuffW, as String::toLower does) maps it: the platform
// maps a surrogate pair as one character and every other unit alone.
class LowerCaseView {
public:
    explicit LowerCaseView(std::wstring_view text) : m_text(text), m_table(lowerUnitTable()) {}

    wchar_t operator[](std::size_t i) const
    {
        const wchar_t c = m_text[i];
        if (isSurrogatePairAt(m_text, i))
            return lowerPair(c, m_text[i + 1])[0];
        if (i > 0 && isSurrogatePairAt(m_text, i - 1))
            return lowerPair(m_text[i - 1], c)[1];
        return m_table[c];
    }

private:
    static std::array<wchar_t, 2> lowerPair(wchar_t high, wchar_t low)
    {
        std::array<wchar_t, 2> pair{high, low};
        CharLowerBuffW(pair.data(), 2);
        return pair;
    }

    std::wstring_view m_text;
    const wchar_t* m_table;
};

// Finds a needle in a text, exactly or ignoring case. Ignoring case, only the
// needle is lowered whole; the text is lowered unit by unit as far as a search
// scans it, so a loop of searches over a long text stays linear.
class NeedleSearch {
public:
    NeedleSearch(const String& text, const String& needle, bool caseSensitive)
        : m_text(viewOf(text)),
          m_lowered(caseSensitive ? String() : needle.toLower()),
          m_needle(caseSensitive ? viewOf(needle) : viewOf(m_lowered)),
          m_caseSensitive(caseSensitive)
    {
    }

    std::size_t needleLength() const { return m_needle.size(); }

    // The first match that starts at or after from and fits in the text.
    std::size_t find(std::size_t from) const
    {
        if (m_caseSensitive)
            return m_text.find(m_needle, from);
        const LowerCaseView text(m_text);
        for (std::size_t start = from; start + m_needle.size() <= m_text.size(); ++start) {
            if (matchesAt(text, start))
                return start;
        }
        return std::wstring_view::npos;
    }

private:
    bool matchesAt(const LowerCaseView& text, std::size_t start) const
    {
        for (std::size_t i = 0; i < m_needle.size(); ++i) {
            if (text[start + i] != m_needle[i])
                return false;
        }
        return true;
    }

    std::wstring_view m_text;
    String m_lowered;
    std::wstring_view m_needle;
    bool m_caseSensitive;
};

// Start positions of the non-overlapping matches from `from` on.
Array<int> findMatches(const NeedleSearch& search, int from)
{
    Array<int> positions;
    std::size_t pos = from < 0 ? 0 : static_cast<std::size_t>(from);
    while ((pos = search.find(pos)) != std::wstring_view::npos) {
        positions.append(static_cast<int>(pos));
        pos += search.needleLength();
    }
    return positions;
}

bool charMatches(wchar_t unit, wchar_t lower, wchar_t upper)
{
    return unit == lower || unit == upper;
}

bool isInSet(wchar_t c, const String& set)
{
    return set.indexOf(c) != -1;
}

} // namespace

String::String(const wchar_t* text) : String(text, -1) {}

String::String(const wchar_t* text, int length)
{
    assign(text, length);
}

String::String(const String& other)
{
    assign(other);
}

String::String(String&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)),
      m_length(std::exchange(other.m_length, 0)),
      m_capacity(std::exchange(other.m_capacity, 0))
{
}

String::String(wchar_t c, int count)
{
    appendRepeated(c, count);
}

String::String(const char* text, int length)
{
    decodeText(CodePageAnsi, text, length, *this);
}

String::~String()
{
    freeBuffer();
}

String& String::operator=(const String& other)
{
    return assign(other);
}

String& String::operator=(String&& other) noexcept
{
    if (this == &other)
        return *this;
    freeBuffer();
    m_data = std::exchange(other.m_data, nullptr);
    m_length = std::exchange(other.m_length, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
    return *this;
}

String& String::operator=(const wchar_t* text)
{
    return assign(text, -1);
}

// Copies every unit: a text that starts with a zero unit is still a text here.
String& String::assign(const String& other)
{
    if (this == &other)
        return *this;
    if (other.isEmpty()) {
        clear();
        return *this;
    }
    reserve(other.m_length);
    wmemcpy(m_data, other.m_data, other.m_length);
    setLength(other.m_length);
    return *this;
}

String& String::assign(const wchar_t* text, int length)
{
    if (length == -1)
        length = wcsLength(text);
    if (!text || length < 1) {
        clear();
        return *this;
    }
    if (isWithin(text, m_data, m_capacity + 1)) {
        String copy(text, length);
        return assign(copy);
    }
    reserve(length);
    wmemcpy(m_data, text, length);
    setLength(length);
    return *this;
}

String& String::append(const wchar_t* text, int length)
{
    if (length == -1)
        length = wcsLength(text);
    if (!text || length < 1)
        return *this;
    if (isWithin(text, m_data, m_capacity + 1)) {
        String copy(text, length);
        return append(copy.m_data, length);
    }
    reserve(checkedLength(static_cast<long long>(m_length) + length));
    wmemcpy(m_data + m_length, text, length);
    setLength(m_length + length);
    return *this;
}

String& String::append(const wchar_t* text)
{
    return append(text, -1);
}

String& String::append(const String& other)
{
    if (other.isEmpty())
        return *this;
    return append(other.m_data, other.m_length);
}

String& String::append(wchar_t c)
{
    reserve(checkedLength(static_cast<long long>(m_length) + 1));
    m_data[m_length] = c;
    setLength(m_length + 1);
    return *this;
}

String& String::append(char c)
{
    return append(static_cast<wchar_t>(static_cast<signed char>(c)));
}

String& String::appendRepeated(wchar_t c, int count)
{
    if (count < 1)
        return *this;
    reserve(checkedLength(static_cast<long long>(m_length) + count));
    wmemset(m_data + m_length, c, count);
    setLength(m_length + count);
    return *this;
}

String& String::prepend(wchar_t c, int count)
{
    if (count < 1)
        return *this;
    insert(0, String(c, count));
    return *this;
}

void String::insert(int pos, wchar_t c)
{
    insert(pos, String(c, 1));
}

void String::insert(int pos, const String& text)
{
    if (text.isEmpty())
        return;
    if (pos >= m_length || isEmpty()) {
        append(text);
        return;
    }
    if (pos < 0)
        pos = 0;
    if (&text == this) {
        String copy(text);
        insert(pos, copy);
        return;
    }
    reserve(checkedLength(static_cast<long long>(m_length) + text.m_length));
    wmemmove(m_data + pos + text.m_length, m_data + pos, m_length - pos);
    wmemcpy(m_data + pos, text.m_data, text.m_length);
    setLength(m_length + text.m_length);
}

// A range reaching outside the text is clamped to it.
void String::remove(int pos, int count)
{
    if (count == m_length) {
        clear();
        return;
    }
    if (pos < 0)
        pos = 0;
    if (count < 1 || pos >= m_length)
        return;
    if (count > m_length - pos)
        count = m_length - pos;
    wmemmove(m_data + pos, m_data + pos + count, m_length - pos - count);
    setLength(m_length - count);
}

void String::removeAll(wchar_t c)
{
    if (indexOf(c) == -1)
        return;
    const int oldLength = m_length;
    wchar_t* fresh = new wchar_t[oldLength + 1];
    int n = 0;
    for (int i = 0; i < oldLength; ++i) {
        if (m_data[i] != c)
            fresh[n++] = m_data[i];
    }
    delete[] m_data;
    m_data = fresh;
    m_capacity = oldLength;
    setLength(n);
}

void String::clear()
{
    if (!m_data)
        return;
    setLength(0);
}

void String::freeBuffer()
{
    delete[] m_data;
    m_data = nullptr;
    m_length = 0;
    m_capacity = 0;
}

void String::resize(int n)
{
    if (n < 0)
        n = 0;
    if (n > m_length)
        reserve(n);
    if (m_data)
        setLength(n);
}

void String::reserve(int n)
{
    if (m_capacity >= n)
        return;
    checkedLength(n);
    long long wanted = n;
    if (m_capacity != 0)
        wanted = 2 * wanted < wanted + maxGrowthStep ? 2 * wanted : wanted + maxGrowthStep;
    const int newCapacity = wanted > 0x7FFFFFFE ? 0x7FFFFFFE : static_cast<int>(wanted);
    wchar_t* fresh = new wchar_t[static_cast<std::size_t>(newCapacity) + 1];
    if (m_data)
        wmemcpy(fresh, m_data, m_length + 1);
    else
        fresh[0] = 0;
    delete[] m_data;
    m_data = fresh;
    m_capacity = newCapacity;
}

void String::setLength(int n)
{
    m_length = n;
    m_data[n] = 0;
}

bool operator==(const String& a, const String& b)
{
    if (a.length() != b.length())
        return false;
    if (a.isEmpty())
        return true;
    if (a.first() != b.first() || a.last() != b.last())
        return false;
    return wmemcmp(a.constData(), b.constData(), a.length()) == 0;
}

bool operator==(const String& a, const wchar_t* b)
{
    return wcsCompare(a.constData(), b) == 0;
}

bool operator==(const wchar_t* a, const String& b)
{
    return b == a;
}

String operator+(const String& a, const String& b)
{
    String result;
    result.reserve(checkedLength(static_cast<long long>(a.length()) + b.length()));
    result.append(a);
    result.append(b);
    return result;
}

String operator+(const String& a, const wchar_t* b)
{
    String result(a);
    result.append(b);
    return result;
}

String operator+(const wchar_t* a, const String& b)
{
    String result(a);
    result.append(b);
    return result;
}

String operator+(const String& a, wchar_t c)
{
    String result(a);
    result.append(c);
    return result;
}

String operator+(wchar_t c, const String& b)
{
    String result(c, 1);
    result.append(b);
    return result;
}

int compareStrings(const wchar_t* a, const wchar_t* b, int caseSensitive)
{
    return caseSensitive == 1 ? wcsCompare(a, b) : wcsCompareNoCase(a, b);
}

int compareStringsIgnoreCase(const wchar_t* a, const wchar_t* b)
{
    return wcsCompareNoCase(a, b);
}

static const wchar_t* skipToFirstAlnum(const wchar_t* text)
{
    if (!text)
        return L"";
    while (*text && !isAlnumChar(*text))
        ++text;
    return text;
}

int compareNames(const wchar_t* a, const wchar_t* b)
{
    return wcsCompareNoCase(skipToFirstAlnum(a), skipToFirstAlnum(b));
}

template <typename Step>
static bool equalsByUnits(const String& a, const String& b, Step&& unitsEqual)
{
    if (a.length() != b.length())
        return false;
    if (a.isEmpty())
        return true;
    if (!unitsEqual(a.first(), b.first()) || !unitsEqual(a.last(), b.last()))
        return false;
    for (int i = a.length() - 1; i >= 0; --i) {
        if (!unitsEqual(a.at(i), b.at(i)))
            return false;
    }
    return true;
}

static bool sameIgnoringCase(wchar_t x, wchar_t y)
{
    return x == y || toLowerChar(x) == toLowerChar(y);
}

bool String::equalsIgnoreCase(const String& a, const String& b)
{
    return equalsByUnits(a, b, sameIgnoringCase);
}

bool String::equalsIgnoreCaseFromEnd(const String& a, const String& b)
{
    return equalsByUnits(a, b, sameIgnoringCase);
}

bool String::equalsFromEnd(const String& a, const String& b)
{
    return equalsByUnits(a, b, [](wchar_t x, wchar_t y) { return x == y; });
}

int String::indexOf(wchar_t c, int from, bool caseSensitive) const
{
    if (isEmpty() || c == 0)
        return -1;
    const wchar_t lower = caseSensitive ? c : toLowerChar(c);
    const wchar_t upper = caseSensitive ? c : toUpperChar(c);
    for (int i = from < 0 ? 0 : from; i < m_length; ++i) {
        if (charMatches(m_data[i], lower, upper))
            return i;
    }
    return -1;
}

int String::lastIndexOf(wchar_t c, bool caseSensitive) const
{
    if (isEmpty() || c == 0)
        return -1;
    const wchar_t lower = caseSensitive ? c : toLowerChar(c);
    const wchar_t upper = caseSensitive ? c : toUpperChar(c);
    for (int i = m_length - 1; i >= 0; --i) {
        if (charMatches(m_data[i], lower, upper))
            return i;
    }
    return -1;
}

bool String::contains(wchar_t c, bool caseSensitive) const
{
    return indexOf(c, 0, caseSensitive) != -1;
}

int String::count(wchar_t c, bool caseSensitive) const
{
    int n = 0;
    for (int i = indexOf(c, 0, caseSensitive); i != -1; i = indexOf(c, i + 1, caseSensitive))
        ++n;
    return n;
}

bool String::startsWith(wchar_t c, bool caseSensitive) const
{
    if (isEmpty())
        return false;
    return caseSensitive ? first() == c : toLowerChar(first()) == toLowerChar(c);
}

bool String::endsWith(wchar_t c, bool caseSensitive) const
{
    if (isEmpty())
        return false;
    return caseSensitive ? last() == c : toLowerChar(last()) == toLowerChar(c);
}

int String::indexOf(const String& needle, int from, bool caseSensitive) const
{
    if (isEmpty() || needle.isEmpty() || needle.length() > m_length)
        return -1;
    if (from < 0)
        from = 0;
    if (from > m_length - needle.length())
        return -1;
    const std::size_t pos = NeedleSearch(*this, needle, caseSensitive).find(static_cast<std::size_t>(from));
    return pos == std::wstring_view::npos ? -1 : static_cast<int>(pos);
}

bool String::contains(const String& needle, bool caseSensitive) const
{
    return indexOf(needle, 0, caseSensitive) != -1;
}

int String::count(const String& needle, bool caseSensitive) const
{
    return findAll(needle, 0, caseSensitive).count();
}

Array<int> String::findAll(const String& needle, int from, bool caseSensitive) const
{
    if (isEmpty() || needle.isEmpty() || needle.length() > m_length)
        return {};
    return findMatches(NeedleSearch(*this, needle, caseSensitive), from);
}

bool String::startsWith(const String& prefix, bool caseSensitive) const
{
    if (isEmpty() || prefix.isEmpty() || prefix.length() > m_length)
        return false;
    if (caseSensitive)
        return wmemcmp(m_data, prefix.m_data, prefix.m_length) == 0;
    for (int i = 0; i < prefix.m_length; ++i) {
        if (toUpperChar(m_data[i]) != toUpperChar(prefix.m_data[i]))
            return false;
    }
    return true;
}

bool String::endsWith(const String& suffix, bool caseSensitive) const
{
    if (isEmpty() || suffix.isEmpty() || suffix.length() > m_length)
        return false;
    const wchar_t* tail = m_data + (m_length - suffix.m_length);
    if (caseSensitive)
        return wmemcmp(tail, suffix.m_data, suffix.m_length) == 0;
    for (int i = 0; i < suffix.m_length; ++i) {
        if (toUpperChar(tail[i]) != toUpperChar(suffix.m_data[i]))
            return false;
    }
    return true;
}

bool String::isBlank() const
{
    if (isEmpty())
        return false;
    for (int i = 0; i < m_length; ++i) {
        if (!isSpaceChar(m_data[i]))
            return false;
    }
    return true;
}

bool String::hasOuterWhitespace() const
{
    return !isEmpty() && (isSpaceChar(first()) || isSpaceChar(last()));
}

String String::replace(const String& before, const String& after, bool caseSensitive) const
{
    const Array<int> positions = findAll(before, 0, caseSensitive);
    if (positions.isEmpty())
        return *this;
    const long long outLength =
        m_length + static_cast<long long>(positions.count()) * (after.m_length - before.m_length);
    if (outLength <= 0)
        return {};
    String result;
    result.reserve(checkedLength(outLength));
    int copied = 0;
    for (int pos : positions) {
        result.append(m_data + copied, pos - copied);
        result.append(after);
        copied = pos + before.m_length;
    }
    result.append(m_data + copied, m_length - copied);
    return result;
}

String String::replaceChar(wchar_t before, wchar_t after, bool caseSensitive) const
{
    String result(*this);
    const wchar_t lower = caseSensitive ? before : toLowerChar(before);
    const wchar_t upper = caseSensitive ? before : toUpperChar(before);
    for (int i = 0; i < result.m_length; ++i) {
        if (charMatches(result.m_data[i], lower, upper))
            result.m_data[i] = after;
    }
    return result;
}

void String::replace(int pos, int count, const String& text)
{
    if (isEmpty() || pos < 0 || pos >= m_length || count < 1)
        return;
    String result(m_data, pos);
    result.append(text);
    if (count < m_length - pos)
        result.append(m_data + pos + count, m_length - pos - count);
    *this = std::move(result);
}

String String::replaceAll(const StringList& from, const StringList& to, bool caseSensitive) const
{
    if (isEmpty())
        return {};
    String result(*this);
    auto* f = from.first();
    auto* t = to.first();
    for (; f && t; f = f->next, t = t->next)
        result = result.replace(f->value, t->value, caseSensitive);
    return result;
}

String String::mid(int start, int count) const
{
    if (isEmpty())
        return {};
    if (start < 0)
        start = start + m_length < 0 ? 0 : start + m_length;
    if (start == 0 && count == m_length)
        return *this;
    if (start >= m_length || (count < 1 && count != -1))
        return {};
    if (count == -1 || count > m_length - start)
        count = m_length - start;
    return String(m_data + start, count);
}

String String::substringFrom(int start) const
{
    // A count past the text means the same as the rest of it, without overflowing.
    const long long rest = static_cast<long long>(m_length) - start;
    return mid(start, rest > m_length ? m_length : static_cast<int>(rest));
}

String String::trimmed() const
{
    if (isEmpty())
        return {};
    int begin = 0;
    int end = m_length;
    while (begin < end && isSpaceChar(m_data[begin]))
        ++begin;
    while (end > begin && isSpaceChar(m_data[end - 1]))
        --end;
    return String(m_data + begin, end - begin);
}

String String::trimmedRight() const
{
    int end = m_length;
    while (end > 0 && isSpaceChar(m_data[end - 1]))
        --end;
    return String(m_data, end);
}

String String::trimmed(const String& set) const
{
    int begin = 0;
    int end = m_length;
    while (begin < end && isInSet(m_data[begin], set))
        ++begin;
    while (end > begin && isInSet(m_data[end - 1], set))
        --end;
    return String(m_data + begin, end - begin);
}

String String::trimmedLeft(const String& set) const
{
    int begin = 0;
    while (begin < m_length && isInSet(m_data[begin], set))
        ++begin;
    return String(m_data + begin, m_length - begin);
}

String String::toLower() const
{
    if (isEmpty())
        return {};
    String result(*this);
    CharLowerBuffW(result.m_data, result.m_length);
    return result;
}

void String::lowerUnits(int from, int count, wchar_t* out) const
{
    const LowerCaseView lowered(view());
    for (int i = 0; i < count; ++i)
        out[i] = lowered[static_cast<std::size_t>(from + i)];
}

String String::toUpper() const
{
    if (isEmpty())
        return {};
    String result(*this);
    CharUpperBuffW(result.m_data, result.m_length);
    return result;
}

String String::arg(const String& value) const
{
    const int pos = indexOf(L'^');
    if (pos == -1)
        return *this;
    String result(m_data, pos);
    result.append(value);
    result.append(m_data + pos + 1, m_length - pos - 1);
    return result;
}

String String::format(const wchar_t* format, ...)
{
    if (!format)
        return {};
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    // The runtime's own (Microsoft) printf, where %s takes a wide text.
    const int needed = _vscwprintf(format, measure);
    va_end(measure);
    String result;
    if (needed > 0) {
        result.reserve(needed);
        const int written = _vsnwprintf(result.m_data, static_cast<std::size_t>(needed) + 1, format, args);
        result.setLength(written == needed ? needed : 0);
    }
    va_end(args);
    return result;
}

std::uint64_t String::hash() const
{
    std::uint64_t h = 0;
    for (int i = 0; i < m_length && m_data[i]; ++i)
        h = h * 101 + m_data[i];
    return h;
}

std::uint32_t String::hash32() const
{
    std::uint32_t h = 0;
    for (int i = 0; i < m_length; ++i)
        h = h * 31 + m_data[i];
    return h;
}

std::uint32_t String::hexToInt() const
{
    return static_cast<std::uint32_t>(hexToInt64());
}

std::uint64_t String::hexToInt64() const
{
    std::uint64_t h = 0;
    for (int i = 0; i < m_length; ++i) {
        const int digit = hexDigitValue(m_data[i]);
        if (digit >= 0)
            h = h * 16 + static_cast<std::uint64_t>(digit);
    }
    return h;
}

static void appendPart(StringList& list, const String& part, int flags)
{
    String value = (flags & String::TrimParts) && part.hasOuterWhitespace() ? part.trimmed() : part;
    if (value.isEmpty() && (flags & String::SkipEmptyParts))
        return;
    list.append(value);
}

StringList String::split(const String& text, const String& separator, int flags)
{
    StringList parts;
    if (text.isEmpty() || separator.isEmpty())
        return parts;
    const Array<int> positions = text.findAll(separator, 0, true);
    if (positions.isEmpty()) {
        parts.append(text);
        return parts;
    }
    int start = 0;
    for (int pos : positions) {
        appendPart(parts, text.mid(start, pos - start), flags);
        start = pos + separator.length();
    }
    appendPart(parts, text.mid(start, text.length() - start), flags);
    return parts;
}

String String::join(const StringList& list, const String& separator, int flags)
{
    if (list.isEmpty())
        return {};
    if (list.count() == 1)
        return list.first()->value;
    String result;
    long long total = static_cast<long long>(separator.length()) * (list.count() - 1);
    for (const String& item : list)
        total += item.length();
    result.reserve(checkedLength(total));
    bool first = true;
    for (auto* node = list.first(); node; node = node->next) {
        const String& item = node->value;
        String value = (flags & TrimParts) && item.hasOuterWhitespace() ? item.trimmed() : item;
        if (flags & SkipEmptyParts) {
            if (value.isEmpty())
                continue;
            if (!first)
                result.append(separator);
            result.append(value);
            first = false;
            continue;
        }
        result.append(value);
        if (node->next)
            result.append(separator);
    }
    return result;
}

static bool isVersionText(const String& text)
{
    for (int i = 0; i < text.length(); ++i) {
        if (text.at(i) != L'.' && !(text.at(i) >= L'0' && text.at(i) <= L'9'))
            return false;
    }
    return true;
}

static Array<int> versionNumbers(const String& text)
{
    Array<int> numbers;
    for (const String& part : String::split(text, L"."))
        numbers.append(part.toInt());
    return numbers;
}

int compareVersions(const String& a, const String& b)
{
    const String left = a.trimmed();
    const String right = b.trimmed();
    if (left.isEmpty() || right.isEmpty())
        return -2;
    if (!isVersionText(left) || !isVersionText(right))
        return -2;
    if (left == right)
        return 0;
    Array<int> x = versionNumbers(left);
    Array<int> y = versionNumbers(right);
    while (x.count() < y.count())
        x.append(0);
    while (y.count() < x.count())
        y.append(0);
    for (int i = 0; i < x.count(); ++i) {
        if (x[i] != y[i])
            return x[i] > y[i] ? 1 : -1;
    }
    return 0;
}

const String& String::lineBreak()
{
    static const String text(L"\r\n");
    return text;
}
