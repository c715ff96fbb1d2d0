#include "graphics/BoundedMemoryStream.h"

#include <cstring>

BoundedMemoryStream::BoundedMemoryStream(const void* bytes, std::size_t size)
    : m_bytes(static_cast<const std::uint8_t*>(bytes)), m_size(bytes ? size : 0), m_stream(*this)
{
}

bool BoundedMemoryStream::readAt(std::uint64_t position, void* buffer, std::uint32_t count)
{
    std::memcpy(buffer, m_bytes + position, count);
    return true;
}
