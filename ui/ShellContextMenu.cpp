#include "ui/ShellContextMenu.h"

#include "foundation/ComRef.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"
#include "ui/MimeData.h"
#include "ui/OleDragDrop.h"
#include "ui/PlatformServices.h"
#include "ui/TransferFormats.h"

#include <windows.h>

#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <set>

// The menu the shell hands out asks its folder for the items' data object;
// this folder answers with the program's own file list and passes every
// other question to the real folder.
class ShellFolderProxy final : public ComObject<IShellFolder> {
public:
    // The shell may keep the proxy past the selection, so it keeps the paths.
    ShellFolderProxy(IShellFolder* folder, const StringList& paths)
        : m_folder(folder), m_paths(paths), m_data(new DataObject)
    {
        m_folder->AddRef();
    }

    // COM identity: IUnknown and IShellFolder are this object's own, so
    // that asking either of them for the other leads back here.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IShellFolder))
            return ComObject::QueryInterface(id, object);
        return m_folder->QueryInterface(id, object);
    }
    HRESULT STDMETHODCALLTYPE ParseDisplayName(HWND window, IBindCtx* context, LPWSTR name, ULONG* eaten,
                                               PIDLIST_RELATIVE* list, ULONG* attributes) override
    {
        return m_folder->ParseDisplayName(window, context, name, eaten, list, attributes);
    }
    HRESULT STDMETHODCALLTYPE EnumObjects(HWND window, SHCONTF flags, IEnumIDList** list) override
    {
        return m_folder->EnumObjects(window, flags, list);
    }
    HRESULT STDMETHODCALLTYPE BindToObject(PCUIDLIST_RELATIVE list, IBindCtx* context, REFIID id,
                                           void** object) override
    {
        return m_folder->BindToObject(list, context, id, object);
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(PCUIDLIST_RELATIVE list, IBindCtx* context, REFIID id,
                                            void** object) override
    {
        return m_folder->BindToStorage(list, context, id, object);
    }
    HRESULT STDMETHODCALLTYPE CompareIDs(LPARAM how, PCUIDLIST_RELATIVE a, PCUIDLIST_RELATIVE b) override
    {
        return m_folder->CompareIDs(how, a, b);
    }
    HRESULT STDMETHODCALLTYPE CreateViewObject(HWND owner, REFIID id, void** object) override
    {
        return m_folder->CreateViewObject(owner, id, object);
    }
    HRESULT STDMETHODCALLTYPE GetAttributesOf(UINT count, PCUITEMID_CHILD_ARRAY items, SFGAOF* flags) override
    {
        return m_folder->GetAttributesOf(count, items, flags);
    }
    HRESULT STDMETHODCALLTYPE GetUIObjectOf(HWND owner, UINT count, PCUITEMID_CHILD_ARRAY items, REFIID id,
                                            UINT* reserved, void** object) override
    {
        if (!IsEqualIID(id, IID_IDataObject))
            return m_folder->GetUIObjectOf(owner, count, items, id, reserved, object);
        fillData();
        return m_data->QueryInterface(id, object);
    }
    HRESULT STDMETHODCALLTYPE GetDisplayNameOf(PCUITEMID_CHILD item, SHGDNF flags, STRRET* name) override
    {
        return m_folder->GetDisplayNameOf(item, flags, name);
    }
    HRESULT STDMETHODCALLTYPE SetNameOf(HWND owner, PCUITEMID_CHILD item, LPCWSTR name, SHGDNF flags,
                                        PITEMID_CHILD* result) override
    {
        return m_folder->SetNameOf(owner, item, name, flags, result);
    }

private:
    ~ShellFolderProxy() override
    {
        m_data->Release();
        m_folder->Release();
    }

    // The kept paths as one file list, written once.
    void fillData()
    {
        if (m_filled)
            return;
        MimeData data;
        data.setFilePaths(m_paths);
        m_filled = renderDragData(m_data, data) > 0;
    }

    IShellFolder* m_folder;
    StringList m_paths;
    DataObject* m_data;
    bool m_filled = false;
};

namespace {

using MultiFilePropertiesFunction = HRESULT(WINAPI*)(IDataObject*, DWORD);

// The menus of kinds 2 and 3 draw some entries themselves and must see the
// owner window's menu messages while their menu runs.
struct RunningMenu {
    WNDPROC previous = nullptr;
    IContextMenu2* menu2 = nullptr;
    IContextMenu3* menu3 = nullptr;
};
RunningMenu runningMenu;

constexpr UINT firstCommand = 1;
constexpr UINT lastCommand = 32767;
constexpr DWORD programIdLimit = 260;

// Bytes of a UTF-16 buffer, for the registry calls.
template <std::size_t N>
DWORD byteSize(const wchar_t (&)[N])
{
    return DWORD(N * sizeof(wchar_t));
}

PIDLIST_ABSOLUTE parsePath(IShellFolder* desktop, const String& path)
{
    PIDLIST_RELATIVE list = nullptr;
    wchar_t* name = const_cast<wchar_t*>(path.c_str());
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, name, nullptr, &list, nullptr)))
        return nullptr;
    return reinterpret_cast<PIDLIST_ABSOLUTE>(list);
}

// The existing paths with their kind, longest first when a folder is
// among them (a stable sort keeps equal lengths in order).
std::vector<std::pair<String, bool>> existingPaths(const StringList& paths)
{
    std::vector<std::pair<String, bool>> kept;
    bool anyDirectory = false;
    for (const String& path : paths) {
        const bool isDirectory = directoryExists(path);
        if (!isDirectory && !fileExists(path))
            continue;
        kept.emplace_back(path, isDirectory);
        anyDirectory = anyDirectory || isDirectory;
    }
    if (anyDirectory)
        std::stable_sort(kept.begin(), kept.end(),
                         [](const auto& a, const auto& b) { return a.first.length() > b.first.length(); });
    return kept;
}

// Whether every list lies directly in the folder the first one lies in.
bool shareParent(const std::vector<ShellItemIdList*>& lists)
{
    PIDLIST_ABSOLUTE parent = ILClone(lists.front());
    if (!parent)
        return false;
    ILRemoveLastID(parent);
    const bool shared = std::all_of(lists.begin(), lists.end(),
                                    [parent](ShellItemIdList* list) { return ILIsParent(parent, list, TRUE); });
    ILFree(parent);
    return shared;
}

String programIdOf(const String& extensionKey)
{
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, extensionKey.c_str(), &key) != ERROR_SUCCESS)
        return String();
    wchar_t value[programIdLimit / sizeof(wchar_t) + 1] = {};
    DWORD size = programIdLimit;
    DWORD type = 0;
    const LONG read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || type != REG_SZ)
        return String();
    // The stored text need not end in a terminator.
    value[std::min<DWORD>(size / sizeof(wchar_t), programIdLimit / sizeof(wchar_t))] = 0;
    return String(value);
}

// The shell carries out its own commands; the program adds none.
HRESULT CALLBACK folderMenuCallback(IShellFolder*, HWND, IDataObject*, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case DFM_MERGECONTEXTMENU:
        return S_OK;
    case DFM_INVOKECOMMAND:
    case DFM_GETDEFSTATICID:
        return S_FALSE;
    default:
        return E_NOTIMPL;
    }
}

bool isOwnerDrawMessage(UINT message, WPARAM wParam)
{
    return ((message == WM_DRAWITEM || message == WM_MEASUREITEM) && wParam == 0) || message == WM_INITMENUPOPUP;
}

LRESULT CALLBACK menuMessageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (isOwnerDrawMessage(message, wParam)) {
        if (runningMenu.menu2) {
            runningMenu.menu2->HandleMenuMsg(message, wParam, lParam);
            return 1;
        }
        LRESULT result = 1;
        if (runningMenu.menu3)
            runningMenu.menu3->HandleMenuMsg2(message, wParam, lParam, &result);
        return result;
    }
    if (message == WM_MENUCHAR && runningMenu.menu3) {
        LRESULT result = 0;
        runningMenu.menu3->HandleMenuMsg2(message, wParam, lParam, &result);
        return result;
    }
    return CallWindowProcW(runningMenu.previous, window, message, wParam, lParam);
}

// Finds the upgraded interface, which replaces the plain menu.
int upgradeMenu(IContextMenu** menu)
{
    IContextMenu* upgraded = nullptr;
    int kind = MenuWithMenuChar;
    if (FAILED((*menu)->QueryInterface(IID_IContextMenu3, reinterpret_cast<void**>(&upgraded)))) {
        kind = MenuWithOwnerDraw;
        if (FAILED((*menu)->QueryInterface(IID_IContextMenu2, reinterpret_cast<void**>(&upgraded))))
            return PlainMenu;
    }
    (*menu)->Release();
    *menu = upgraded;
    return kind;
}

void subclassOwner(HWND owner, IContextMenu* menu, int kind)
{
    if (kind == PlainMenu)
        return;
    if (kind == MenuWithOwnerDraw)
        runningMenu.menu2 = static_cast<IContextMenu2*>(menu);
    else
        runningMenu.menu3 = static_cast<IContextMenu3*>(menu);
    runningMenu.previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(menuMessageProcedure)));
}

void restoreOwner(HWND owner)
{
    if (runningMenu.previous)
        SetWindowLongPtrW(owner, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(runningMenu.previous));
    runningMenu = RunningMenu();
}

// Wine has the function only by name; older systems only by ordinal.
MultiFilePropertiesFunction multiFileProperties()
{
    HMODULE shell = GetModuleHandleW(L"shell32");
    if (!shell)
        return nullptr;
    FARPROC function = GetProcAddress(shell, "SHMultiFileProperties");
    if (!function)
        function = GetProcAddress(shell, MAKEINTRESOURCEA(716));
    return reinterpret_cast<MultiFilePropertiesFunction>(reinterpret_cast<void*>(function));
}

void showProperties(const std::vector<ShellItemIdList*>& itemIds)
{
    const MultiFilePropertiesFunction properties = multiFileProperties();
    ComRef<IShellFolder> desktop;
    if (!properties || itemIds.empty() || FAILED(SHGetDesktopFolder(desktop.receiveTyped())))
        return;
    ComRef<IDataObject> data;
    auto items = const_cast<PCUITEMID_CHILD_ARRAY>(reinterpret_cast<const PCUITEMID_CHILD*>(itemIds.data()));
    if (FAILED(desktop->GetUIObjectOf(nullptr, UINT(itemIds.size()), items, IID_IDataObject, nullptr,
                                      data.receive())))
        return;
    properties(data.get(), 0);
}

void invokeCommand(IContextMenu* menu, UINT offset)
{
    CMINVOKECOMMANDINFO invoke = {};
    invoke.cbSize = sizeof(invoke);
    invoke.lpVerb = MAKEINTRESOURCEA(offset);
    invoke.nShow = SW_SHOWNORMAL;
    menu->InvokeCommand(&invoke);
}

bool isPropertiesVerb(IContextMenu* menu, UINT offset)
{
    char verb[MAX_PATH] = {};
    if (FAILED(menu->GetCommandString(offset, GCS_VERBA, nullptr, verb, MAX_PATH)))
        return false;
    verb[MAX_PATH - 1] = 0;
    return std::string_view(verb) == "properties";
}

} // namespace

ShellItemSelection::~ShellItemSelection()
{
    release();
}

void ShellItemSelection::release()
{
    if (m_folder)
        m_folder->Release();
    if (m_proxy)
        m_proxy->Release();
    for (ShellItemIdList* list : m_itemIds)
        CoTaskMemFree(list);
    m_folder = nullptr;
    m_proxy = nullptr;
    m_itemIds.clear();
    m_menuIds.clear();
}

IShellFolder* ShellItemSelection::menuFolder()
{
    if (!m_proxy && isBound())
        m_proxy = new ShellFolderProxy(m_folder, m_paths);
    return m_proxy;
}

bool ShellItemSelection::hasDirectory() const
{
    return std::find(m_isDirectory.begin(), m_isDirectory.end(), true) != m_isDirectory.end();
}

bool bindToParentFolder(ShellItemSelection& selection, const StringList& paths)
{
    if (selection.isBound() || paths.isEmpty())
        return false;
    const std::vector<std::pair<String, bool>> kept = existingPaths(paths);
    ComRef<IShellFolder> desktop;
    if (kept.empty() || FAILED(SHGetDesktopFolder(desktop.receiveTyped())))
        return false;
    for (const auto& [path, isDirectory] : kept) {
        PIDLIST_ABSOLUTE list = parsePath(desktop.get(), path);
        if (!list) {
            selection.release();
            return false;
        }
        selection.m_itemIds.push_back(list);
    }
    selection.m_sharesParent = shareParent(selection.m_itemIds);
    IShellFolder* folder = nullptr;
    if (selection.m_sharesParent) {
        if (FAILED(SHBindToParent(selection.m_itemIds.front(), IID_IShellFolder, reinterpret_cast<void**>(&folder),
                                  nullptr))) {
            selection.release();
            return false;
        }
        for (ShellItemIdList* list : selection.m_itemIds)
            selection.m_menuIds.push_back(ILFindLastID(list));
    } else {
        folder = desktop.get();
        folder->AddRef();
        selection.m_menuIds.assign(selection.m_itemIds.begin(), selection.m_itemIds.end());
    }
    selection.m_folder = folder;
    for (const auto& [path, isDirectory] : kept) {
        selection.m_paths.append(path);
        selection.m_isDirectory.push_back(isDirectory);
    }
    return true;
}

void openFolderMenuKeys(const ShellItemSelection& selection, const std::function<bool(const String&)>& open,
                        const std::function<String(const String&)>& programId)
{
    int opened = 0;
    auto tryOpen = [&](const String& name) {
        if (opened < maxFolderMenuKeys && !name.isEmpty() && open(name))
            ++opened;
        return opened < maxFolderMenuKeys;
    };
    tryOpen(L"*");
    tryOpen(L"AllFileSystemObjects");
    if (selection.hasDirectory()) {
        tryOpen(L"Folder");
        tryOpen(L"Directory");
    }
    std::set<std::wstring> seen;
    int index = -1;
    for (const String& path : selection.paths()) {
        ++index;
        const String extension = Path::extension(path, Path::LowerCase);
        if (selection.isDirectory()[std::size_t(index)] || extension.isEmpty())
            continue;
        if (!seen.insert(std::wstring(extension.view())).second)
            continue;
        if (seen.size() > std::size_t(maxFolderMenuKeys) || opened >= maxFolderMenuKeys)
            return;
        const String key = L"." + extension;
        const int before = opened;
        if (!tryOpen(key))
            return;
        if (opened > before)
            tryOpen(programId(key));
    }
}

bool createFolderMenu(ShellItemSelection& selection, void* owner, IContextMenu** menu, int* kind)
{
    if (!selection.isBound() || !menu || !kind)
        return false;
    std::vector<HKEY> keys;
    openFolderMenuKeys(
        selection,
        [&keys](const String& name) {
            HKEY key = nullptr;
            if (RegOpenKeyW(HKEY_CLASSES_ROOT, name.c_str(), &key) != ERROR_SUCCESS)
                return false;
            keys.push_back(key);
            return true;
        },
        programIdOf);
    IShellFolder* folder = selection.menuFolder();
    *menu = nullptr;
    auto items = const_cast<PCUITEMID_CHILD_ARRAY>(reinterpret_cast<const PCUITEMID_CHILD*>(selection.m_menuIds.data()));
    const HRESULT made = CDefFolderMenu_Create2(nullptr, static_cast<HWND>(owner), UINT(selection.m_menuIds.size()),
                                                items, folder, folderMenuCallback, UINT(keys.size()),
                                                keys.data(), menu);
    for (HKEY key : keys)
        RegCloseKey(key);
    if (FAILED(made) || !*menu)
        return false;
    *kind = upgradeMenu(menu);
    return true;
}

bool trackFolderMenu(ShellItemSelection& selection, int x, int y, void* owner)
{
    HWND window = static_cast<HWND>(owner);
    IContextMenu* menu = nullptr;
    int kind = 0;
    if (!selection.isBound() || !IsWindow(window) || !createFolderMenu(selection, owner, &menu, &kind))
        return false;
    HMENU popup = CreatePopupMenu();
    if (!popup || FAILED(menu->QueryContextMenu(popup, UINT(GetMenuItemCount(popup)), firstCommand, lastCommand,
                                                CMF_NORMAL))) {
        if (popup)
            DestroyMenu(popup);
        menu->Release();
        return false;
    }
    subclassOwner(window, menu, kind);
    const UINT command = UINT(TrackPopupMenu(popup, TPM_RETURNCMD, x, y, 0, window, nullptr));
    restoreOwner(window);
    if (command >= firstCommand && command <= lastCommand) {
        const UINT offset = command - firstCommand;
        if (isPropertiesVerb(menu, offset))
            showProperties(selection.m_itemIds);
        else
            invokeCommand(menu, offset);
    }
    DestroyMenu(popup);
    menu->Release();
    return true;
}

int getUIObjectOfPath(void* owner, const String& path, const _GUID& interfaceId, void** object)
{
    PIDLIST_ABSOLUTE list = nullptr;
    if (!object || FAILED(SHParseDisplayName(path.c_str(), nullptr, &list, 0, nullptr)))
        return 1;
    ComRef<IShellFolder> parent;
    PCUITEMID_CHILD item = nullptr;
    HRESULT result = SHBindToParent(list, IID_IShellFolder, parent.receive(), &item);
    if (SUCCEEDED(result))
        result = parent->GetUIObjectOf(static_cast<HWND>(owner), 1, &item, interfaceId, nullptr, object);
    CoTaskMemFree(list);
    return SUCCEEDED(result) ? 0 : 1;
}

void showShellContextMenu(const StringList& paths, int x, int y, void* owner)
{
    ShellItemSelection selection;
    if (bindToParentFolder(selection, paths))
        trackFolderMenu(selection, x, y, owner);
}
