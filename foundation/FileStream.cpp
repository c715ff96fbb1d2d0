#include "foundation/FileStream.h"

#include "foundation/Crc32Stream.h"
#include "foundation/FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Large enough that the small records of a pack or a database cost one
// platform call per buffer.
constexpr int inputBufferSize = 64 * 1024;
// No reachable position: the next read seeks first.
constexpr std::uint64_t unknownFilePointer = UINT64_MAX;
// Enough for a name that another program fills again once or twice between
// its removal and the file's creation.
constexpr int temporaryAttempts = 3;

} // namespace

FileOutputStream::FileOutputStream(const String& path, bool append)
    : FileOutputStream(path, append ? File::Append : File::Write)
{
}

FileOutputStream::FileOutputStream(const String& path, File::OpenMode mode) : m_file(path)
{
    m_isOpen = m_file.open(mode);
    if (m_isOpen && mode == File::Append)
        seekToEnd();
}

FileOutputStream::~FileOutputStream()
{
    m_file.close();
}

int FileOutputStream::write(const void* data, int count)
{
    return writeFileHandle(m_file.handle(), data, count);
}

int FileOutputStream::writeByte(std::uint8_t value)
{
    return write(&value, 1);
}

std::uint64_t FileOutputStream::size() const
{
    return fileHandleSize(m_file.handle());
}

bool FileOutputStream::seek(std::uint64_t position)
{
    return seekFileHandle(m_file.handle(), position);
}

std::uint64_t FileOutputStream::position() const
{
    return fileHandlePosition(m_file.handle());
}

bool FileOutputStream::seekToBegin()
{
    return seekFileHandleToBegin(m_file.handle());
}

bool FileOutputStream::seekToEnd()
{
    return seekFileHandleToEnd(m_file.handle());
}

bool FileOutputStream::flush()
{
    return flushFileHandle(m_file.handle());
}

FileInputStream::FileInputStream(const String& path, Opening opening) : m_file(path)
{
    m_isOpen = opening == Opening::ToRemove ? m_file.openToRemove() : m_file.open(File::Read);
    if (m_isOpen)
        m_size = fileHandleSize(m_file.handle());
}

FileInputStream::~FileInputStream()
{
    m_file.close();
}

int FileInputStream::read(void* data, int count)
{
    if (!m_isOpen || count < 0 || (!data && count > 0))
        return -1;
    auto* out = static_cast<std::uint8_t*>(data);
    const int fromBuffer = takeFromBuffer(out, count);
    if (fromBuffer == count)
        return count;
    const int got = readPastBuffer(out + fromBuffer, count - fromBuffer);
    if (got < 0)
        return fromBuffer > 0 ? fromBuffer : -1;
    return fromBuffer + got;
}

// A long read, or one that takes the rest of the file, gains nothing from a
// copy through the buffer.
int FileInputStream::readPastBuffer(std::uint8_t* data, int count)
{
    if (count < inputBufferSize && static_cast<std::uint64_t>(count) < remaining())
        return fillBuffer() ? takeFromBuffer(data, count) : -1;
    const int got = readAt(m_position, data, count);
    if (got > 0)
        m_position += static_cast<std::uint64_t>(got);
    return got;
}

int FileInputStream::readByte()
{
    std::uint8_t value = 0;
    return read(&value, 1) == 1 ? value : -1;
}

// Up to count bytes from the file at position.
int FileInputStream::readAt(std::uint64_t position, std::uint8_t* data, int count)
{
    if (m_filePointer != position) {
        if (!seekFileHandle(m_file.handle(), position))
            return -1;
        m_filePointer = position;
    }
    const int got = readFileHandle(m_file.handle(), data, count);
    if (got < 0) {
        m_filePointer = unknownFilePointer;
        return -1;
    }
    m_filePointer += static_cast<std::uint64_t>(got);
    return got;
}

// Refills the buffer from the position on.
bool FileInputStream::fillBuffer()
{
    if (!m_buffer)
        m_buffer = std::make_unique_for_overwrite<std::uint8_t[]>(inputBufferSize);
    m_bufferLength = 0;
    const int got = readAt(m_position, m_buffer.get(), inputBufferSize);
    if (got < 0)
        return false;
    m_bufferStart = m_position;
    m_bufferLength = got;
    return true;
}

// Copies what the buffer holds at the position, up to count bytes.
int FileInputStream::takeFromBuffer(std::uint8_t* data, int count)
{
    if (m_position < m_bufferStart || m_position >= m_bufferStart + static_cast<std::uint64_t>(m_bufferLength))
        return 0;
    const std::uint64_t offset = m_position - m_bufferStart;
    const std::uint64_t held = static_cast<std::uint64_t>(m_bufferLength) - offset;
    const int taken = static_cast<int>(std::min(static_cast<std::uint64_t>(count), held));
    if (taken > 0)
        std::memcpy(data, m_buffer.get() + offset, static_cast<std::size_t>(taken));
    m_position += static_cast<std::uint64_t>(taken);
    return taken;
}

// Only remembered: the next read from the file seeks there. Positions the
// platform cannot reach are refused.
bool FileInputStream::seek(std::uint64_t position)
{
    if (!m_isOpen || position > static_cast<std::uint64_t>(INT64_MAX))
        return false;
    m_position = position;
    return true;
}

bool FileInputStream::seekToBegin()
{
    return seek(0);
}

bool FileInputStream::seekToEnd()
{
    return seek(m_size);
}

// A count that would wrap the position around is refused, so a huge skip
// never lands back on bytes already read.
bool FileInputStream::skip(std::uint64_t count)
{
    const std::uint64_t now = position();
    if (count > UINT64_MAX - now)
        return false;
    return seek(now + count);
}

std::optional<FileVersion> FileInputStream::version()
{
    if (!m_isOpen || !seekToBegin())
        return std::nullopt;
    Crc32InputStream summed(*this);
    return version(summed);
}

std::optional<FileVersion> FileInputStream::version(Crc32InputStream& summed)
{
    const FileIdentity opened = FileSystem::identityOfOpenFile(m_file.handle());
    if (!summed.readToEnd() || summed.checksum().size != m_size || !opened.exists)
        return std::nullopt;
    return FileVersion{opened, summed.checksum()};
}

namespace {

// Puts the complete temporary file in the path's place, or says no.
using Placement = std::function<bool(const String& temporary)>;

// The temporary file, made new: whatever stands at its name (a link or a
// hard link to another program's file, a file a save left) is removed
// itself, never the file a link leads to, and the file is created only
// where nothing stands, so that no other file is ever written through the
// name. None when the name cannot be freed (under Wine, a Linux link).
std::unique_ptr<FileOutputStream> newTemporary(const String& temporary)
{
    for (int attempt = 0; attempt < temporaryAttempts; ++attempt) {
        auto stream = std::make_unique<FileOutputStream>(temporary, File::WriteNew);
        if (stream->isOpen())
            return stream;
        FileSystem::removeName(temporary);
    }
    return nullptr;
}

// The temporary file takes the path's place once it is complete and place
// agrees; on any failure the one it made is removed, and what stood at its
// name when it could not be made is left.
bool writeThroughTemporary(const String& path, const std::function<bool(FileOutputStream&)>& write,
                           const Placement& place)
{
    if (path.isEmpty())
        return false;
    const String temporary = path + L".tmp";
    bool made = false;
    bool written = false;
    {
        const std::unique_ptr<FileOutputStream> stream = newTemporary(temporary);
        made = stream != nullptr;
        written = made && write(*stream) && stream->flush();
    }
    if (written && place(temporary))
        return true;
    if (made)
        FileSystem::removeName(temporary);
    return false;
}

Placement replacing(const String& path, const std::function<bool()>& mayReplace)
{
    return [path, mayReplace](const String& temporary) {
        const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
        return mayReplace() && MoveFileExW(temporary.c_str(), path.c_str(), flags);
    };
}

// The version written: the identity then at the path, and the checksum of
// the bytes that reached the file.
std::optional<FileVersion> writeCounted(const String& path, const std::function<bool(OutputStream&)>& write,
                                        const Placement& place)
{
    ContentChecksum written;
    const auto counting = [&](FileOutputStream& stream) {
        Crc32Stream counted(&stream);
        const bool complete = write(counted);
        written = counted.checksum();
        return complete;
    };
    if (!writeThroughTemporary(path, counting, place))
        return std::nullopt;
    return FileVersion{FileSystem::identity(path), written};
}

// Why the file could not be opened to be removed; error is the open's.
CopyState unopenedState(const String& path, DWORD error)
{
    if (directoryExists(path))
        return CopyState::Folder;
    if (!fileExists(path))
        return CopyState::Gone;
    return error == ERROR_SHARING_VIOLATION ? CopyState::InUse : CopyState::NotRemoved;
}

} // namespace

bool writeFileAtomically(const String& path, const std::function<bool(FileOutputStream&)>& write)
{
    return writeThroughTemporary(path, write, replacing(path, [] { return true; }));
}

std::optional<FileVersion> replaceOwnFile(const String& path, const std::function<bool(OutputStream&)>& write,
                                          const std::function<bool()>& mayReplace)
{
    return writeCounted(path, write, replacing(path, mayReplace));
}

std::optional<FileVersion> writeNewFile(const String& path, const std::function<bool(OutputStream&)>& write)
{
    return writeCounted(path, write,
                        [&path](const String& temporary) { return FileSystem::moveToFreeName(temporary, path); });
}

// A copy another program reads or locks cannot be read whole now: it is in
// use rather than changed. A link another program put at the name is
// theirs, and so is the file it leads to, even the very file this run wrote.
CopyState FileSystem::removeVersion(const String& path, const FileVersion& version)
{
    FileInputStream stream(path, FileInputStream::Opening::ToRemove);
    // No platform call came between the failed open and this.
    if (!stream.isOpen())
        return unopenedState(path, GetLastError());
    if (FileSystem::isOpenLink(stream.file().handle(), path))
        return CopyState::Changed;
    const std::optional<FileVersion> now = stream.version();
    if (!now)
        return CopyState::InUse;
    if (*now != version)
        return CopyState::Changed;
    if (!stream.file().markForRemoval())
        return FileSystem::isReadOnly(path) ? CopyState::ReadOnly : CopyState::NotRemoved;
    return CopyState::Removed;
}

std::optional<FileVersion> FileSystem::version(const String& path)
{
    FileInputStream stream(path);
    return stream.version();
}
