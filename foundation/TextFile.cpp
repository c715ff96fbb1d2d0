#include "foundation/TextFile.h"

#include "foundation/ByteArray.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"
#include "foundation/StringList.h"
#include "foundation/TextReader.h"
#include "foundation/TextWriter.h"

namespace {

// Files of this size or more do not fit a ByteArray.
constexpr std::uint64_t byteArrayFileLimit = 0x7FFFFFFF;

String readText(InputStream& stream, int encoding)
{
    TextReader reader(&stream, encoding);
    if (!reader.attach())
        return {};
    return reader.readAll(TextReader::defaultChunkSize);
}

} // namespace

bool isTextEncoding(int encoding)
{
    return encoding == TextAnsi || encoding == TextUtf8 || encoding == TextUtf16;
}

bool String::saveToFile(const String& path, int encoding, bool append) const
{
    FileOutputStream stream(path, append);
    TextWriter writer(&stream, encoding);
    if (!writer.attach())
        return false;
    // An empty text leaves the file without even a mark.
    return isEmpty() || writer.write(*this);
}

String String::fromFile(const String& path, int encoding)
{
    if (!fileExists(path))
        return {};
    FileInputStream stream(path);
    return readText(stream, encoding);
}

String String::fromBytes(const void* data, int size, int encoding)
{
    if (!data || size <= 0)
        return {};
    MemoryStream stream(data, static_cast<std::uint64_t>(size), false);
    return readText(stream, encoding);
}

StringList StringList::fromFile(const String& path, int encoding)
{
    if (!fileExists(path))
        return {};
    FileInputStream stream(path);
    TextReader reader(&stream, encoding);
    if (!reader.attach())
        return {};
    return reader.readLines(0);
}

void StringList::saveToFile(const String& path, int encoding) const
{
    FileOutputStream stream(path, false);
    TextWriter writer(&stream, encoding);
    if (!writer.attach())
        return;
    for (const String& line : *this)
        writer.writeLine(line);
}

bool ByteArray::fromFile(const String& path)
{
    clear();
    if (!fileExists(path) || FileSystem::fileSize(path) >= byteArrayFileLimit)
        return false;
    FileInputStream stream(path);
    const std::uint64_t size = stream.size();
    // The size is taken again from the open file, which may have changed.
    if (!stream.isOpen() || size == 0 || size >= byteArrayFileLimit)
        return false;
    const int count = static_cast<int>(size);
    resize(count);
    if (stream.read(data(), count) != count) {
        clear();
        return false;
    }
    return true;
}

bool ByteArray::saveToFile(const String& path) const
{
    FileOutputStream stream(path, false);
    if (!stream.isOpen() || isEmpty())
        return false;
    return stream.write(data(), size()) == size();
}

bool replaceFileWithText(const String& path, const String& text, int encoding)
{
    return writeFileAtomically(path, [&](FileOutputStream& stream) { return writeTextTo(stream, text, encoding); });
}

bool writeTextTo(OutputStream& stream, const String& text, int encoding)
{
    TextWriter writer(&stream, encoding);
    return writer.attach() && writer.write(text);
}
