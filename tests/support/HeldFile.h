#pragma once

// Another program's hold on a file, as backup, sync and scanning tools take
// it, for as long as the object lives or until it lets go.

#include "foundation/String.h"
#include "foundation/FileInUse.h"

#include <windows.h>

#include <thread>

// The program waits three seconds for a held file; a test that holds one
// for the whole wait would sleep that out. Every test program that holds
// files waits a fifth of it; HeldFileWait gives one test another wait.
inline const bool heldFileWaitShortened = (setHeldFileWaitMs(600), true);

// Another held-file wait for the object's lifetime.
class HeldFileWait {
public:
    explicit HeldFileWait(int milliseconds) { setHeldFileWaitMs(milliseconds); }
    ~HeldFileWait() { setHeldFileWaitMs(m_before); }
    HeldFileWait(const HeldFileWait&) = delete;
    HeldFileWait& operator=(const HeldFileWait&) = delete;

private:
    int m_before = heldFileWaitMs();
};

// A wait no step of a test comes near on a loaded machine: a test that
// shows something does not wait, or that a hold let go during the wait is
// waited for, sets this rather than compare with a bound near the real
// cost.
constexpr int longHeldFileWaitMs = 60000;

enum class Hold {
    // Open without sharing: nobody else may open it.
    NoSharing,
    // Open for reading with full sharing and locked over its whole length,
    // as backup and scanning tools lock: the file opens, and its reads fail
    // (Wine's succeed), so only the program's lock probe finds the hold.
    ByteRangeLock,
    // Open for reading, sharing reading only: it reads, but cannot be moved.
    NoDeleteSharing,
    // Open for writing, sharing reading and deletion, as a sync tool writes
    // it: the program's readers, which share no writing, cannot open it.
    Writing,
};

class HeldFile {
public:
    HeldFile(const String& path, Hold how)
    {
        const DWORD sharing = how == Hold::NoSharing         ? 0
                              : how == Hold::NoDeleteSharing ? FILE_SHARE_READ
                              : how == Hold::Writing         ? FILE_SHARE_READ | FILE_SHARE_DELETE
                                                             : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        const DWORD access = how == Hold::Writing ? GENERIC_WRITE : GENERIC_READ;
        m_handle = CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
        OVERLAPPED whole = {};
        if (how == Hold::ByteRangeLock && isHeld() &&
            !LockFileEx(m_handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole))
            release();
    }
    ~HeldFile()
    {
        if (m_releaser.joinable())
            m_releaser.join();
        release();
    }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

    bool isHeld() const { return m_handle != INVALID_HANDLE_VALUE; }
    void release()
    {
        if (isHeld())
            CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }
    // Lets go from another thread after the time, as a short lock at logon does.
    void releaseAfter(int milliseconds)
    {
        m_releaser = std::thread([this, milliseconds] {
            Sleep(static_cast<DWORD>(milliseconds));
            release();
        });
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    std::thread m_releaser;
};
