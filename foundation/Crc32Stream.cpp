#include "foundation/Crc32Stream.h"

#include <algorithm>
#include <vector>

Crc32Stream::Crc32Stream(OutputStream* target) : m_target(target)
{
    m_isOpen = !target || target->isOpen();
}

int Crc32Stream::write(const void* data, int count)
{
    const int written = m_target ? m_target->write(data, count) : count;
    if (written > 0) {
        m_crc.add(data, static_cast<std::uint32_t>(written));
        m_taken += static_cast<std::uint64_t>(written);
    }
    return written;
}

Crc32InputStream::Crc32InputStream(InputStream& source) : m_source(source)
{
    m_isOpen = source.isOpen();
}

int Crc32InputStream::read(void* data, int count)
{
    const int got = m_source.read(data, count);
    if (got > 0) {
        m_crc.add(data, static_cast<std::uint32_t>(got));
        m_size += static_cast<std::uint64_t>(got);
    }
    return got;
}

int Crc32InputStream::readByte()
{
    std::uint8_t value = 0;
    return read(&value, 1) == 1 ? value : -1;
}

bool Crc32InputStream::readToEnd()
{
    std::vector<std::uint8_t> block(1 << 16);
    while (remaining() > 0) {
        const int wanted = static_cast<int>(std::min<std::uint64_t>(block.size(), remaining()));
        if (read(block.data(), wanted) != wanted)
            return false;
    }
    return true;
}

ContentChecksum checksumOfWrite(const std::function<bool(OutputStream&)>& write)
{
    Crc32Stream stream;
    write(stream);
    return stream.checksum();
}
