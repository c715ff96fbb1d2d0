#pragma once

#include "foundation/File.h"
#include "foundation/Stream.h"

#include <functional>

// A stream that owns its File and closes it when destroyed. isOpen()
// tells whether the file could be opened.

class FileOutputStream : public OutputStream {
public:
    // Without append the file is created or truncated; with append it is
    // created when missing and written after its existing bytes.
    FileOutputStream(const String& path, bool append);
    ~FileOutputStream() override;

    int write(const void* data, int count) override;
    int writeByte(std::uint8_t value) override;
    std::uint64_t size() const override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override;
    bool seekToBegin() override;
    bool seekToEnd() override;

    File& file() { return m_file; }
    bool flush();

private:
    File m_file;
};

class FileInputStream : public InputStream {
public:
    explicit FileInputStream(const String& path);
    ~FileInputStream() override;

    int read(void* data, int count) override;
    int readByte() override;
    std::uint64_t size() const override;
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override;
    bool seekToBegin() override;
    bool seekToEnd() override;
    bool skip(std::uint64_t count) override;

    File& file() { return m_file; }

private:
    File m_file;
};

// Writes a file through a temporary file beside it ("<path>.tmp"), which
// takes the target's place only once write() has succeeded and every byte is
// flushed. The target is therefore either the old file or the complete new
// one; on any failure the temporary file is removed and false returned.
bool writeFileAtomically(const String& path, const std::function<bool(FileOutputStream&)>& write);
