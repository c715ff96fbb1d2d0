#pragma once

#include "foundation/String.h"

#include <cstdint>

// The standard CRC-32 of IEEE 802.3 (reflected polynomial 0xEDB88320,
// initial value 0xFFFFFFFF, final complement). Item path hashes, native
// window class names and the agent identifier are built from it.

// False, with value untouched, when data or value is null or the length is
// 0 or 0xFFFFFFFF.
bool crc32(const void* data, std::uint32_t length, std::uint32_t* value);
// Reads the whole file; false, with value untouched, when it cannot be
// opened or a read fails.
bool crc32OfFile(const String& path, std::uint32_t* value);

// A CRC-32 over pieces fed in order: the value Crc32 gives for their
// concatenation, so a text can be hashed without being copied whole.
class Crc32Builder {
public:
    void add(const void* data, std::uint32_t length);
    // 0 when nothing was added, as Crc32 gives for no data.
    std::uint32_t value() const { return m_added ? ~m_register : 0; }

private:
    std::uint32_t m_register = 0xFFFFFFFFu;
    bool m_added = false;
};

// The length and CRC-32 of a run of bytes: what tells two contents of one
// file apart where its identity cannot (a rewrite in place that keeps the
// size and time).
struct ContentChecksum {
    std::uint64_t size = 0;
    std::uint32_t crc = 0;

    bool operator==(const ContentChecksum&) const = default;
};

// A computed CRC-32; 0 when the computation failed.
class Crc32 {
public:
    Crc32(const void* data, std::uint32_t length);
    explicit Crc32(const String& filePath);
    ~Crc32() = default;

    std::uint32_t value() const { return m_value; }
    bool isNull() const { return m_value == 0; }
    // Lower-case hexadecimal without leading zeros.
    String toText() const;

private:
    std::uint32_t m_value = 0;
};
