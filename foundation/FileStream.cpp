#include "foundation/FileStream.h"

#include "foundation/FileSystem.h"

#include <windows.h>

FileOutputStream::FileOutputStream(const String& path, bool append) : m_file(path)
{
    m_isOpen = m_file.open(append ? File::Append : File::Write);
    if (m_isOpen && append)
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

FileInputStream::FileInputStream(const String& path) : m_file(path)
{
    m_isOpen = m_file.open(File::Read);
    if (m_isOpen)
        seekToBegin();
}

FileInputStream::~FileInputStream()
{
    m_file.close();
}

int FileInputStream::read(void* data, int count)
{
    return readFileHandle(m_file.handle(), data, count);
}

int FileInputStream::readByte()
{
    std::uint8_t value = 0;
    return read(&value, 1) == 1 ? value : -1;
}

std::uint64_t FileInputStream::size() const
{
    return fileHandleSize(m_file.handle());
}

bool FileInputStream::seek(std::uint64_t position)
{
    return seekFileHandle(m_file.handle(), position);
}

std::uint64_t FileInputStream::position() const
{
    return fileHandlePosition(m_file.handle());
}

bool FileInputStream::seekToBegin()
{
    return seekFileHandleToBegin(m_file.handle());
}

bool FileInputStream::seekToEnd()
{
    return seekFileHandleToEnd(m_file.handle());
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

bool writeFileAtomically(const String& path, const std::function<bool(FileOutputStream&)>& write)
{
    if (path.isEmpty())
        return false;
    const String temporary = path + L".tmp";
    bool written = false;
    {
        FileOutputStream stream(temporary, false);
        written = stream.isOpen() && write(stream) && stream.flush();
    }
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (written && MoveFileExW(temporary.c_str(), path.c_str(), flags))
        return true;
    deleteFile(temporary);
    return false;
}
