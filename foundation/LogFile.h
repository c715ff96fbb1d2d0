#pragma once

#include "foundation/String.h"

#include <cstdint>
#include <memory>

class FileOutputStream;
class TextWriter;

// The program's UTF-16LE log file. Lines are appended as
// "dd.MM.yyyy hh:mm:ss | text" in UTC; once the file has reached the size
// limit it is emptied before the next line (older lines are not kept).
class LogFile {
public:
    LogFile();
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Continues an existing log or creates it; writes nothing. Opening
    // another path closes the log that is open first. False when the file
    // cannot be opened, and then the log stays closed.
    bool open(const String& path);
    void close();
    bool isOpen() const;

    // False while the log is closed or its stream is taken.
    bool writeLine(const String& text);

    const String& path() const { return m_path; }
    std::uint64_t sizeLimit() const { return m_sizeLimit; }
    void setSizeLimit(std::uint64_t bytes) { m_sizeLimit = bytes; }

private:
    bool restartEmpty();

    String m_path;
    std::unique_ptr<FileOutputStream> m_stream;
    std::unique_ptr<TextWriter> m_writer;
    std::uint64_t m_sizeLimit = 10485760;
};
