#include "foundation/File.h"

#include <windows.h>

namespace {

struct OpenParameters {
    DWORD access;
    DWORD sharing;
    DWORD disposition;
    DWORD flags;
};

bool openParametersOf(int mode, OpenParameters& out)
{
    switch (mode) {
    case File::Read:
        out = {GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL};
        return true;
    case File::Write:
        out = {GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL};
        return true;
    case File::ReadWrite:
        out = {GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL};
        return true;
    case File::Append:
        out = {GENERIC_WRITE, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL};
        return true;
    case File::WriteNew:
        out = {GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL};
        return true;
    default:
        return false;
    }
}

bool movePointer(void* handle, std::int64_t distance, DWORD method, std::int64_t* result = nullptr)
{
    if (!handle)
        return false;
    LARGE_INTEGER move;
    move.QuadPart = distance;
    LARGE_INTEGER now;
    if (!SetFilePointerEx(handle, move, &now, method))
        return false;
    if (result)
        *result = now.QuadPart;
    return true;
}

} // namespace

File::File(const String& path) : m_path(path) {}

File::~File()
{
    close();
}

bool File::open(int mode)
{
    return !m_path.isEmpty() && take(openFileHandle(m_path, mode), mode);
}

bool File::openToRemove()
{
    return take(openFileHandleToRemove(m_path), Read);
}

// A file that could not be opened leaves the one open before as it was.
bool File::take(void* handle, int mode)
{
    if (!handle)
        return false;
    close();
    m_handle = handle;
    m_mode = mode;
    return true;
}

bool File::markForRemoval()
{
    return markFileHandleForRemoval(m_handle);
}

void File::close()
{
    if (m_handle)
        closeFileHandle(m_handle);
    m_handle = nullptr;
    m_mode = ReadWrite;
}

void* openFileHandle(const String& path, int mode)
{
    OpenParameters p;
    if (path.isEmpty() || !openParametersOf(mode, p))
        return nullptr;
    HANDLE handle = CreateFileW(path.c_str(), p.access, p.sharing, nullptr, p.disposition, p.flags, nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

// A link at the name is opened itself, so that its removal could never
// fall on the file it leads to.
void* openFileHandleToRemove(const String& path)
{
    if (path.isEmpty())
        return nullptr;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT | FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
}

bool markFileHandleForRemoval(void* handle)
{
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return handle && SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof(disposition));
}

void closeFileHandle(void* handle)
{
    if (handle)
        CloseHandle(handle);
}

bool flushFileHandle(void* handle)
{
    return handle && FlushFileBuffers(handle);
}

int readFileHandle(void* handle, void* data, int count)
{
    if (!handle || count < 0 || (!data && count > 0))
        return -1;
    DWORD done = 0;
    if (!ReadFile(handle, data, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return static_cast<int>(done);
}

int writeFileHandle(void* handle, const void* data, int count)
{
    if (!handle || count < 0 || (!data && count > 0))
        return -1;
    DWORD done = 0;
    if (!WriteFile(handle, data, static_cast<DWORD>(count), &done, nullptr))
        return -1;
    return static_cast<int>(done);
}

bool seekFileHandle(void* handle, std::uint64_t position)
{
    return movePointer(handle, static_cast<std::int64_t>(position), FILE_BEGIN);
}

bool seekFileHandleToBegin(void* handle)
{
    return movePointer(handle, 0, FILE_BEGIN);
}

bool seekFileHandleToEnd(void* handle)
{
    return movePointer(handle, 0, FILE_END);
}

std::uint64_t fileHandlePosition(void* handle)
{
    std::int64_t position = 0;
    if (!movePointer(handle, 0, FILE_CURRENT, &position) || position < 0)
        return 0;
    return static_cast<std::uint64_t>(position);
}

std::uint64_t fileHandleSize(void* handle)
{
    LARGE_INTEGER size;
    if (!handle || !GetFileSizeEx(handle, &size) || size.QuadPart < 0)
        return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}
