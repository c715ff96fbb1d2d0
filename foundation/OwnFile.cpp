#include "foundation/OwnFile.h"

#include "foundation/FileStream.h"

namespace {

// now is the target's identity, asked first as it costs no read of the file.
bool isOwnOrNothing(const String& target, const FileIdentity& now, const std::optional<FileVersion>& own)
{
    if (!now.exists)
        return !fileExists(target);
    return own && now == own->identity && FileSystem::version(target) == own;
}

} // namespace

bool mayWriteOver(const String& target, const std::optional<FileVersion>& own)
{
    return isOwnOrNothing(target, FileSystem::identity(target), own);
}

bool claimOwnFile(const String& target, std::optional<FileVersion>& own)
{
    const FileIdentity now = FileSystem::identity(target);
    if (!isOwnOrNothing(target, now, own))
        return false;
    if (now.exists)
        return true;
    const String folder = target.mid(0, target.lastIndexOf(L'\\') + 1);
    if (!createPath(folder) || !FileSystem::createNew(target))
        return false;
    own = FileSystem::version(target);
    return true;
}

bool replaceWhileOwn(const String& target, std::optional<FileVersion>& own,
                     const std::function<bool(OutputStream&)>& write)
{
    std::optional<FileVersion> written = replaceOwnFile(target, write, [&] { return mayWriteOver(target, own); });
    if (!written)
        return false;
    own = std::move(written);
    return true;
}
