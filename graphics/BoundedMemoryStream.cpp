#include "graphics/BoundedMemoryStream.h"

#include <algorithm>
#include <cstring>

BoundedMemoryStream::BoundedMemoryStream(const void* bytes, std::size_t size)
    : BoundedMemoryStream(bytes, size, nullptr, 0)
{
}

// A block without bytes counts as empty.
BoundedMemoryStream::BoundedMemoryStream(const void* first, std::size_t firstSize, const void* second,
                                         std::size_t secondSize)
    : m_first(static_cast<const std::uint8_t*>(first)), m_firstSize(first ? firstSize : 0),
      m_second(static_cast<const std::uint8_t*>(second)), m_secondSize(second ? secondSize : 0), m_stream(*this)
{
}

bool BoundedMemoryStream::readAt(std::uint64_t position, void* buffer, std::uint32_t count)
{
    auto* out = static_cast<std::uint8_t*>(buffer);
    if (position < m_firstSize) {
        const auto taken = std::uint32_t(std::min<std::uint64_t>(count, m_firstSize - position));
        std::memcpy(out, m_first + position, taken);
        out += taken;
        position += taken;
        count -= taken;
    }
    if (count > 0)
        std::memcpy(out, m_second + (position - m_firstSize), count);
    return true;
}
