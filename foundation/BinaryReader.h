#pragma once

#include "foundation/Stream.h"

#include <cstdint>

class ByteArray;

// Reads fixed-width little-endian values from an input stream. A typed
// read returns the value only when all its bytes were read, else 0.
class BinaryReader : public StreamReaderBase {
public:
    explicit BinaryReader(InputStream* stream) : StreamReaderBase(stream) {}
    ~BinaryReader() override = default;

    // The stream's read result; -1 for a count outside 0..2^31-1.
    std::int64_t readBytes(void* data, std::int64_t count);
    // Empty unless all count bytes were read. A count below 0 or above the
    // bytes that remain gives an empty array without allocating.
    ByteArray readByteArray(int count);
    // Reads the whole stream from its start into buffer, which must hold
    // it all; the byte count, or -1 when the stream is empty or any read
    // fails.
    std::int64_t readAll(void* buffer, std::int64_t chunkSize);

    std::int8_t readInt8();
    std::uint8_t readUInt8();
    char readChar();
    std::int16_t readInt16();
    std::uint16_t readUInt16();
    wchar_t readWChar();
    std::int32_t readInt32();
    std::uint32_t readUInt32();
    float readFloat();
    double readDouble();
    std::int64_t readInt64();
    std::uint64_t readUInt64();

private:
    std::uint64_t readLittleEndian(int width);
};
