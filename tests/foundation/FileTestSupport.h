#pragma once

// Helpers shared by the stream, file-system and text-file tests: a unique
// temporary folder that removes itself, raw file access that bypasses the
// code under test, and an output stream that collects bytes in memory.

#include "foundation/Stream.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace filetest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytesOf(std::initializer_list<int> values)
{
    Bytes out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline Bytes bytesOf(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

inline std::wstring wide(const String& s)
{
    return std::wstring(s.c_str(), static_cast<std::size_t>(s.length()));
}

inline std::set<std::wstring> setOf(const StringList& list)
{
    std::set<std::wstring> out;
    for (const String& s : list)
        out.insert(wide(s));
    return out;
}

inline std::vector<std::wstring> vectorOf(const StringList& list)
{
    std::vector<std::wstring> out;
    for (const String& s : list)
        out.push_back(wide(s));
    return out;
}

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
    String file(const wchar_t* name) const { return path() + name; }

private:
    std::wstring m_folder;
};

// An output stream that appends every write to a byte vector.
class ByteSink : public OutputStream {
public:
    ByteSink() { m_isOpen = true; }
    explicit ByteSink(const Bytes& initial) : bytes(initial) { m_isOpen = true; }

    int write(const void* data, int count) override
    {
        if (count < 0 || failWrites)
            return -1;
        const auto* p = static_cast<const std::uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + count);
        return count;
    }
    int writeByte(std::uint8_t value) override { return write(&value, 1); }
    std::uint64_t size() const override { return bytes.size(); }
    bool seek(std::uint64_t position) override { return position == bytes.size(); }
    std::uint64_t position() const override { return bytes.size(); }
    bool seekToBegin() override { return bytes.empty(); }
    bool seekToEnd() override { return true; }

    Bytes bytes;
    bool failWrites = false;
};

} // namespace filetest
