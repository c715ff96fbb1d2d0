#pragma once

#include "foundation/Stream.h"
#include "foundation/String.h"

#include <cstdint>
#include <functional>

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

// Passes every write on to the target stream, when there is one, and keeps
// the checksum of the bytes that reached it.
class Crc32Stream : public AppendingOutputStream {
public:
    explicit Crc32Stream(OutputStream* target = nullptr);

    int write(const void* data, int count) override;

    ContentChecksum checksum() const { return {m_taken, m_crc.value()}; }

private:
    OutputStream* m_target;
    Crc32Builder m_crc;
};

// Reads through the source stream and keeps the checksum of the bytes read,
// in order from where the source stood: a reader of the whole source learns
// its checksum without reading it twice. Reads only go forward: every seek
// or skip is refused.
class Crc32InputStream : public InputStream {
public:
    explicit Crc32InputStream(InputStream& source);

    int read(void* data, int count) override;
    int readByte() override;
    std::uint64_t size() const override { return m_source.size(); }
    bool seek(std::uint64_t) override { return false; }
    std::uint64_t position() const override { return m_source.position(); }
    bool seekToBegin() override { return false; }
    bool seekToEnd() override { return false; }
    bool skip(std::uint64_t) override { return false; }

    // Reads what is left of the source, so that the checksum covers all of
    // it; false when a read fails.
    bool readToEnd();
    ContentChecksum checksum() const { return {m_size, m_crc.value()}; }

private:
    InputStream& m_source;
    Crc32Builder m_crc;
    std::uint64_t m_size = 0;
};

// The checksum of what write puts out, written nowhere: whether a save
// would change a file can be told without writing it.
ContentChecksum checksumOfWrite(const std::function<bool(OutputStream&)>& write);

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
