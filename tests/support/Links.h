#pragma once

// Links the program meets in its paths: under Wine these are Linux symbolic
// links, made and removed by the Linux tools; CreateSymbolicLinkW there
// reports success but makes none.

#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include "foundation/String.h"

#include <windows.h>

#include <string>

using UnixNameFunction = char*(__cdecl*)(const wchar_t*);

// Present only under Wine.
inline UnixNameFunction wineUnixName()
{
    return reinterpret_cast<UnixNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

inline std::wstring unixPath(UnixNameFunction unixName, const String& path)
{
    char* name = unixName(path.c_str());
    if (!name)
        return {};
    const std::wstring result = wide(String::fromUtf8(name));
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Under Wine the handle of a Linux process is signalled as soon as it
// starts, so the caller waits for the tool's effect. The bound (two minutes
// at least, longer as Sleep oversleeps) only keeps a tool that never acts
// from hanging the test; a loaded machine comes nowhere near it.
template <typename Condition>
bool waitUntil(Condition condition)
{
    for (int i = 0; i < 6000 && !condition(); ++i)
        Sleep(20);
    return condition();
}

inline bool runUnixTool(const wchar_t* program, std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Whether the folder's listing holds the entry, which a link that leads
// nowhere still does.
inline bool isListed(const String& path)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    FindClose(find);
    return true;
}

// A link to an existing file or folder. Elsewhere a symbolic link, which
// needs developer mode or rights.
inline bool makeLink(const String& link, const String& target)
{
    const UnixNameFunction unixName = wineUnixName();
    if (!unixName) {
        const DWORD folder = (GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
        const DWORD flags = folder | 0x2; // allow unprivileged create
        return CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) && fileExistsRaw(link);
    }
    const std::wstring command = L"ln -s \"" + unixPath(unixName, target) + L"\" \"" + unixPath(unixName, link) + L"\"";
    return runUnixTool(L"Z:\\bin\\ln", command) && waitUntil([&] { return fileExistsRaw(link); });
}

// A symbolic link (makeLink) or a hard link, which Windows makes for anyone.
enum class LinkKind { Symbolic, Hard };

inline bool makeLink(LinkKind kind, const String& link, const String& target)
{
    if (kind == LinkKind::Symbolic)
        return makeLink(link, target);
    return CreateHardLinkW(link.c_str(), target.c_str(), nullptr) != FALSE;
}

// Wine follows a link to a folder when asked to remove it as a folder, so
// the link goes the way it came. The link may lead nowhere by then, or be
// gone.
inline void removeLink(const String& link)
{
    const UnixNameFunction unixName = wineUnixName();
    if (!unixName) {
        if (!DeleteFileW(link.c_str()))
            RemoveDirectoryW(link.c_str());
        return;
    }
    if (runUnixTool(L"Z:\\bin\\rm", L"rm -f \"" + unixPath(unixName, link) + L"\""))
        waitUntil([&] { return !isListed(link); });
}

struct LinkRemover {
    String link;
    ~LinkRemover() { removeLink(link); }
};
