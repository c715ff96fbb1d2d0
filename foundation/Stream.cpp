#include "foundation/Stream.h"

#include <algorithm>

bool StreamSlot::setHolder(const void* holder)
{
    if (m_holder)
        return false;
    m_holder = holder;
    return true;
}

bool StreamSlot::releaseHolder(const void* holder)
{
    if (m_holder && m_holder != holder)
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
