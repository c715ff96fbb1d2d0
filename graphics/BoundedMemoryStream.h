#pragma once

#include "graphics/BoundedStream.h"

#include <cstddef>

// A BoundedStream over bytes the caller holds, in one block or in two read
// one after the other; they are not copied.
class BoundedMemoryStream : private StreamBytes {
public:
    BoundedMemoryStream(const void* bytes, std::size_t size);
    BoundedMemoryStream(const void* first, std::size_t firstSize, const void* second, std::size_t secondSize);

    // Null when the stream could not be made.
    IStream* stream() const { return m_stream.stream(); }

private:
    std::uint64_t size() const override { return m_firstSize + m_secondSize; }
    bool readAt(std::uint64_t position, void* buffer, std::uint32_t count) override;

    const std::uint8_t* m_first;
    std::size_t m_firstSize;
    const std::uint8_t* m_second;
    std::size_t m_secondSize;
    // Last, so that it is cut off before the rest goes.
    BoundedStream m_stream;
};
