#pragma once

#include "foundation/String.h"

#include <cstdint>

// A file over a native handle. The handle is an opaque pointer so that
// this header stays free of the platform's headers; null means closed.
class File {
public:
    // Open modes: 1 read (shared for reading, sequential), 2 write (create
    // or truncate), 3 read-write (open or create), 4 append (open or
    // create, write only), 5 write new (create only where nothing, not even
    // a link, stands at the name). Modes 2-5 share nothing.
    enum OpenMode : int { Read = 1, Write = 2, ReadWrite = 3, Append = 4, WriteNew = 5 };

    explicit File(const String& path);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // False for an empty path, an unknown mode or a failed platform call;
    // the mode is kept only on success.
    bool open(int mode);
    // Opens the existing file to read it and perhaps remove it: with the
    // right to remove it, sharing reading only, so that nobody can write,
    // move or replace it while it is open. A link at the path is opened
    // itself where the system allows (not under Wine: FileSystem::
    // isOpenLink tells). False as open is.
    bool openToRemove();
    // Marks the open file to go once its last handle closes; false when the
    // system refuses (a read-only file, a handle without the right).
    bool markForRemoval();
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    // The mode of the last successful open; 3 while closed.
    int mode() const { return m_mode; }
    void* handle() const { return m_handle; }
    const String& path() const { return m_path; }

private:
    bool take(void* handle, int mode);

    String m_path;
    void* m_handle = nullptr;
    int m_mode = ReadWrite;
};

// Native handle operations behind the file streams. A null handle stands
// for "none" throughout.
void* openFileHandle(const String& path, int mode);
void* openFileHandleToRemove(const String& path);
bool markFileHandleForRemoval(void* handle);
void closeFileHandle(void* handle);
bool flushFileHandle(void* handle);
// Bytes read or written, -1 when the call fails or count is negative.
int readFileHandle(void* handle, void* data, int count);
int writeFileHandle(void* handle, const void* data, int count);
// Positions are counted from the start of the file.
bool seekFileHandle(void* handle, std::uint64_t position);
bool seekFileHandleToBegin(void* handle);
bool seekFileHandleToEnd(void* handle);
// 0 when the platform call fails.
std::uint64_t fileHandlePosition(void* handle);
std::uint64_t fileHandleSize(void* handle);
