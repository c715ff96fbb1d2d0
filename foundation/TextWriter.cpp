#include "foundation/TextWriter.h"

#include "foundation/ByteArray.h"

namespace {

const std::uint8_t utf8Mark[] = {0xEF, 0xBB, 0xBF};
const std::uint8_t utf16Mark[] = {0xFF, 0xFE};

} // namespace

TextWriter::TextWriter(OutputStream* stream, int encoding)
    : StreamWriterBase(stream), m_encoding(encoding), m_lineEnd(String::lineBreak())
{
}

bool TextWriter::attach()
{
    if (!isTextEncoding(m_encoding))
        return false;
    m_bomPending = true;
    return StreamWriterBase::attach();
}

bool TextWriter::writeBytes(const void* data, int count)
{
    if (!stream())
        return false;
    return stream()->write(data, count) == count;
}

bool TextWriter::writeMarkIfDue()
{
    if (!m_bomPending)
        return true;
    m_bomPending = false;
    // A mark belongs at the start of a file only, never where an append
    // begins.
    if (!stream() || stream()->size() != 0)
        return true;
    if (m_encoding == TextUtf8)
        return writeBytes(utf8Mark, sizeof(utf8Mark));
    if (m_encoding == TextUtf16)
        return writeBytes(utf16Mark, sizeof(utf16Mark));
    return true;
}

bool TextWriter::write(const String& text)
{
    if (!writeMarkIfDue())
        return false;
    if (text.isEmpty())
        return true;
    if (m_encoding == TextUtf16)
        return writeBytes(text.constData(), text.byteCount());
    if (m_encoding != TextAnsi && m_encoding != TextUtf8)
        return false;
    const ByteArray bytes = m_encoding == TextAnsi ? text.toAnsi() : text.toUtf8();
    const int size = bytes.sizeWithoutTrailingZeros();
    return size == 0 || writeBytes(bytes.data(), size);
}

bool TextWriter::write(const wchar_t* text)
{
    return write(String(text));
}

bool TextWriter::write(wchar_t c)
{
    return write(String(c, 1));
}

bool TextWriter::write(bool value)
{
    return write(String::fromBool(value));
}

bool TextWriter::write(float value)
{
    return write(String::number(value, 6));
}

bool TextWriter::write(double value)
{
    return write(String::number(value, 8));
}

bool TextWriter::write(std::int16_t value)
{
    return write(String::number(value));
}

bool TextWriter::write(std::uint16_t value)
{
    return write(String::number(value));
}

bool TextWriter::write(std::int32_t value)
{
    return write(String::number(value));
}

bool TextWriter::write(std::uint32_t value)
{
    return write(String::number(value));
}

bool TextWriter::write(std::int64_t value)
{
    return write(String::number(value));
}

bool TextWriter::write(std::uint64_t value)
{
    return write(String::number(value));
}
