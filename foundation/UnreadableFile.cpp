#include "foundation/UnreadableFile.h"

#include "foundation/FileSystem.h"
#include "foundation/Path.h"

#include <windows.h>

String moveAsideAsBad(const String& path)
{
    const int separator = path.lastIndexOf(L'\\');
    if (separator < 0 || !fileExists(path))
        return {};
    const String folder = path.mid(0, separator + 1);
    String target = path + L".bad";
    if (fileExists(target)) {
        const String name = Path::uniqueFileName(path.mid(separator + 1), String(L"bad"), folder);
        target = name.isEmpty() ? String() : folder + name;
    }
    if (target.isEmpty() || fileExists(target) || !FileSystem::move(path, target))
        return {};
    return target;
}

bool isFileInUse(const String& path)
{
    if (path.isEmpty())
        return false;
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}
