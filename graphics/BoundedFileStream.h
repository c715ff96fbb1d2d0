#pragma once

#include "graphics/BoundedStream.h"

class FileInputStream;

// A BoundedStream over a file the caller holds open (shared for reading
// only, so its bytes cannot change): a decoder reads the very bytes the
// program checked, through the program's own handle, and never opens the
// file again by its name, where another file may stand by then. The caller
// closes the file after this object goes, whatever references the decoder
// kept.
class BoundedFileStream : private StreamBytes {
public:
    explicit BoundedFileStream(FileInputStream& file);

    // Null when the stream could not be made.
    IStream* stream() const { return m_stream.stream(); }

private:
    std::uint64_t size() const override;
    bool readAt(std::uint64_t position, void* buffer, std::uint32_t count) override;

    FileInputStream& m_file;
    // Last, so that it is cut off before the rest goes.
    BoundedStream m_stream;
};
