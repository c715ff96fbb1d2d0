#pragma once

#include "foundation/Stream.h"
#include "foundation/String.h"
#include "foundation/TextFile.h"

#include <cstdint>

// Writes text to an output stream in one of the TextEncoding encodings. The
// byte-order mark goes out with the first write after attaching, and only
// when the stream is still empty, so appending to a file never puts a mark
// in its middle.
class TextWriter : public StreamWriterBase {
public:
    TextWriter(OutputStream* stream, int encoding);
    ~TextWriter() override = default;

    // False for an unknown encoding, a closed stream or one already held.
    bool attach() override;

    int encoding() const { return m_encoding; }
    void setLineEnd(const String& lineEnd) { m_lineEnd = lineEnd; }
    const String& lineEnd() const { return m_lineEnd; }

    // True when every byte reached the stream.
    bool write(const String& text);
    bool write(const wchar_t* text);
    bool write(wchar_t c);
    // "1" or "0".
    bool write(bool value);
    // Precision 6 for a float, 8 for a double; "." as the decimal point.
    bool write(float value);
    bool write(double value);
    bool write(std::int16_t value);
    bool write(std::uint16_t value);
    bool write(std::int32_t value);
    bool write(std::uint32_t value);
    bool write(std::int64_t value);
    bool write(std::uint64_t value);

    // The value as write() gives it, then the line end.
    template <typename T>
    bool writeLine(const T& value)
    {
        const bool wrote = write(value);
        return write(m_lineEnd) && wrote;
    }

private:
    bool writeMarkIfDue();
    bool writeBytes(const void* data, int count);

    int m_encoding;
    bool m_bomPending = true;
    String m_lineEnd;
};
