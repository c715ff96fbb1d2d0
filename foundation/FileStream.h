#pragma once

#include "foundation/File.h"
#include "foundation/FileSystem.h"
#include "foundation/Stream.h"

#include <functional>
#include <memory>
#include <optional>

class Crc32InputStream;

// A stream that owns its File and closes it when destroyed. isOpen()
// tells whether the file could be opened.

class FileOutputStream : public OutputStream {
public:
    // Without append the file is created or truncated; with append it is
    // created when missing and written after its existing bytes.
    FileOutputStream(const String& path, bool append);
    // Opened as File::open opens it in the mode (Write, Append or WriteNew).
    FileOutputStream(const String& path, File::OpenMode mode);
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

// Reads through a buffer, so that the many small reads of a binary reader
// cost one platform call per buffer, and answers size and position without
// asking the platform. The file is shared for reading only, so its size
// cannot change while it is open. A read returns fewer bytes than asked only
// at the end of the file.
class FileInputStream : public InputStream {
public:
    // How the file is opened: for reading, or to read it and perhaps remove
    // it through the same handle (File::openToRemove).
    enum class Opening { Read, ToRemove };

    explicit FileInputStream(const String& path, Opening opening = Opening::Read);
    ~FileInputStream() override;

    int read(void* data, int count) override;
    int readByte() override;
    std::uint64_t size() const override { return m_size; }
    // Positions past the end are kept; reading there gives nothing.
    bool seek(std::uint64_t position) override;
    std::uint64_t position() const override { return m_position; }
    bool seekToBegin() override;
    bool seekToEnd() override;
    bool skip(std::uint64_t count) override;

    File& file() { return m_file; }

    // The identity of the open file and the checksum of all its bytes, read
    // again from the start; none when a read fails. Nobody can write the
    // file while it is open, so they are those of what was read.
    std::optional<FileVersion> version();
    // The same for a reader that read this stream through summed from its
    // start: what it left unread is read now, nothing twice.
    std::optional<FileVersion> version(Crc32InputStream& summed);

private:
    int readPastBuffer(std::uint8_t* data, int count);
    int readAt(std::uint64_t position, std::uint8_t* data, int count);
    bool fillBuffer();
    int takeFromBuffer(std::uint8_t* data, int count);

    File m_file;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
    // Where the platform's file pointer stands, so that sequential reads
    // need no seek.
    std::uint64_t m_filePointer = 0;
    // Holds the file's bytes from m_bufferStart on; allocated at the first
    // buffered read.
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::uint64_t m_bufferStart = 0;
    int m_bufferLength = 0;
};

namespace FileSystem {

// The identity and the checksum of the bytes of the file the path leads to,
// opened as the program's readers open it (sharing reading only): none when
// there is no file, another program holds it open for writing or locks a
// part of it, or a read fails. Read through a FileInputStream, so it lives
// with the streams rather than below them.
std::optional<FileVersion> version(const String& path);

} // namespace FileSystem

// What stands at the name of a file this run wrote, against what it wrote
// there; or, from removeVersion, what became of it.
enum class CopyState { AsWritten, Removed, Gone, Changed, InUse, ReadOnly, Folder, NotRemoved };

namespace FileSystem {

// Removes the file at the path only while it is the version given, so that
// no other file can go in its place: the file is opened once, sharing
// reading only (nobody can write, move or replace it meanwhile), its bytes
// are compared through that handle, and it is removed through the same
// handle. Removed, or why it stays (no file is Gone; a link at the name,
// which stays with the file it leads to, is Changed).
CopyState removeVersion(const String& path, const FileVersion& version);

} // namespace FileSystem

// Writes a file through a temporary file beside it ("<path>.tmp"), which
// takes the target's place only once write() has succeeded and every byte is
// flushed. The target is therefore either the old file or the complete new
// one; on any failure the temporary file is removed and false returned.
bool writeFileAtomically(const String& path, const std::function<bool(FileOutputStream&)>& write);

// For the program's own files, which a save replaces only while they are
// what this run read or wrote: as writeFileAtomically, and mayReplace is
// asked as late as the platform allows, once the new file is complete,
// flushed and closed, just before it takes the target's place. The version
// then at the path (its identity, and the checksum of the bytes written);
// none, with the target as it was, when anything failed or mayReplace
// said no.
std::optional<FileVersion> replaceOwnFile(const String& path, const std::function<bool(OutputStream&)>& write,
                                          const std::function<bool()>& mayReplace);

// As replaceOwnFile, for a name that no file holds: the complete temporary
// file is moved to it without replacing anything (FileSystem::
// moveToFreeName), so the file appears there only whole, and a file another
// program put there meanwhile stays. None, with nothing left behind, when
// anything failed or the name was taken.
std::optional<FileVersion> writeNewFile(const String& path, const std::function<bool(OutputStream&)>& write);
