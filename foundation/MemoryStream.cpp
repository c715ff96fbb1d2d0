#include "foundation/MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace {

// The least a new block holds: a block per write of a few bytes would cost
// an allocation each.
constexpr std::size_t outputBlockSize = 1 << 20;

} // namespace

MemoryStream::MemoryStream(const void* data, std::uint64_t size, bool copy)
{
    m_isOpen = true;
    if (!data || size == 0)
        return;
    m_size = size;
    if (!copy) {
        m_data = static_cast<const std::uint8_t*>(data);
        return;
    }
    auto* own = new std::uint8_t[size];
    std::memcpy(own, data, size);
    m_data = own;
    m_ownsData = true;
}

MemoryStream::~MemoryStream()
{
    if (m_ownsData)
        delete[] m_data;
}

int MemoryStream::read(void* data, int count)
{
    if (count < 0 || m_position > m_size || static_cast<std::uint64_t>(count) > m_size - m_position)
        return -1;
    if (count == 0)
        return 0;
    if (!data)
        return -1;
    std::memcpy(data, m_data + m_position, static_cast<std::size_t>(count));
    m_position += static_cast<std::uint64_t>(count);
    return count;
}

int MemoryStream::readByte()
{
    std::uint8_t value = 0;
    return read(&value, 1) == 1 ? value : -1;
}

bool MemoryStream::seek(std::uint64_t position)
{
    m_position = position;
    return true;
}

bool MemoryStream::seekToBegin()
{
    m_position = 0;
    return true;
}

bool MemoryStream::seekToEnd()
{
    m_position = m_size ? m_size - 1 : 0;
    return true;
}

// A count that would wrap the position around is refused, so a huge skip
// never lands back on bytes already read.
bool MemoryStream::skip(std::uint64_t count)
{
    if (count > UINT64_MAX - m_position)
        return false;
    return seek(m_position + count);
}

const std::uint8_t* MemoryStream::currentData() const
{
    if (!m_data || m_position >= m_size)
        return nullptr;
    return m_data + m_position;
}

int MemoryOutputStream::write(const void* data, int count)
{
    if (count < 0 || (count > 0 && !data))
        return -1;
    const auto size = static_cast<std::size_t>(count);
    if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < size) {
        m_blocks.emplace_back();
        m_blocks.back().reserve(std::max(size, outputBlockSize));
    }
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    m_blocks.back().insert(m_blocks.back().end(), bytes, bytes + size);
    m_taken += size;
    return count;
}

bool MemoryOutputStream::writeTo(OutputStream& target, const std::function<void(int blocksWritten)>& written) const
{
    for (std::size_t i = 0; i < m_blocks.size(); ++i) {
        const int size = static_cast<int>(m_blocks[i].size());
        if (target.write(m_blocks[i].data(), size) != size)
            return false;
        written(static_cast<int>(i + 1));
    }
    return true;
}
