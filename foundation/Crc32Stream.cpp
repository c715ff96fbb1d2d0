#include "foundation/Crc32Stream.h"

Crc32Stream::Crc32Stream(OutputStream* target) : m_target(target)
{
    m_isOpen = !target || target->isOpen();
}

int Crc32Stream::write(const void* data, int count)
{
    const int written = m_target ? m_target->write(data, count) : count;
    if (written > 0) {
        m_crc.add(data, static_cast<std::uint32_t>(written));
        m_size += static_cast<std::uint64_t>(written);
    }
    return written;
}

int Crc32Stream::writeByte(std::uint8_t value)
{
    return write(&value, 1);
}

ContentChecksum checksumOfWrite(const std::function<bool(OutputStream&)>& write)
{
    Crc32Stream stream;
    write(stream);
    return stream.checksum();
}
