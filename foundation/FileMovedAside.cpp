#include "foundation/FileMovedAside.h"

#include "foundation/FileSystem.h"
#include "foundation/NameBeside.h"

// A link whose file cannot be reached is listed as a file on Windows, but it
// holds no damage: moving it would part the library from the file it leads to.
String moveAsideAsBad(const String& path)
{
    if (!fileExists(path) || !FileSystem::identity(path).exists)
        return {};
    const String target = freeNameBeside(path, String(L"bad"));
    if (target.isEmpty() || !FileSystem::move(path, target))
        return {};
    return target;
}
