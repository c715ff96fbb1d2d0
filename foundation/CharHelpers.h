#pragma once

// Character classes and routines over zero-terminated texts. A null text is
// allowed wherever a comparison takes one: it sorts before every text and
// equals only another null text.

#include <cstddef>
#include <string_view>

int wcsLength(const wchar_t* text);
int strLength(const char* text);
int wcsByteLength(const wchar_t* text);
bool isNonEmptyText(const wchar_t* text);
bool isNonEmptyText8(const char* text);

int wcsCompare(const wchar_t* a, const wchar_t* b);
int wcsCompareNoCase(const wchar_t* a, const wchar_t* b);
// Raw difference of the first differing units within n; 0 when n < 1.
int wcsnCompare(const wchar_t* a, const wchar_t* b, int n);
int wcsnCompareNoCase(const wchar_t* a, const wchar_t* b, int n);
int strCompare(const char* a, const char* b);
int strCompareNoCase(const char* a, const char* b);
const wchar_t* wcsFind(const wchar_t* text, const wchar_t* needle);
const char* strFind(const char* text, const char* needle);

// Ignoring case, a unit matches the lower- or upper-case form of c.
int wcsIndexOf(const wchar_t* text, wchar_t c, bool caseSensitive = true);
bool wcsContains(const wchar_t* text, wchar_t c, bool caseSensitive = true);
int wcsCount(const wchar_t* text, wchar_t c, bool caseSensitive = true);
int strIndexOf(const char* text, char c, bool caseSensitive = true);
bool strContains(const char* text, char c, bool caseSensitive = true);

wchar_t toLowerChar(wchar_t c);
wchar_t toUpperChar(wchar_t c);
void toLowerText(wchar_t* text);
void toUpperText(wchar_t* text);
char toLower8(char c);
char toUpper8(char c);
void toLowerText8(char* text);
void toUpperText8(char* text);

bool isSpaceChar(wchar_t c);
bool isDigitChar(wchar_t c);
bool isAlphaChar(wchar_t c);
bool isAlnumChar(wchar_t c);
bool isPrintableChar(wchar_t c);
bool isLowerChar(wchar_t c);
bool isUpperChar(wchar_t c);
bool isAsciiLetter(wchar_t c);
bool isAsciiLower(wchar_t c);
bool isAsciiUpper(wchar_t c);
bool isAsciiLetterOrDigit(wchar_t c);
// 0-15 for a hex digit, -1 otherwise.
int hexDigitValue(wchar_t c);
inline bool isZeroChar(wchar_t c) { return c == 0; }
inline bool isZeroChar8(char c) { return c == 0; }
inline int highByte(wchar_t c) { return c >> 8; }

// The UTF-16 halves of a character beyond the first plane.
constexpr bool isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }
constexpr bool isLowSurrogate(wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
constexpr bool isSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDFFF; }
// Whether the units at i and i + 1 are the two halves of one character; a
// half without its partner is no pair.
constexpr bool isSurrogatePairAt(std::wstring_view text, std::size_t i)
{
    return i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]);
}
// Whether a cut before unit i would part the two halves of a pair.
constexpr bool splitsSurrogatePair(std::wstring_view text, std::size_t i)
{
    return i > 0 && isSurrogatePairAt(text, i - 1);
}
// The units of the character that begins at i, and of the one that ends
// before i: 2 for a pair, else 1.
constexpr int unitsOfCharacterAt(std::wstring_view text, std::size_t i)
{
    return isSurrogatePairAt(text, i) ? 2 : 1;
}
constexpr int unitsOfCharacterBefore(std::wstring_view text, std::size_t i)
{
    return i > 1 && isSurrogatePairAt(text, i - 2) ? 2 : 1;
}
// The characters of a text, a pair counting once.
int characterCount(std::wstring_view text);
