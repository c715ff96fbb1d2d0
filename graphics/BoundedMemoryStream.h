#pragma once

#include <cstddef>

struct IStream;

// A read-only COM stream over bytes the caller holds, for handing outside
// bytes to a platform decoder. Reads never reach outside the bytes, however
// far a seek went; the bytes are not copied. When this object goes, every
// reference the decoder may still hold (and every clone) is cut off from
// the bytes, so it reads nothing after the caller freed them.
class BoundedMemoryStream {
public:
    BoundedMemoryStream(const void* bytes, std::size_t size);
    ~BoundedMemoryStream();
    BoundedMemoryStream(const BoundedMemoryStream&) = delete;
    BoundedMemoryStream& operator=(const BoundedMemoryStream&) = delete;

    // Null when the stream could not be made.
    IStream* stream() const { return m_stream; }

private:
    IStream* m_stream = nullptr;
};
