#pragma once

#include "foundation/Stream.h"

#include <cstdint>

class ByteArray;

// Writes fixed-width values to an output stream, least significant byte
// first; floats and doubles as their IEEE bit patterns. Each value goes to
// the stream in one call. The typed writes return true when every byte
// of the value was written.
class BinaryWriter : public StreamWriterBase {
public:
    explicit BinaryWriter(OutputStream* stream) : StreamWriterBase(stream) {}
    ~BinaryWriter() override = default;

    // The stream's write result; -1 for a count outside 0..2^31-1.
    int writeBytes(const void* data, std::int64_t count);
    // 0 for an empty array, else the stream's write result.
    int writeByteArray(const ByteArray& bytes);

    bool writeInt8(std::int8_t value);
    bool writeUInt8(std::uint8_t value);
    bool writeChar(char value);
    bool writeInt16(std::int16_t value);
    bool writeUInt16(std::uint16_t value);
    bool writeWChar(wchar_t value);
    bool writeInt32(std::int32_t value);
    bool writeUInt32(std::uint32_t value);
    bool writeFloat(float value);
    bool writeInt64(std::int64_t value);
    bool writeUInt64(std::uint64_t value);
    bool writeDouble(double value);

private:
    bool writeLittleEndian(std::uint64_t value, int width);
};
