#pragma once

#include "graphics/BoundedStream.h"

#include <cstddef>

// A BoundedStream over bytes the caller holds; they are not copied.
class BoundedMemoryStream : private StreamBytes {
public:
    BoundedMemoryStream(const void* bytes, std::size_t size);

    // Null when the stream could not be made.
    IStream* stream() const { return m_stream.stream(); }

private:
    std::uint64_t size() const override { return m_size; }
    bool readAt(std::uint64_t position, void* buffer, std::uint32_t count) override;

    const std::uint8_t* m_bytes;
    std::size_t m_size;
    // Last, so that it is cut off before the rest goes.
    BoundedStream m_stream;
};
