#include "foundation/ShellCommands.h"

#include "foundation/FileSystem.h"
#include "foundation/Path.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr DWORD idleWaitMilliseconds = 10000;

bool shellExecute(const wchar_t* verb, const String& file, const wchar_t* parameters)
{
    const HINSTANCE result = ShellExecuteW(nullptr, verb, file.c_str(), parameters, nullptr, SW_SHOWDEFAULT);
    // Results up to 32 are error codes.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

// The shell's folder window needs COM on the calling thread; joins the
// caller's apartment when there is one.
class ComScope {
public:
    ComScope() : m_result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT m_result;
};

// Item lists from the desktop folder, freed together.
class ItemLists {
public:
    ItemLists() { SHGetDesktopFolder(&m_desktop); }
    ~ItemLists()
    {
        for (LPITEMIDLIST list : m_lists)
            CoTaskMemFree(list);
        if (m_desktop)
            m_desktop->Release();
    }
    ItemLists(const ItemLists&) = delete;
    ItemLists& operator=(const ItemLists&) = delete;

    LPITEMIDLIST parse(const String& path)
    {
        if (!m_desktop)
            return nullptr;
        LPITEMIDLIST list = nullptr;
        // ParseDisplayName takes a writable text.
        std::wstring name(path.c_str(), static_cast<std::size_t>(path.length()));
        if (FAILED(m_desktop->ParseDisplayName(nullptr, nullptr, name.data(), nullptr, &list, nullptr)) || !list)
            return nullptr;
        m_lists.push_back(list);
        return list;
    }

private:
    IShellFolder* m_desktop = nullptr;
    std::vector<LPITEMIDLIST> m_lists;
};

} // namespace

void openPath(const String& path)
{
    if (path.isEmpty())
        return;
    shellExecute(L"open", path, nullptr);
}

bool shellExecuteDefault(const String& path)
{
    return shellExecute(nullptr, path, nullptr);
}

bool shellExecuteWithParameters(const String& file, const String& parameters)
{
    return shellExecute(nullptr, file, parameters.c_str());
}

bool runProcess(const String& commandLine, bool waitUntilIdle, bool waitForExit)
{
    // CreateProcessW may write into the command line.
    std::vector<wchar_t> command(commandLine.c_str(), commandLine.c_str() + commandLine.length() + 1);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    AllowSetForegroundWindow(process.dwProcessId);
    if (waitUntilIdle)
        WaitForInputIdle(process.hProcess, idleWaitMilliseconds);
    if (waitForExit)
        WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool showItemsInFolder(const String& folder, const StringList& names)
{
    if (!directoryExists(folder))
        return false;
    if (names.isEmpty())
        return shellExecuteDefault(folder);
    ComScope com;
    ItemLists lists;
    LPITEMIDLIST folderList = lists.parse(folder);
    if (!folderList)
        return false;
    String base = folder;
    if (!base.endsWith(L'\\'))
        base += L'\\';
    std::vector<LPCITEMIDLIST> items;
    for (const String& name : names) {
        LPITEMIDLIST item = lists.parse(base + name);
        if (!item)
            return false;
        items.push_back(item);
    }
    return SUCCEEDED(SHOpenFolderAndSelectItems(folderList, static_cast<UINT>(items.size()), items.data(), 0));
}

bool showFileInFolder(const String& path)
{
    StringList names;
    names.append(Path::fileName(path));
    return showItemsInFolder(Path::directoryOf(path), names);
}
