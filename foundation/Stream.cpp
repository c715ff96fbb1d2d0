#include "foundation/Stream.h"

#include <algorithm>

bool OutputStream::setHolder(StreamWriterBase* writer)
{
    if (m_holder)
        return false;
    m_holder = writer;
    return true;
}

bool OutputStream::releaseHolder(StreamWriterBase* writer)
{
    if (m_holder && m_holder != writer)
        return false;
    m_holder = nullptr;
    return true;
}

bool InputStream::setHolder(StreamReaderBase* reader)
{
    if (m_holder)
        return false;
    m_holder = reader;
    return true;
}

bool InputStream::releaseHolder(StreamReaderBase* reader)
{
    if (m_holder && m_holder != reader)
        return false;
    m_holder = nullptr;
    return true;
}

std::uint64_t InputStream::remaining() const
{
    std::uint64_t end = size();
    std::uint64_t now = position();
    return now < end ? end - now : 0;
}

std::int64_t readWholeStream(InputStream& stream, void* buffer, std::int64_t chunkSize)
{
    stream.seekToBegin();
    std::uint64_t size = stream.size();
    if (size == 0 || chunkSize <= 0 || !buffer)
        return -1;
    // Each read hands the stream an int count.
    const std::uint64_t chunk = std::min<std::uint64_t>({static_cast<std::uint64_t>(chunkSize), size, 0x7FFFFFFF});
    auto* cursor = static_cast<std::uint8_t*>(buffer);
    std::uint64_t total = 0;
    while (total < size) {
        const int want = static_cast<int>(std::min(chunk, size - total));
        const int got = stream.read(cursor + total, want);
        // A short read would leave the rest of the buffer unfilled.
        if (got != want)
            return -1;
        total += static_cast<std::uint64_t>(got);
    }
    return static_cast<std::int64_t>(total);
}

StreamWriterBase::~StreamWriterBase()
{
    StreamWriterBase::detach();
}

bool StreamWriterBase::attach()
{
    if (m_attached || !m_stream || !m_stream->isOpen())
        return false;
    if (!m_stream->setHolder(this))
        return false;
    m_attached = true;
    return true;
}

void StreamWriterBase::detach()
{
    if (!m_stream || !m_attached)
        return;
    m_stream->releaseHolder(this);
    m_attached = false;
}

StreamReaderBase::~StreamReaderBase()
{
    StreamReaderBase::detach();
}

bool StreamReaderBase::attach()
{
    if (m_attached || !m_stream || !m_stream->isOpen())
        return false;
    if (!m_stream->setHolder(this))
        return false;
    m_attached = true;
    return true;
}

void StreamReaderBase::detach()
{
    if (!m_stream || !m_attached)
        return;
    m_stream->releaseHolder(this);
    m_attached = false;
}
