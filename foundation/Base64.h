#pragma once

#include "foundation/ByteArray.h"
#include "foundation/String.h"

#include <cstdint>

// Base64 through the platform's cryptography library. The text is always one
// line: the platform's line breaks are taken out, so it fits in query strings
// and XML attributes. Decoding accepts what the platform accepts, line breaks
// and surrounding whitespace included.

// False, out untouched, when data is null or size is 0 or 0xFFFFFFFF.
bool base64Encode(const std::uint8_t* data, std::uint32_t size, String& out);
// False, out untouched, when text is null or length is 0 or 0xFFFFFFFF;
// otherwise out is emptied first and filled on success.
bool base64Decode(const wchar_t* text, std::uint32_t length, ByteArray& out);
String base64EncodeToString(const std::uint8_t* data, std::uint32_t size);
ByteArray base64DecodeToBytes(const wchar_t* text, std::uint32_t length);
