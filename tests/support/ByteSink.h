#pragma once

// An output stream into memory that can refuse, as a full disk does.

#include "devkit/Bytes.h"

#include "foundation/Stream.h"

#include <algorithm>
#include <cstdint>

// An output stream that appends every write to a byte vector.
class ByteSink : public OutputStream {
public:
    ByteSink() { m_isOpen = true; }
    explicit ByteSink(const Bytes& initial) : bytes(initial) { m_isOpen = true; }

    // As a full disk: once room bytes are taken, a write takes what still
    // fits and says how much.
    int write(const void* data, int count) override
    {
        if (count < 0 || failWrites)
            return -1;
        const int taken = std::min<std::uint64_t>(count, room - std::min<std::uint64_t>(room, bytes.size()));
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + taken);
        return taken;
    }
    int writeByte(std::uint8_t value) override { return write(&value, 1); }
    std::uint64_t size() const override { return bytes.size(); }
    bool seek(std::uint64_t position) override { return position == bytes.size(); }
    std::uint64_t position() const override { return bytes.size(); }
    bool seekToBegin() override { return bytes.empty(); }
    bool seekToEnd() override { return true; }

    Bytes bytes;
    bool failWrites = false;
    std::uint64_t room = UINT64_MAX;
};
