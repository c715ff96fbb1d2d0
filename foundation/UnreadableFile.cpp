#include "foundation/UnreadableFile.h"

#include "foundation/CharHelpers.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "foundation/Thread.h"

#include <windows.h>

namespace {

int heldFileWait = defaultHeldFileWaitMs;

bool isSharingError(DWORD error)
{
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A shared lock over the whole file is refused while another program holds
// an exclusive lock over any part of it; it is given back at once.
bool hasForeignLock(HANDLE file)
{
    OVERLAPPED at = {};
    if (LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &at)) {
        UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &at);
        return false;
    }
    return isSharingError(GetLastError());
}

// "name.new" or "name_0000.new" to "name_9999.new", ignoring case.
bool isNameBeside(const String& candidate, const String& name)
{
    const String newExtension(L".new");
    if (candidate.length() < name.length() + newExtension.length() || !candidate.startsWith(name, false) ||
        !candidate.endsWith(newExtension, false))
        return false;
    const String between = candidate.mid(name.length(), candidate.length() - name.length() - newExtension.length());
    if (between.isEmpty())
        return true;
    if (between.length() != 5 || between[0] != L'_')
        return false;
    for (int i = 1; i < between.length(); ++i) {
        if (!isDigitChar(between[i]))
            return false;
    }
    return true;
}

} // namespace

String freeNameBeside(const String& path, const String& extension)
{
    const int separator = path.lastIndexOf(L'\\');
    if (separator < 0)
        return {};
    const String target = path + L'.' + extension;
    if (!fileExists(target) && !directoryExists(target))
        return target;
    const String folder = path.mid(0, separator + 1);
    const String name = Path::uniqueFileName(path.mid(separator + 1), extension, folder);
    return name.isEmpty() || fileExists(folder + name) ? String() : folder + name;
}

bool saveBeside(const String& target, String& beside, const std::function<bool(const String& path)>& save)
{
    const bool first = beside.isEmpty();
    if (first)
        beside = freeNameBeside(target, String(L"new"));
    if (!beside.isEmpty() && save(beside))
        return true;
    if (first)
        beside.clear();
    return false;
}

// A link whose file cannot be reached is listed as a file on Windows, but it
// holds no damage: moving it would part the library from the file it leads to.
String moveAsideAsBad(const String& path)
{
    if (!fileExists(path) || !FileSystem::identity(path).exists)
        return {};
    const String target = freeNameBeside(path, String(L"bad"));
    if (target.isEmpty() || !FileSystem::move(path, target))
        return {};
    return target;
}

StringList newerFilesBeside(const String& path)
{
    const int separator = path.lastIndexOf(L'\\');
    if (separator < 0)
        return {};
    const String name = path.mid(separator + 1);
    const std::uint64_t since = FileSystem::identity(path).writeTime;
    std::vector<FileEntry> entries;
    StringList extensions;
    extensions.append(String(L"new"));
    listFileEntries(entries, path.mid(0, separator), ListFiles, extensions);
    StringList newer;
    for (const FileEntry& entry : entries) {
        if (entry.writeTime > since && isNameBeside(entry.path.mid(entry.folderLength), name))
            newer.append(entry.path);
    }
    newer.sort();
    return newer;
}

// Opened as the program's own readers open it, which share reading only: a
// program that holds the file open for writing keeps them out as well.
bool isFileInUse(const String& path)
{
    if (path.isEmpty())
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return isSharingError(GetLastError());
    const bool locked = hasForeignLock(file);
    CloseHandle(file);
    return locked;
}

int heldFileWaitMs()
{
    return heldFileWait;
}

void setHeldFileWaitMs(int milliseconds)
{
    heldFileWait = milliseconds;
}

bool waitWhileInUse(const String& path, int milliseconds, const std::function<void(int percent)>& progress,
                    const std::function<bool()>& stopped)
{
    constexpr int pollMs = 100;
    for (int waited = pollMs; waited <= milliseconds; waited += pollMs) {
        sleepMilliseconds(pollMs);
        progress(waited * 100 / milliseconds);
        if (!isFileInUse(path))
            return true;
        if (stopped && stopped())
            return false;
    }
    return false;
}

// The identity is asked first, as it costs no read of the file.
bool mayWriteOver(const String& target, const std::optional<FileVersion>& own)
{
    const FileIdentity now = FileSystem::identity(target);
    if (!now.exists)
        return !fileExists(target);
    return own && now == own->identity && FileSystem::version(target) == own;
}

bool replaceWhileOwn(const String& target, std::optional<FileVersion>& own,
                     const std::function<bool(OutputStream&)>& write)
{
    std::optional<FileVersion> written = replaceOwnFile(target, write, [&] { return mayWriteOver(target, own); });
    if (!written)
        return false;
    own = std::move(written);
    return true;
}
