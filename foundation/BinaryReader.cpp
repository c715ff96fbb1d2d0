#include "foundation/BinaryReader.h"

#include "foundation/ByteArray.h"
#include "foundation/LittleEndian.h"

#include <bit>
#include <climits>

std::int64_t BinaryReader::readBytes(void* data, std::int64_t count)
{
    if (!stream() || count < 0 || count > INT_MAX)
        return -1;
    return stream()->read(data, static_cast<int>(count));
}

ByteArray BinaryReader::readByteArray(int count)
{
    ByteArray result;
    if (!stream() || count <= 0 || static_cast<std::uint64_t>(count) > stream()->remaining())
        return result;
    result.resize(count);
    if (readBytes(result.data(), count) != count)
        result.freeBuffer();
    return result;
}

std::int64_t BinaryReader::readAll(void* buffer, std::int64_t chunkSize)
{
    if (!stream())
        return -1;
    return readWholeStream(*stream(), buffer, chunkSize);
}

std::uint64_t BinaryReader::readLittleEndian(int width)
{
    std::uint8_t bytes[8] = {};
    if (readBytes(bytes, width) != width)
        return 0;
    return loadLittleEndian(bytes, width);
}

std::int8_t BinaryReader::readInt8()
{
    return static_cast<std::int8_t>(readLittleEndian(1));
}

std::uint8_t BinaryReader::readUInt8()
{
    return static_cast<std::uint8_t>(readLittleEndian(1));
}

char BinaryReader::readChar()
{
    return static_cast<char>(readLittleEndian(1));
}

std::int16_t BinaryReader::readInt16()
{
    return static_cast<std::int16_t>(readLittleEndian(2));
}

std::uint16_t BinaryReader::readUInt16()
{
    return static_cast<std::uint16_t>(readLittleEndian(2));
}

wchar_t BinaryReader::readWChar()
{
    return static_cast<wchar_t>(readLittleEndian(2));
}

std::int32_t BinaryReader::readInt32()
{
    return static_cast<std::int32_t>(readLittleEndian(4));
}

std::uint32_t BinaryReader::readUInt32()
{
    return static_cast<std::uint32_t>(readLittleEndian(4));
}

float BinaryReader::readFloat()
{
    return std::bit_cast<float>(static_cast<std::uint32_t>(readLittleEndian(4)));
}

double BinaryReader::readDouble()
{
    return std::bit_cast<double>(readLittleEndian(8));
}

std::int64_t BinaryReader::readInt64()
{
    return static_cast<std::int64_t>(readLittleEndian(8));
}

std::uint64_t BinaryReader::readUInt64()
{
    return readLittleEndian(8);
}
