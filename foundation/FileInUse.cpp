#include "foundation/FileInUse.h"

#include "foundation/Hooks.h"
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

} // namespace

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

bool waitForHeldFile(const String& path, const String& message, bool silent, ProgressWindow& window)
{
    if (!isFileInUse(path))
        return true;
    // A close that came before the wait ends it before it begins.
    if (window.closeRequested())
        return false;
    if (!silent) {
        window.setMessage(message);
        window.setPercent(0);
        window.show();
    }
    const auto progress = [&window, silent](int percent) {
        if (!silent)
            window.setPercent(percent);
    };
    return waitWhileInUse(path, heldFileWaitMs(), progress, [&window] { return window.closeRequested(); });
}

bool waitForHeldFile(const String& path, const String& message, bool silent)
{
    if (!isFileInUse(path))
        return true;
    const std::unique_ptr<ProgressWindow> window = uiHooks().createProgressWindow();
    return waitForHeldFile(path, message, silent, *window);
}
