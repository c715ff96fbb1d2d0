#pragma once

#include "foundation/Crc32.h"
#include "foundation/Stream.h"

#include <functional>

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
