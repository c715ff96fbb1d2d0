#include "foundation/Base64.h"

#include "foundation/ScopedBuffer.h"

#include <windows.h>
#include <wincrypt.h>

#include <climits>

namespace {

constexpr DWORD kBase64Format = CRYPT_STRING_BASE64;
constexpr std::uint32_t kInvalidSize = 0xFFFFFFFFu;

bool isLineBreak(wchar_t c)
{
    return c == L'\r' || c == L'\n';
}

} // namespace

bool base64Encode(const std::uint8_t* data, std::uint32_t size, String& out)
{
    if (!data || size == 0 || size == kInvalidSize)
        return false;
    out.clear();
    DWORD count = 0;
    if (!CryptBinaryToStringW(data, size, kBase64Format, nullptr, &count) || count <= 1)
        return false;
    if (count >= static_cast<DWORD>(INT_MAX))
        return false;
    WideBuffer text(static_cast<int>(count) + 1);
    if (!CryptBinaryToStringW(data, size, kBase64Format, text.data(), &count))
        return false;
    // The platform breaks the text into lines; the program's base64 is one line.
    WideBuffer line(text.size());
    int length = 0;
    for (int i = 0; i < text.size() - 1 && text.data()[i]; ++i) {
        if (!isLineBreak(text.data()[i]))
            line.data()[length++] = text.data()[i];
    }
    if (length == 0)
        return false;
    out.assign(line.data(), length);
    return true;
}

bool base64Decode(const wchar_t* text, std::uint32_t length, ByteArray& out)
{
    if (!text || length == 0 || length == kInvalidSize)
        return false;
    out.clear();
    DWORD size = 0;
    if (!CryptStringToBinaryW(text, length, kBase64Format, nullptr, &size, nullptr, nullptr) || size < 1)
        return false;
    if (size > static_cast<DWORD>(INT_MAX))
        return false;
    ScopedBuffer bytes(static_cast<int>(size));
    ZeroMemory(bytes.data(), size);
    if (!CryptStringToBinaryW(text, length, kBase64Format, bytes.data(), &size, nullptr, nullptr))
        return false;
    if (size > static_cast<DWORD>(bytes.size()))
        return false;
    out.assign(bytes.data(), static_cast<int>(size));
    return true;
}

String base64EncodeToString(const std::uint8_t* data, std::uint32_t size)
{
    String text;
    if (!base64Encode(data, size, text))
        return String();
    return text;
}

ByteArray base64DecodeToBytes(const wchar_t* text, std::uint32_t length)
{
    ByteArray bytes;
    if (!base64Decode(text, length, bytes))
        return ByteArray();
    return bytes;
}
