#include "foundation/ByteArray.h"
#include "foundation/CharHelpers.h"
#include "foundation/String.h"
#include "foundation/TextConversions.h"

#include <windows.h>

namespace {

bool isKnownKind(int kind)
{
    return kind == CodePageAnsi || kind == CodePageLatin1 || kind == CodePageUtf8;
}

ByteArray encodedAs(const String& text, int kind)
{
    ByteArray bytes;
    text.toEncoding(kind, bytes);
    return bytes;
}

String decodedFrom(int kind, const char* bytes, int length)
{
    String text;
    if (!decodeText(kind, bytes, length, text))
        return String();
    return text;
}

} // namespace

bool encodeText(int kind, const wchar_t* text, int length, ByteArray& out)
{
    if (!text || !isKnownKind(kind) || (length < 1 && length != -1))
        return false;
    if (length == -1)
        length = wcsLength(text);
    if (length < 1)
        return false;
    const UINT codePage = codePageOf(kind);
    out.clear();
    const int count = WideCharToMultiByte(codePage, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (count < 1)
        return false;
    out.resize(count);
    const int written = WideCharToMultiByte(codePage, 0, text, length,
                                            reinterpret_cast<char*>(out.data()), count, nullptr, nullptr);
    if (written != count) {
        out.clear();
        return false;
    }
    return true;
}

bool String::toEncoding(int kind, ByteArray& out) const
{
    if (isEmpty())
        return false;
    return encodeText(kind, constData(), length(), out);
}

ByteArray String::toAnsi() const
{
    return encodedAs(*this, CodePageAnsi);
}

ByteArray String::toLatin1() const
{
    return encodedAs(*this, CodePageLatin1);
}

ByteArray String::toUtf8() const
{
    return encodedAs(*this, CodePageUtf8);
}

String String::fromAnsi(const char* bytes, int length)
{
    return decodedFrom(CodePageAnsi, bytes, length);
}

String String::fromLatin1(const char* bytes, int length)
{
    return decodedFrom(CodePageLatin1, bytes, length);
}

String String::fromUtf8(const char* bytes, int length)
{
    return decodedFrom(CodePageUtf8, bytes, length);
}
