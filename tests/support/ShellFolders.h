#pragma once

// The user's shell folders pointed elsewhere for a while: a program started
// by a test (in this process or another of the same Wine prefix) then reads
// the test's folders, never what the user keeps on the desktop or among the
// recent documents.

#include "tests/support/TempFolder.h"

#include "foundation/String.h"

#include <windows.h>

// Points one of the user's shell folders ("Desktop", "Recent") at the folder
// for its lifetime through the shell's per-user folder value, which it then
// puts back as it was.
class ShellFolderRedirect {
public:
    ShellFolderRedirect(const wchar_t* name, const String& folder) : m_name(name)
    {
        RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_READ | KEY_SET_VALUE, nullptr, &m_key, nullptr);
        DWORD size = sizeof(m_old);
        m_hadValue = RegQueryValueExW(m_key, m_name, nullptr, &m_oldType, m_old, &size) == ERROR_SUCCESS;
        m_oldSize = size;
        RegSetValueExW(m_key, m_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>((folder.length() + 1) * sizeof(wchar_t)));
    }
    ~ShellFolderRedirect()
    {
        if (m_hadValue)
            RegSetValueExW(m_key, m_name, 0, m_oldType, m_old, m_oldSize);
        else
            RegDeleteValueW(m_key, m_name);
        RegCloseKey(m_key);
    }
    ShellFolderRedirect(const ShellFolderRedirect&) = delete;
    ShellFolderRedirect& operator=(const ShellFolderRedirect&) = delete;

private:
    static constexpr const wchar_t* keyPath = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    const wchar_t* m_name;
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    DWORD m_oldType = REG_NONE;
    BYTE m_old[2 * MAX_PATH + 2] = {};
    DWORD m_oldSize = 0;
};

// Empty recent-documents and desktop folders of the test's own, which the
// program's first-run rules scan while the object lives.
class OwnUserFolders {
public:
    OwnUserFolders() = default;
    OwnUserFolders(const OwnUserFolders&) = delete;
    OwnUserFolders& operator=(const OwnUserFolders&) = delete;

private:
    String madeFolder(const wchar_t* name) const
    {
        m_folders.makeFolder(name);
        return m_folders.file(name);
    }

    TempFolder m_folders;
    ShellFolderRedirect m_recent{L"Recent", madeFolder(L"Recent")};
    ShellFolderRedirect m_desktop{L"Desktop", madeFolder(L"Desktop")};
};
