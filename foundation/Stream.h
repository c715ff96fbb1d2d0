#pragma once

#include <cstdint>

// Byte sinks and sources. A stream has at most one writer or reader
// attached at a time (its holder); the holder never owns the stream.

// The holder slot and open flag that both kinds of stream carry.
class StreamSlot {
public:
    bool isOpen() const { return m_isOpen; }
    bool hasHolder() const { return m_holder != nullptr; }
    // Stores the holder only when no holder has the stream.
    bool setHolder(const void* holder);
    // Clears the slot when it is free or held by this holder.
    bool releaseHolder(const void* holder);

protected:
    bool m_isOpen = false;

private:
    const void* m_holder = nullptr;
};

class OutputStream : public StreamSlot {
public:
    OutputStream() = default;
    virtual ~OutputStream() = default;
    OutputStream(const OutputStream&) = delete;
    OutputStream& operator=(const OutputStream&) = delete;

    // Bytes written, -1 on failure.
    virtual int write(const void* data, int count) = 0;
    virtual int writeByte(std::uint8_t value) = 0;
    virtual std::uint64_t size() const = 0;
    virtual bool seek(std::uint64_t position) = 0;
    virtual std::uint64_t position() const = 0;
    virtual bool seekToBegin() = 0;
    virtual bool seekToEnd() = 0;
};

// An output stream that only appends: its size and position are the bytes
// it took, and every seek but to the end is refused.
class AppendingOutputStream : public OutputStream {
public:
    int writeByte(std::uint8_t value) override { return write(&value, 1); }
    std::uint64_t size() const override { return m_taken; }
    bool seek(std::uint64_t) override { return false; }
    std::uint64_t position() const override { return m_taken; }
    bool seekToBegin() override { return false; }
    bool seekToEnd() override { return true; }

protected:
    // What each write took is added here.
    std::uint64_t m_taken = 0;
};

class InputStream : public StreamSlot {
public:
    InputStream() = default;
    virtual ~InputStream() = default;
    InputStream(const InputStream&) = delete;
    InputStream& operator=(const InputStream&) = delete;

    // Bytes read, -1 on failure.
    virtual int read(void* data, int count) = 0;
    // The byte 0-255, or -1 when none could be read.
    virtual int readByte() = 0;
    virtual std::uint64_t size() const = 0;
    virtual bool seek(std::uint64_t position) = 0;
    virtual std::uint64_t position() const = 0;
    virtual bool seekToBegin() = 0;
    virtual bool seekToEnd() = 0;
    virtual bool skip(std::uint64_t count) = 0;

    // Bytes between the position and the end; 0 when the position is past it.
    std::uint64_t remaining() const;
};

// Reads the whole stream from its start into buffer, which must hold
// size() bytes, in chunks of chunkSize bytes. The total, or -1 when the
// stream is empty, chunkSize is not positive or any read fails or comes
// up short.
std::int64_t readWholeStream(InputStream& stream, void* buffer, std::int64_t chunkSize);

// Attaching is an exclusivity protocol: a writer or reader refuses a stream
// that is closed or already held. Reads and writes do not check it.
template <typename S>
class StreamAttachment {
public:
    explicit StreamAttachment(S* stream) : m_stream(stream) {}
    virtual ~StreamAttachment() { StreamAttachment::detach(); }
    StreamAttachment(const StreamAttachment&) = delete;
    StreamAttachment& operator=(const StreamAttachment&) = delete;

    virtual bool attach()
    {
        if (m_attached || !m_stream || !m_stream->isOpen())
            return false;
        if (!m_stream->setHolder(this))
            return false;
        m_attached = true;
        return true;
    }

    virtual void detach()
    {
        if (!m_stream || !m_attached)
            return;
        m_stream->releaseHolder(this);
        m_attached = false;
    }

    S* stream() const { return m_stream; }
    bool isAttached() const { return m_attached; }

private:
    S* m_stream;
    bool m_attached = false;
};

class StreamWriterBase : public StreamAttachment<OutputStream> {
public:
    using StreamAttachment::StreamAttachment;
};

class StreamReaderBase : public StreamAttachment<InputStream> {
public:
    using StreamAttachment::StreamAttachment;
};
