#include "foundation/CharHelpers.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// Null sorts first and equals only null; 2 means "compare the texts".
int compareNulls(const void* a, const void* b)
{
    if (a && b)
        return 2;
    if (!a && !b)
        return 0;
    return a ? 1 : -1;
}

template <typename Map>
int compareWide(const wchar_t* a, const wchar_t* b, Map&& map)
{
    const int nulls = compareNulls(a, b);
    if (nulls != 2)
        return nulls;
    for (;; ++a, ++b) {
        const unsigned x = static_cast<unsigned short>(map(*a));
        const unsigned y = static_cast<unsigned short>(map(*b));
        if (x != y)
            return x < y ? -1 : 1;
        if (x == 0)
            return 0;
    }
}

template <typename Map>
int compareWideN(const wchar_t* a, const wchar_t* b, int n, Map&& map)
{
    const int nulls = compareNulls(a, b);
    if (nulls != 2)
        return nulls;
    for (int i = 0; i < n; ++i) {
        const int x = static_cast<unsigned short>(map(a[i]));
        const int y = static_cast<unsigned short>(map(b[i]));
        if (x != y || x == 0)
            return x - y;
    }
    return 0;
}

wchar_t same(wchar_t c)
{
    return c;
}

} // namespace

int wcsLength(const wchar_t* text)
{
    return text ? static_cast<int>(wcslen(text)) : 0;
}

int strLength(const char* text)
{
    return text ? static_cast<int>(strlen(text)) : 0;
}

int wcsByteLength(const wchar_t* text)
{
    return wcsLength(text) * 2;
}

bool isNonEmptyText(const wchar_t* text)
{
    return text && text[0] != 0;
}

bool isNonEmptyText8(const char* text)
{
    return text && text[0] != 0;
}

int wcsCompare(const wchar_t* a, const wchar_t* b)
{
    return compareWide(a, b, same);
}

int wcsCompareNoCase(const wchar_t* a, const wchar_t* b)
{
    return compareWide(a, b, toUpperChar);
}

int wcsnCompare(const wchar_t* a, const wchar_t* b, int n)
{
    if (n < 1)
        return 0;
    return compareWideN(a, b, n, same);
}

int wcsnCompareNoCase(const wchar_t* a, const wchar_t* b, int n)
{
    if (n < 1)
        return 0;
    return compareWideN(a, b, n, toUpperChar);
}

int strCompare(const char* a, const char* b)
{
    const int nulls = compareNulls(a, b);
    return nulls != 2 ? nulls : sign(strcmp(a, b));
}

int strCompareNoCase(const char* a, const char* b)
{
    const int nulls = compareNulls(a, b);
    return nulls != 2 ? nulls : sign(_stricmp(a, b));
}

const wchar_t* wcsFind(const wchar_t* text, const wchar_t* needle)
{
    if (!text || !needle)
        return nullptr;
    return wcsstr(text, needle);
}

const char* strFind(const char* text, const char* needle)
{
    if (!text || !needle)
        return nullptr;
    return strstr(text, needle);
}

int wcsIndexOf(const wchar_t* text, wchar_t c, bool caseSensitive)
{
    if (!isNonEmptyText(text) || c == 0)
        return -1;
    const wchar_t lower = caseSensitive ? c : toLowerChar(c);
    const wchar_t upper = caseSensitive ? c : toUpperChar(c);
    for (int i = 0; text[i]; ++i) {
        if (text[i] == lower || text[i] == upper)
            return i;
    }
    return -1;
}

bool wcsContains(const wchar_t* text, wchar_t c, bool caseSensitive)
{
    return wcsIndexOf(text, c, caseSensitive) >= 0;
}

int wcsCount(const wchar_t* text, wchar_t c, bool caseSensitive)
{
    int n = 0;
    for (int i = wcsIndexOf(text, c, caseSensitive); i >= 0;) {
        ++n;
        const int next = wcsIndexOf(text + i + 1, c, caseSensitive);
        i = next < 0 ? -1 : i + 1 + next;
    }
    return n;
}

int strIndexOf(const char* text, char c, bool caseSensitive)
{
    if (!isNonEmptyText8(text) || c == 0)
        return -1;
    const char lower = caseSensitive ? c : toLower8(c);
    const char upper = caseSensitive ? c : toUpper8(c);
    for (int i = 0; text[i]; ++i) {
        if (text[i] == lower || text[i] == upper)
            return i;
    }
    return -1;
}

bool strContains(const char* text, char c, bool caseSensitive)
{
    return strIndexOf(text, c, caseSensitive) >= 0;
}

wchar_t toLowerChar(wchar_t c)
{
    if (c == 0)
        return 0;
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

wchar_t toUpperChar(wchar_t c)
{
    if (c == 0)
        return 0;
    return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

void toLowerText(wchar_t* text)
{
    if (text)
        CharLowerW(text);
}

void toUpperText(wchar_t* text)
{
    if (text)
        CharUpperW(text);
}

char toLower8(char c)
{
    return static_cast<char>(tolower(static_cast<unsigned char>(c)));
}

char toUpper8(char c)
{
    return static_cast<char>(toupper(static_cast<unsigned char>(c)));
}

void toLowerText8(char* text)
{
    if (text)
        _strlwr(text);
}

void toUpperText8(char* text)
{
    if (text)
        _strupr(text);
}

bool isSpaceChar(wchar_t c)
{
    return iswspace(c) != 0;
}

bool isDigitChar(wchar_t c)
{
    return iswdigit(c) != 0;
}

bool isAlphaChar(wchar_t c)
{
    return iswalpha(c) != 0;
}

bool isAlnumChar(wchar_t c)
{
    return iswalnum(c) != 0;
}

bool isPrintableChar(wchar_t c)
{
    return iswalnum(c) || iswpunct(c) || iswblank(c);
}

bool isLowerChar(wchar_t c)
{
    return iswalpha(c) && iswlower(c);
}

bool isUpperChar(wchar_t c)
{
    return iswalpha(c) && iswupper(c);
}

bool isAsciiLower(wchar_t c)
{
    return c >= L'a' && c <= L'z';
}

bool isAsciiUpper(wchar_t c)
{
    return c >= L'A' && c <= L'Z';
}

bool isAsciiLetter(wchar_t c)
{
    return isAsciiLower(c) || isAsciiUpper(c);
}

bool isAsciiLetterOrDigit(wchar_t c)
{
    return isAsciiLetter(c) || isDigitChar(c);
}

int hexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

int characterCount(std::wstring_view text)
{
    int count = 0;
    for (std::size_t i = 0; i < text.size(); i += std::size_t(unitsOfCharacterAt(text, i)))
        ++count;
    return count;
}
