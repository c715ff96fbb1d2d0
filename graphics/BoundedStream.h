#pragma once

#include <cstdint>

struct IStream;

// Where a BoundedStream's bytes come from; its owner holds them.
class StreamBytes {
public:
    virtual ~StreamBytes() = default;
    virtual std::uint64_t size() const = 0;
    // count bytes from position on, all inside size(), into buffer; false
    // when they could not be read.
    virtual bool readAt(std::uint64_t position, void* buffer, std::uint32_t count) = 0;
};

// A read-only COM stream over bytes its owner holds, for handing outside
// bytes to a platform decoder. Reads never reach outside the bytes, however
// far a seek went. When this object goes, every reference the decoder may
// still hold (and every clone) is cut off from the bytes and reads nothing:
// a decoder that keeps its stream after refusing the bytes then keeps
// neither them nor the file they came from.
class BoundedStream {
public:
    explicit BoundedStream(StreamBytes& bytes);
    ~BoundedStream();
    BoundedStream(const BoundedStream&) = delete;
    BoundedStream& operator=(const BoundedStream&) = delete;

    // Null when the stream could not be made.
    IStream* stream() const { return m_stream; }

private:
    IStream* m_stream = nullptr;
};
