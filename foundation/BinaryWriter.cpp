#include "foundation/BinaryWriter.h"

#include "foundation/ByteArray.h"
#include "foundation/LittleEndian.h"

#include <bit>
#include <climits>

int BinaryWriter::writeBytes(const void* data, std::int64_t count)
{
    if (!stream() || count < 0 || count > INT_MAX)
        return -1;
    return stream()->write(data, static_cast<int>(count));
}

int BinaryWriter::writeByteArray(const ByteArray& bytes)
{
    if (bytes.isEmpty())
        return 0;
    return writeBytes(bytes.data(), bytes.size());
}

bool BinaryWriter::writeLittleEndian(std::uint64_t value, int width)
{
    std::uint8_t bytes[8];
    storeLittleEndian(bytes, value, width);
    return writeBytes(bytes, width) == width;
}

bool BinaryWriter::writeInt8(std::int8_t value)
{
    return writeLittleEndian(static_cast<std::uint8_t>(value), 1);
}

bool BinaryWriter::writeUInt8(std::uint8_t value)
{
    return writeLittleEndian(value, 1);
}

bool BinaryWriter::writeChar(char value)
{
    return writeLittleEndian(static_cast<std::uint8_t>(value), 1);
}

bool BinaryWriter::writeInt16(std::int16_t value)
{
    return writeLittleEndian(static_cast<std::uint16_t>(value), 2);
}

bool BinaryWriter::writeUInt16(std::uint16_t value)
{
    return writeLittleEndian(value, 2);
}

bool BinaryWriter::writeWChar(wchar_t value)
{
    return writeLittleEndian(static_cast<std::uint16_t>(value), 2);
}

bool BinaryWriter::writeInt32(std::int32_t value)
{
    return writeLittleEndian(static_cast<std::uint32_t>(value), 4);
}

bool BinaryWriter::writeUInt32(std::uint32_t value)
{
    return writeLittleEndian(value, 4);
}

bool BinaryWriter::writeFloat(float value)
{
    return writeLittleEndian(std::bit_cast<std::uint32_t>(value), 4);
}

bool BinaryWriter::writeInt64(std::int64_t value)
{
    return writeLittleEndian(static_cast<std::uint64_t>(value), 8);
}

bool BinaryWriter::writeUInt64(std::uint64_t value)
{
    return writeLittleEndian(value, 8);
}

bool BinaryWriter::writeDouble(double value)
{
    return writeLittleEndian(std::bit_cast<std::uint64_t>(value), 8);
}
