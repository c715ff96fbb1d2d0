#include "foundation/UnreadableFile.h"

#include "foundation/CharHelpers.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Path.h"
#include "foundation/Thread.h"

#include <windows.h>

namespace {

int heldFileWait = defaultHeldFileWaitMs;
// Enough for a file held beside the target and one more refused; a folder
// that refuses every name is not tried all over.
constexpr int besideAttempts = 3;

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

String freeNameBeside(const String& path, const String& extension, const StringList& passedOver)
{
    const int separator = path.lastIndexOf(L'\\');
    if (separator < 0 || !directoryExists(path.mid(0, separator + 1)))
        return {};
    const auto isFree = [&passedOver](const String& name) {
        return !fileExists(name) && !directoryExists(name) && !passedOver.containsIgnoreCase(name);
    };
    const String plain = path + L'.' + extension;
    if (isFree(plain))
        return plain;
    for (int i = 0; i < numberedNameLimit; ++i) {
        const String numbered = path + String::format(L"_%04d.", i) + extension;
        if (isFree(numbered))
            return numbered;
    }
    return {};
}

BesideSave saveBeside(const String& target, const String& kept, const std::function<bool(const String& path)>& save)
{
    BesideSave result;
    String next = kept.isEmpty() ? freeNameBeside(target, String(L"new")) : kept;
    for (int attempt = 0; attempt < besideAttempts && !next.isEmpty(); ++attempt) {
        if (save(next)) {
            result.path = next;
            return result;
        }
        result.failed.append(next);
        next = freeNameBeside(target, String(L"new"), result.failed);
    }
    return result;
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

bool waitForHeldFile(const String& path, const String& message, bool silent)
{
    if (!isFileInUse(path))
        return true;
    const std::unique_ptr<ProgressWindow> window = uiHooks().createProgressWindow();
    if (!silent) {
        window->setMessage(message);
        window->setPercent(0);
        window->show();
    }
    const auto progress = [&window, silent](int percent) {
        if (!silent)
            window->setPercent(percent);
    };
    return waitWhileInUse(path, heldFileWaitMs(), progress, [&window] { return window->closeRequested(); });
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
