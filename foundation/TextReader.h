#pragma once

#include "foundation/Stream.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "foundation/TextFile.h"

// Reads a whole input stream as text of one TextEncoding encoding. A
// byte-order mark is skipped only when it is the reader's own encoding's;
// the reader never guesses the encoding.
class TextReader : public StreamReaderBase {
public:
    // Every caller reads in chunks of this size.
    static constexpr int defaultChunkSize = 65536;

    TextReader(InputStream* stream, int encoding);
    ~TextReader() override = default;

    // False for an unknown encoding, a closed stream or one already held.
    bool attach() override;

    int encoding() const { return m_encoding; }
    void setLineEnd(const String& lineEnd) { m_lineEnd = lineEnd; }
    const String& lineEnd() const { return m_lineEnd; }

    // The whole stream from its start, up to its first zero character; the
    // empty String when the stream is empty or cannot be read.
    String readAll(int chunkSize = defaultChunkSize);
    // readAll split at the line end; flags 1 skip empty lines, 2 trim them.
    StringList readLines(int flags = 0);

private:
    int m_encoding;
    String m_lineEnd;
};
