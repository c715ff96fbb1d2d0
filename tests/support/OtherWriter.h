#pragma once

// Another program writing one of the program's files while it runs: in ways
// the file's identity cannot see, and at the moment a save writes.

#include "devkit/RawFiles.h"

#include <atomic>
#include <thread>

// In place, or deleted and made anew (which ext4 under Wine gives the old
// file id).
enum class Rewrite { InPlace, Recreated };

// Puts the bytes, as many as the file holds, in its place and gives it back
// its last-write time: only the bytes tell it from the file before.
inline bool rewriteKeepingSizeAndTime(const String& path, const Bytes& bytes, Rewrite how)
{
    const std::uint64_t time = writeTimeRaw(path);
    return readRaw(path).size() == bytes.size() && (how == Rewrite::InPlace || DeleteFileW(path.c_str())) &&
           writeRaw(path, bytes) && setWriteTimeRaw(path, time);
}

// Renames their file over the path as soon as a save's temporary file
// (path + ".tmp") appears, so while the save writes; gives up once the
// caller asks whether it landed, after the save.
class SwapWhileSaving {
public:
    SwapWhileSaving(const String& path, const Bytes& theirs) : m_theirs(path + L".theirs")
    {
        writeRaw(m_theirs, theirs);
        m_watcher = std::thread([this, path] {
            const String temporary = path + L".tmp";
            while (!m_saveEnded) {
                // Yields to the save, which may wait for a core on a busy machine.
                if (GetFileAttributesW(temporary.c_str()) == INVALID_FILE_ATTRIBUTES) {
                    SwitchToThread();
                    continue;
                }
                const bool swapped = MoveFileExW(m_theirs.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
                // The save still holds its temporary file open, shared with nobody.
                HANDLE probe = CreateFileW(temporary.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr);
                m_whileWriting = swapped && probe == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
                if (probe != INVALID_HANDLE_VALUE)
                    CloseHandle(probe);
                return;
            }
        });
    }
    ~SwapWhileSaving()
    {
        landedWhileWriting();
        DeleteFileW(m_theirs.c_str());
    }

    // Waits for the watcher; whether their file took the path's place while
    // the save still wrote, before it could look again.
    bool landedWhileWriting()
    {
        m_saveEnded = true;
        if (m_watcher.joinable())
            m_watcher.join();
        return m_whileWriting;
    }

private:
    String m_theirs;
    std::atomic<bool> m_whileWriting = false;
    std::atomic<bool> m_saveEnded = false;
    std::thread m_watcher;
};
