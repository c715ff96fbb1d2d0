#pragma once

#include "foundation/String.h"

#include <cstdint>

// Code-page kinds for conversions between String and 8-bit bytes.
enum CodePageKind : int { CodePageAnsi = 1, CodePageLatin1 = 2, CodePageUtf8 = 3 };

// The platform code page of a kind; 0xFFFFFFFF (no code page) for an unknown kind.
unsigned codePageOf(int kind);

// Decodes 8-bit text into out; length -1 reads up to the zero byte. On
// failure out is left untouched, or emptied once conversion has begun.
bool decodeText(int kind, const char* bytes, int length, String& out);
// One unit to exactly one byte (and back); 0 when that is not possible.
char charToAnsi(wchar_t c);
char charToUtf8Byte(wchar_t c);
wchar_t ansiToChar(char b);
wchar_t utf8ByteToChar(char b);

// Hex styles: 1 "01:ab", 2 "0x01,0xab", 3 "0x01, 0xab", 4 "\x01\xab",
// anything else "01ab".
enum HexStyle : int { HexColons = 1, HexCList = 2, HexCListSpaced = 3, HexEscapes = 4 };
void byteToHex(std::uint8_t byte, wchar_t* out);
String bytesToHex(const std::uint8_t* bytes, int count, int style);
String bytesToHex(const std::uint8_t* bytes, int count);

// English ordinal suffix ("st", "nd", "rd", "th").
String ordinalSuffix(int n);
// Decimal text of a Roman numeral.
String romanToNumberText(const String& roman);

// Returns the text with every byte of its UTF-16 data XORed with key.
String xorDescramble(const wchar_t* text, std::uint8_t key);
String xorDescramble(const String& text, std::uint8_t key);
