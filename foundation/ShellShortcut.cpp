#include "foundation/ShellShortcut.h"

#include "foundation/ComRef.h"
#include "foundation/FileSystem.h"

#include <windows.h>
#include <objbase.h>
#include <shobjidl.h>

namespace {

// The shell link object's class id, spelled out so the library needs no
// import library of GUIDs.
const CLSID shellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

bool createShellLink(ComRef<IShellLinkW>& link)
{
    return SUCCEEDED(
        CoCreateInstance(shellLinkClass, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkW), link.receive()));
}

bool persistFileOf(ComRef<IShellLinkW>& link, ComRef<IPersistFile>& file)
{
    return SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), file.receive()));
}

} // namespace

bool createShortcut(const String& linkPath, const String& targetPath, const String& description)
{
    if (linkPath.isEmpty() || targetPath.isEmpty() || fileExists(linkPath) || !fileExists(targetPath))
        return false;
    ComRef<IShellLinkW> link;
    if (!createShellLink(link) || FAILED(link->SetPath(targetPath.c_str())))
        return false;
    if (!description.isEmpty() && FAILED(link->SetDescription(description.c_str())))
        return false;
    ComRef<IPersistFile> file;
    return persistFileOf(link, file) && SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

String shortcutTarget(const String& linkPath)
{
    if (linkPath.isEmpty() || !fileExists(linkPath))
        return {};
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (!createShellLink(link) || !persistFileOf(link, file) || FAILED(file->Load(linkPath.c_str(), STGM_READ)))
        return {};
    wchar_t target[MAX_PATH + 1] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return {};
    return String(target);
}
