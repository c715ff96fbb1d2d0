#include "graphics/BoundedFileStream.h"

#include "foundation/FileStream.h"

#include <algorithm>
#include <climits>

BoundedFileStream::BoundedFileStream(FileInputStream& file) : m_file(file), m_stream(*this) {}

std::uint64_t BoundedFileStream::size() const
{
    return m_file.size();
}

// The file's reads take an int count, so a long read goes in parts.
bool BoundedFileStream::readAt(std::uint64_t position, void* buffer, std::uint32_t count)
{
    if (!m_file.seek(position))
        return false;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (count > 0) {
        const int part = int(std::min<std::uint32_t>(count, INT_MAX));
        if (m_file.read(out, part) != part)
            return false;
        out += part;
        count -= std::uint32_t(part);
    }
    return true;
}
