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

StringList loadStringListFromFile(const String& path, int encoding)
{
    if (!fileExists(path))
        return {};
    FileInputStream stream(path);
    TextReader reader(&stream, encoding);
    if (!reader.attach())
        return {};
    return reader.readLines(0);
}

void saveStringListToFile(const StringList& list, const String& path, int encoding)
{
    FileOutputStream stream(path, false);
    TextWriter writer(&stream, encoding);
    if (!writer.attach())
        return;
    for (const String& line : list)
        writer.writeLine(line);
}

bool loadByteArrayFromFile(ByteArray& bytes, const String& path)
{
    bytes.clear();
    if (!fileExists(path) || FileSystem::fileSize(path) >= byteArrayFileLimit)
        return false;
    FileInputStream stream(path);
    const std::uint64_t size = stream.size();
    // The size is taken again from the open file, which may have changed.
    if (!stream.isOpen() || size == 0 || size >= byteArrayFileLimit)
        return false;
    const int count = static_cast<int>(size);
    bytes.resize(count);
    if (stream.read(bytes.data(), count) != count) {
        bytes.clear();
        return false;
    }
    return true;
}

bool saveByteArrayToFile(const ByteArray& bytes, const String& path)
{
    FileOutputStream stream(path, false);
    if (!stream.isOpen() || bytes.isEmpty())
        return false;
    return stream.write(bytes.data(), bytes.size()) == bytes.size();
}
