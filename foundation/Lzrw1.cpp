#include "foundation/Lzrw1.h"

#include "foundation/ByteArray.h"

#include <array>
#include <climits>
#include <cstring>
#include <utility>

namespace {

constexpr int flagBytes = 4;
constexpr std::uint8_t flagCompressed = 0;
constexpr std::uint8_t flagStored = 1;
constexpr int maxItemLength = 16;
constexpr int itemsPerGroup = 16;
constexpr int maxOffset = 4095;
constexpr int hashSize = 4096;
constexpr int lengthBytes = 4;
// What the compressor may write beyond the source length.
constexpr int compressSlack = 255;

int hashIndex(const std::uint8_t* p)
{
    const std::uint32_t mixed = ((((static_cast<std::uint32_t>(p[0]) << 4) ^ p[1]) << 4) ^ p[2]);
    return static_cast<int>(((40543u * mixed) >> 4) & 0xFFF);
}

int storeUncompressed(const std::uint8_t* source, int length, std::uint8_t* destination)
{
    destination[0] = flagStored;
    std::memset(destination + 1, 0, flagBytes - 1);
    if (length > 0)
        std::memcpy(destination + flagBytes, source, static_cast<std::size_t>(length));
    return length + flagBytes;
}

// Writes the stream of items and control words.
class BlockWriter {
public:
    BlockWriter(const std::uint8_t* source, int length, std::uint8_t* destination)
        : m_source(source), m_length(length), m_out(destination)
    {
        // Every candidate position is checked, so the table may start anywhere.
        m_table.fill(0);
    }

    bool hasOverrun() const { return m_written > m_length; }
    int remaining() const { return m_length - m_position; }
    bool isDone() const { return m_position == m_length; }

    void writeItem()
    {
        if (remaining() < maxItemLength) {
            writeLiteral();
            return;
        }
        const int index = hashIndex(m_source + m_position);
        const int candidate = m_table[index];
        m_table[index] = m_position;
        const int offset = m_position - candidate;
        if (offset < 1 || offset > maxOffset || std::memcmp(m_source + candidate, m_source + m_position, 3) != 0) {
            writeLiteral();
            return;
        }
        int matchLength = 3;
        while (matchLength < maxItemLength && m_source[candidate + matchLength] == m_source[m_position + matchLength])
            ++matchLength;
        m_out[m_written++] = static_cast<std::uint8_t>(((offset & 0xF00) >> 4) + (matchLength - 1));
        m_out[m_written++] = static_cast<std::uint8_t>(offset & 0xFF);
        m_position += matchLength;
        addControlBit(true);
    }

    void closeGroupIfFull()
    {
        if (m_controlBits < itemsPerGroup)
            return;
        storeControl();
        m_controlPosition = m_written;
        m_written += 2;
        m_control = 0;
        m_controlBits = 0;
    }

    // The last control word, shifted so its first item sits at bit 0, and
    // dropped when no item follows it.
    int finish()
    {
        m_control >>= itemsPerGroup - m_controlBits;
        storeControl();
        if (m_controlPosition + 2 == m_written)
            m_written -= 2;
        return m_written;
    }

private:
    void writeLiteral()
    {
        m_out[m_written++] = m_source[m_position++];
        addControlBit(false);
    }

    void addControlBit(bool copy)
    {
        m_control = (m_control >> 1) | (copy ? 0x8000u : 0u);
        ++m_controlBits;
    }

    void storeControl()
    {
        m_out[m_controlPosition] = static_cast<std::uint8_t>(m_control & 0xFF);
        m_out[m_controlPosition + 1] = static_cast<std::uint8_t>((m_control >> 8) & 0xFF);
    }

    const std::uint8_t* m_source;
    int m_length;
    std::uint8_t* m_out;
    std::array<int, hashSize> m_table;
    int m_position = 0;
    int m_controlPosition = flagBytes;
    int m_written = flagBytes + 2;
    std::uint32_t m_control = 0;
    int m_controlBits = 0;
};

// Copy items and literals, each checked against both buffers.
class BlockReader {
public:
    BlockReader(const std::uint8_t* block, int blockLength, std::uint8_t* destination, int capacity)
        : m_block(block), m_end(blockLength), m_out(destination), m_capacity(capacity)
    {
    }

    int run()
    {
        while (m_in < m_end) {
            if (m_controlBits == 0 && !readControl())
                return -1;
            const bool ok = (m_control & 1) ? readCopy() : readLiteral();
            if (!ok)
                return -1;
            m_control >>= 1;
            --m_controlBits;
        }
        return m_written;
    }

private:
    // A control word must be followed by at least one item.
    bool readControl()
    {
        if (m_end - m_in < 3)
            return false;
        m_control = m_block[m_in] | (m_block[m_in + 1] << 8);
        m_in += 2;
        m_controlBits = itemsPerGroup;
        return true;
    }

    bool readLiteral()
    {
        if (m_written >= m_capacity)
            return false;
        m_out[m_written++] = m_block[m_in++];
        return true;
    }

    bool readCopy()
    {
        if (m_end - m_in < 2)
            return false;
        const int b0 = m_block[m_in];
        const int b1 = m_block[m_in + 1];
        m_in += 2;
        const int offset = ((b0 & 0xF0) << 4) | b1;
        const int count = (b0 & 0x0F) + 1;
        if (offset == 0 || offset > m_written || count > m_capacity - m_written)
            return false;
        // Byte by byte: an offset below the count repeats a pattern.
        for (int i = 0; i < count; ++i, ++m_written)
            m_out[m_written] = m_out[m_written - offset];
        return true;
    }

    const std::uint8_t* m_block;
    int m_end;
    std::uint8_t* m_out;
    int m_capacity;
    int m_in = flagBytes;
    int m_written = 0;
    std::uint32_t m_control = 0;
    int m_controlBits = 0;
};

// The most a block of this length can expand to: a two-byte copy item
// gives at most 16 bytes.
std::int64_t maxExpansion(int blockLength)
{
    return static_cast<std::int64_t>(blockLength - flagBytes) * (maxItemLength / 2);
}

void putU32(std::uint8_t* p, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t u32At(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

int lzrw1Compress(const std::uint8_t* source, int length, std::uint8_t* destination)
{
    if (length < 0 || !destination || (length > 0 && !source))
        return -1;
    destination[0] = flagCompressed;
    std::memset(destination + 1, 0, flagBytes - 1);
    BlockWriter writer(source, length, destination);
    while (true) {
        // Once the output has passed the input's length, storing is shorter.
        if (writer.hasOverrun())
            return storeUncompressed(source, length, destination);
        if (writer.isDone())
            break;
        const int items = writer.remaining() > itemsPerGroup * maxItemLength ? itemsPerGroup : 1;
        for (int i = 0; i < items; ++i)
            writer.writeItem();
        writer.closeGroupIfFull();
    }
    return writer.finish();
}

int lzrw1Decompress(const std::uint8_t* block, int blockLength, std::uint8_t* destination, int capacity)
{
    if (!block || blockLength < flagBytes || capacity < 0 || (capacity > 0 && !destination))
        return -1;
    if (block[0] == flagStored) {
        const int count = blockLength - flagBytes;
        if (count > capacity)
            return -1;
        if (count > 0)
            std::memcpy(destination, block + flagBytes, static_cast<std::size_t>(count));
        return count;
    }
    // Every flag but "stored" reads items, as the compressor's readers always
    // have; the reads stay within both buffers whatever the bytes say.
    return BlockReader(block, blockLength, destination, capacity).run();
}

bool compressToByteArray(const std::uint8_t* data, int length, ByteArray& out)
{
    if (length < 0 || length > INT_MAX - lengthBytes - compressSlack || (length > 0 && !data))
        return false;
    out.clear();
    out.resize(lengthBytes + length + compressSlack);
    std::uint8_t* buffer = out.data();
    const int blockLength = lzrw1Compress(data, length, buffer + lengthBytes);
    putU32(buffer, static_cast<std::uint32_t>(length));
    out.resize(lengthBytes + blockLength);
    return true;
}

bool decompressFromByteArray(const std::uint8_t* data, int size, ByteArray& out)
{
    out.clear();
    if (!data || size < lengthBytes + flagBytes)
        return false;
    const std::uint32_t length = u32At(data);
    const int blockLength = size - lengthBytes;
    if (length > INT_MAX || length > maxExpansion(blockLength))
        return false;
    ByteArray result;
    result.resize(static_cast<int>(length));
    const int produced = lzrw1Decompress(data + lengthBytes, blockLength, result.data(), static_cast<int>(length));
    if (produced != static_cast<int>(length))
        return false;
    out = std::move(result);
    return true;
}
