#include "foundation/TextReader.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The buffer ends in four zero bytes, which end the text in every encoding.
constexpr int terminatorBytes = 4;

bool startsWith(const std::vector<char>& bytes, std::uint64_t size, const char* mark, std::uint64_t markSize)
{
    return size >= markSize && std::memcmp(bytes.data(), mark, markSize) == 0;
}

String decodeUtf8(const std::vector<char>& bytes, std::uint64_t size)
{
    const int skip = startsWith(bytes, size, "\xEF\xBB\xBF", 3) ? 3 : 0;
    return String::fromUtf8(bytes.data() + skip, -1);
}

String decodeUtf16(const std::vector<char>& bytes, std::uint64_t size)
{
    if (size < 2)
        return {};
    const int skip = startsWith(bytes, size, "\xFF\xFE", 2) ? 2 : 0;
    // A last odd byte is half a unit, not a character.
    const std::uint64_t units = (size - skip) / 2;
    std::vector<wchar_t> text(units + 1, 0);
    std::memcpy(text.data(), bytes.data() + skip, units * 2);
    return String(text.data());
}

} // namespace

TextReader::TextReader(InputStream* stream, int encoding)
    : StreamReaderBase(stream), m_encoding(encoding), m_lineEnd(String::lineBreak())
{
}

bool TextReader::attach()
{
    if (!isTextEncoding(m_encoding))
        return false;
    return StreamReaderBase::attach();
}

String TextReader::readAll(int chunkSize)
{
    if (!stream() || !isTextEncoding(m_encoding))
        return {};
    stream()->seekToBegin();
    const std::uint64_t size = stream()->size();
    if (size == 0 || size > static_cast<std::uint64_t>(INT_MAX - terminatorBytes))
        return {};
    std::vector<char> bytes(size + terminatorBytes, 0);
    if (readWholeStream(*stream(), bytes.data(), chunkSize) != static_cast<std::int64_t>(size))
        return {};
    if (m_encoding == TextAnsi)
        return String::fromAnsi(bytes.data(), -1);
    if (m_encoding == TextUtf8)
        return decodeUtf8(bytes, size);
    return decodeUtf16(bytes, size);
}

StringList TextReader::readLines(int flags)
{
    return String::split(readAll(defaultChunkSize), m_lineEnd, flags);
}
