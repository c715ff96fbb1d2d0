#pragma once

#include "foundation/Stream.h"

#include <functional>
#include <vector>

// A read-only stream over a byte buffer. With copy the stream keeps its own
// copy; without, the caller keeps the buffer alive while the stream lives.
// A read never returns a partial count: it copies all count bytes or fails
// with -1, copying nothing.
class MemoryStream : public InputStream {
public:
    MemoryStream(const void* data, std::uint64_t size, bool copy);
    ~MemoryStream() override;

    int read(void* data, int count) override;
    int readByte() override;
    std::uint64_t size() const override { return m_size; }
    // Stored unchecked; a later read past the end fails.
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return m_position; }
    bool seekToBegin() override;
    // To the last byte (size - 1), unlike the file streams; 0 when empty.
    bool seekToEnd() override;
    bool skip(std::uint64_t count) override;

    // The byte at the position; null when there is none.
    const std::uint8_t* currentData() const;

private:
    const std::uint8_t* m_data = nullptr;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
    bool m_ownsData = false;
};

// A stream that keeps every byte written in memory, in blocks, so that a
// large body grows without being moved.
class MemoryOutputStream : public AppendingOutputStream {
public:
    MemoryOutputStream() { m_isOpen = true; }

    int write(const void* data, int count) override;

    // The bytes written, in order, a block at a time.
    const std::vector<std::vector<std::uint8_t>>& blocks() const { return m_blocks; }
    // Writes every block to the target in order, telling written how many
    // blocks are written after each; false as soon as a write comes up short
    // (a full disk), so that no cut copy passes for the whole.
    bool writeTo(OutputStream& target, const std::function<void(int blocksWritten)>& written) const;

private:
    std::vector<std::vector<std::uint8_t>> m_blocks;
};
