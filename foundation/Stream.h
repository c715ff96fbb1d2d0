#pragma once

#include <cstdint>

class StreamWriterBase;
class StreamReaderBase;

// Byte sinks and sources. A stream has at most one writer or reader
// attached at a time (its holder); the holder never owns the stream.

class OutputStream {
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

    bool isOpen() const { return m_isOpen; }
    bool hasHolder() const { return m_holder != nullptr; }
    // Stores the writer only when no writer holds the stream.
    bool setHolder(StreamWriterBase* writer);
    // Clears the slot when it is free or held by this writer.
    bool releaseHolder(StreamWriterBase* writer);

protected:
    bool m_isOpen = false;

private:
    StreamWriterBase* m_holder = nullptr;
};

class InputStream {
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

    bool isOpen() const { return m_isOpen; }
    bool hasHolder() const { return m_holder != nullptr; }
    bool setHolder(StreamReaderBase* reader);
    bool releaseHolder(StreamReaderBase* reader);

    // Bytes between the position and the end; 0 when the position is past it.
    std::uint64_t remaining() const;

protected:
    bool m_isOpen = false;

private:
    StreamReaderBase* m_holder = nullptr;
};

// Reads the whole stream from its start into buffer, which must hold
// size() bytes, in chunks of chunkSize bytes. The total, or -1 when the
// stream is empty, chunkSize is not positive or any read fails or comes
// up short.
std::int64_t readWholeStream(InputStream& stream, void* buffer, std::int64_t chunkSize);

// Attaching is an exclusivity protocol: a writer refuses a stream that is
// closed or already held. Reads and writes do not check it.
class StreamWriterBase {
public:
    explicit StreamWriterBase(OutputStream* stream) : m_stream(stream) {}
    virtual ~StreamWriterBase();
    StreamWriterBase(const StreamWriterBase&) = delete;
    StreamWriterBase& operator=(const StreamWriterBase&) = delete;

    virtual bool attach();
    virtual void detach();

    OutputStream* stream() const { return m_stream; }
    bool isAttached() const { return m_attached; }

private:
    OutputStream* m_stream;
    bool m_attached = false;
};

class StreamReaderBase {
public:
    explicit StreamReaderBase(InputStream* stream) : m_stream(stream) {}
    virtual ~StreamReaderBase();
    StreamReaderBase(const StreamReaderBase&) = delete;
    StreamReaderBase& operator=(const StreamReaderBase&) = delete;

    virtual bool attach();
    virtual void detach();

    InputStream* stream() const { return m_stream; }
    bool isAttached() const { return m_attached; }

private:
    InputStream* m_stream;
    bool m_attached = false;
};
