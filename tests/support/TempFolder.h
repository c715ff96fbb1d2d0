#pragma once

// A unique temporary folder that removes itself, and raw file access that
// bypasses the code under test.

#include "tests/support/Bytes.h"
#include "tests/support/StringPrinting.h"

#include "foundation/String.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>

inline bool writeRaw(const String& path, const Bytes& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline Bytes readRaw(const String& path)
{
    Bytes out;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return out;
    std::uint8_t chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        out.insert(out.end(), chunk, chunk + got);
    CloseHandle(file);
    return out;
}

// A file or a folder. Named apart from the foundation's fileExists, which
// is false for folders: one name for both would link only one of them.
inline bool fileExistsRaw(const String& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes a tree without following links, so a link back up the tree
// cannot take the walk elsewhere.
inline void removeTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            const bool isLink = data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !isLink)
                removeTree(path);
            else if (!DeleteFileW(path.c_str()))
                RemoveDirectoryW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryW(folder.c_str());
}

// A fresh folder under the user's temp folder, removed with all its
// contents when the object goes.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, base);
        static int serial = 0;
        for (int attempt = 0; attempt < 1000; ++attempt) {
            wchar_t name[64];
            swprintf(name, 64, L"kestrola-test-%lu-%d", GetCurrentProcessId(), ++serial);
            m_folder = std::wstring(base) + name;
            if (CreateDirectoryW(m_folder.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { removeTree(m_folder); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing '\'.
    String path() const { return String(m_folder.c_str()) + L'\\'; }
    // The folder without the trailing '\'.
    String bare() const { return String(m_folder.c_str()); }
    String file(const wchar_t* name) const { return path() + name; }

    // Writes the bytes to the named file in the folder; its full path. A
    // failed write fails the test.
    String writeFile(const wchar_t* name, const Bytes& bytes) const
    {
        const String full = file(name);
        if (!writeRaw(full, bytes))
            ADD_FAILURE() << "could not write " << name;
        return full;
    }
    // Creates the named subfolder (one level); its full path with '\'.
    String makeFolder(const wchar_t* name) const
    {
        const String full = file(name);
        CreateDirectoryW(full.c_str(), nullptr);
        return full + L'\\';
    }

private:
    std::wstring m_folder;
};
