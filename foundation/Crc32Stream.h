#pragma once

#include "foundation/Crc32.h"
#include "foundation/Stream.h"

#include <functional>

// Passes every write on to the target stream, when there is one, and keeps
// the checksum of the bytes that reached it. Writes only go forward: every
// seek but to the end is refused.
class Crc32Stream : public OutputStream {
public:
    explicit Crc32Stream(OutputStream* target = nullptr);

    int write(const void* data, int count) override;
    int writeByte(std::uint8_t value) override;
    std::uint64_t size() const override { return m_size; }
    bool seek(std::uint64_t) override { return false; }
    std::uint64_t position() const override { return m_size; }
    bool seekToBegin() override { return false; }
    bool seekToEnd() override { return true; }

    ContentChecksum checksum() const { return {m_size, m_crc.value()}; }

private:
    OutputStream* m_target;
    Crc32Builder m_crc;
    std::uint64_t m_size = 0;
};

// The checksum of what write puts out, written nowhere: whether a save
// would change a file can be told without writing it.
ContentChecksum checksumOfWrite(const std::function<bool(OutputStream&)>& write);
