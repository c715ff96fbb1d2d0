#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"

#include <functional>
#include <vector>

// The shell's types, without the platform header.
struct IShellFolder;
struct IContextMenu;
struct _GUID;
using ShellItemIdList = struct _ITEMIDLIST;

class ShellFolderProxy;

// Explorer's own context menu for the files and folders behind a selection:
// the paths become shell items, the shell's default folder menu is built for
// them from the file-type keys of the registry, shown, and the chosen
// command carried out by the shell (the properties entry opens one sheet for
// every item). showShellContextMenu (PlatformServices.h) is the entry point.
// Nothing is reported to the user. UI thread only.

// The paths of one right click bound to the shell. When every kept path lies
// in one folder, the menu sees that folder and the items' last IDs; else the
// desktop folder and the full IDs, which are what the shell expects of it.
class ShellItemSelection {
public:
    ShellItemSelection() = default;
    ~ShellItemSelection();
    ShellItemSelection(const ShellItemSelection&) = delete;
    ShellItemSelection& operator=(const ShellItemSelection&) = delete;

    // The existing paths, longest first when one of them is a folder.
    const StringList& paths() const { return m_paths; }
    // Whether the kept path at the same index is a folder.
    const std::vector<bool>& isDirectory() const { return m_isDirectory; }
    bool hasDirectory() const;
    int itemCount() const { return int(m_itemIds.size()); }
    bool isBound() const { return m_folder != nullptr; }
    // Whether the menu folder is the paths' shared parent (not the desktop).
    bool sharesParent() const { return m_sharesParent; }
    // The folder the shell's menu is given: the bound folder behind a proxy
    // that answers with the program's own data object for the kept paths.
    // Made on first use and held by the selection; null while unbound.
    IShellFolder* menuFolder();

private:
    friend bool bindToParentFolder(ShellItemSelection& selection, const StringList& paths);
    friend bool createFolderMenu(ShellItemSelection& selection, void* owner, IContextMenu** menu, int* kind);
    friend bool trackFolderMenu(ShellItemSelection& selection, int x, int y, void* owner);

    void release();

    StringList m_paths;
    std::vector<bool> m_isDirectory;
    // One full ID list per kept path, relative to the desktop; owned.
    std::vector<ShellItemIdList*> m_itemIds;
    // What the menu gets: the shared parent's last IDs (pointing into
    // m_itemIds) or the full IDs.
    std::vector<const ShellItemIdList*> m_menuIds;
    // The folder m_menuIds are relative to, with a reference.
    IShellFolder* m_folder = nullptr;
    bool m_sharesParent = false;
    ShellFolderProxy* m_proxy = nullptr;
};

// Keeps the paths that exist and binds them; false when none exists or the
// shell cannot parse one. A selection is bound once.
bool bindToParentFolder(ShellItemSelection& selection, const StringList& paths);

// Menu kinds: 1 IContextMenu, 2 IContextMenu2, 3 IContextMenu3.
enum ShellMenuKind : int { PlainMenu = 1, MenuWithOwnerDraw = 2, MenuWithMenuChar = 3 };
// At most this many file-type keys go to the shell.
constexpr int maxFolderMenuKeys = 16;

// The file-type keys under HKEY_CLASSES_ROOT for a selection, in order: "*",
// "AllFileSystemObjects", with a folder "Folder" and "Directory", then for
// each distinct lower-case extension of the files (first met first) ".ext"
// and its program id. open is asked for each name in turn and tells whether
// the key opened (and is now held); a key that does not open takes no place,
// and asking stops once 16 opened. programId reads the default value of an
// extension key that opened.
void openFolderMenuKeys(const ShellItemSelection& selection, const std::function<bool(const String&)>& open,
                        const std::function<String(const String&)>& programId);

// Builds the shell's menu for a bound selection; the caller releases *menu.
bool createFolderMenu(ShellItemSelection& selection, void* owner, IContextMenu** menu, int* kind);
// Shows the menu at a screen point and carries out the choice; true when the
// menu ran, whether or not a command was chosen.
bool trackFolderMenu(ShellItemSelection& selection, int x, int y, void* owner);
// 0 when the shell gave the path's UI object of the interface, else 1.
int getUIObjectOfPath(void* owner, const String& path, const _GUID& interfaceId, void** object);
