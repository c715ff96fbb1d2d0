#include "foundation/TextConversions.h"

#include "foundation/CharHelpers.h"

#include <windows.h>

unsigned codePageOf(int kind)
{
    switch (kind) {
    case CodePageAnsi:
        return CP_ACP;
    case CodePageLatin1:
        return 28591;
    case CodePageUtf8:
        return CP_UTF8;
    default:
        return 0xFFFFFFFF;
    }
}

static bool isKnownKind(int kind)
{
    return kind >= CodePageAnsi && kind <= CodePageUtf8;
}

bool decodeText(int kind, const char* bytes, int length, String& out)
{
    if (!bytes || bytes[0] == 0 || !isKnownKind(kind))
        return false;
    if (length != -1 && length < 1)
        return false;
    if (length == -1)
        length = strLength(bytes);
    const unsigned codePage = codePageOf(kind);
    out.clear();
    const int units = MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
    if (units < 1)
        return false;
    out.resize(units);
    const int converted = MultiByteToWideChar(codePage, 0, bytes, length, out.data(), units);
    if (converted != units) {
        out.clear();
        return false;
    }
    return true;
}

static char wideToSingleByte(unsigned codePage, wchar_t c)
{
    char bytes[8] = {};
    const int n = WideCharToMultiByte(codePage, 0, &c, 1, bytes, sizeof bytes, nullptr, nullptr);
    return n == 1 ? bytes[0] : 0;
}

static wchar_t singleByteToWide(unsigned codePage, char b)
{
    wchar_t units[4] = {};
    const int n = MultiByteToWideChar(codePage, 0, &b, 1, units, 4);
    return n == 1 ? units[0] : 0;
}

char charToAnsi(wchar_t c)
{
    return wideToSingleByte(CP_ACP, c);
}

char charToUtf8Byte(wchar_t c)
{
    return wideToSingleByte(CP_UTF8, c);
}

wchar_t ansiToChar(char b)
{
    return singleByteToWide(CP_ACP, b);
}

wchar_t utf8ByteToChar(char b)
{
    return singleByteToWide(CP_UTF8, b);
}

void byteToHex(std::uint8_t byte, wchar_t* out)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    out[0] = digits[byte >> 4];
    out[1] = digits[byte & 0x0F];
}

String bytesToHex(const std::uint8_t* bytes, int count, int style)
{
    String result;
    if (!bytes || count < 1)
        return result;
    const wchar_t* prefix = L"";
    const wchar_t* separator = L"";
    switch (style) {
    case HexColons:
        separator = L":";
        break;
    case HexCList:
        prefix = L"0x";
        separator = L",";
        break;
    case HexCListSpaced:
        prefix = L"0x";
        separator = L", ";
        break;
    case HexEscapes:
        prefix = L"\\x";
        break;
    default:
        break;
    }
    wchar_t pair[2];
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            result.append(separator);
        result.append(prefix);
        byteToHex(bytes[i], pair);
        result.append(pair, 2);
    }
    return result;
}

String bytesToHex(const std::uint8_t* bytes, int count)
{
    return bytesToHex(bytes, count, 0);
}

String ordinalSuffix(int n)
{
    // 111 and 112 take "th" like 11 and 12, not "st" and "nd".
    if (n % 100 >= 11 && n % 100 <= 19)
        return L"th";
    switch (n % 10) {
    case 1:
        return L"st";
    case 2:
        return L"nd";
    case 3:
        return L"rd";
    case 0:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
        return L"th";
    default:
        return {};
    }
}

static int romanValue(wchar_t c, int previous)
{
    switch (c) {
    case L'I':
        return 1;
    case L'V':
        return 5;
    case L'X':
        return 10;
    case L'L':
        return 50;
    case L'C':
        return 100;
    case L'D':
        return 500;
    case L'M':
        return 1000;
    default:
        return previous;
    }
}

String romanToNumberText(const String& roman)
{
    const String text = roman.toUpper();
    long long total = 0;
    int previous = 0;
    for (int i = 0; i < text.length(); ++i) {
        const int value = romanValue(text.at(i), previous);
        total += value <= previous ? value : value - 2 * previous;
        previous = value;
    }
    return String::number(total);
}

String xorDescramble(const wchar_t* text, std::uint8_t key)
{
    return xorDescramble(String(text), key);
}

// Every unit of the String, zero units included, so the length is kept.
String xorDescramble(const String& text, std::uint8_t key)
{
    String result(text);
    const std::uint16_t mask = static_cast<std::uint16_t>(key | (key << 8));
    for (int i = 0; i < result.length(); ++i)
        result.data()[i] = static_cast<wchar_t>(result.at(i) ^ mask);
    return result;
}
