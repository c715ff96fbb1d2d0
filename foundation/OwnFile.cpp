#include "foundation/OwnFile.h"

#include "foundation/FileInUse.h"

namespace {

// now is the path's identity, asked first as it costs no read of the file.
bool isVersion(const String& path, const FileIdentity& now, const std::optional<FileVersion>& version)
{
    return version && now == version->identity && FileSystem::version(path) == version;
}

bool holdsVersion(const String& path, const std::optional<FileVersion>& version)
{
    const FileIdentity now = FileSystem::identity(path);
    return now.exists && isVersion(path, now, version);
}

} // namespace

bool mayWriteOver(const String& target, const std::optional<FileVersion>& own)
{
    const FileIdentity now = FileSystem::identity(target);
    return now.exists ? isVersion(target, now, own) : !fileExists(target);
}

bool keepsVersion(const String& path, const std::optional<FileVersion>& written)
{
    const std::optional<FileVersion> now = FileSystem::version(path);
    if (now)
        return now == written;
    return written && isFileInUse(path) && FileSystem::identity(path).isUntouchedSince(written->identity);
}

// A copy the user made read-only is one to keep, whatever it holds; a link
// where this run left a file is another program's doing, whatever it leads
// to.
CopyState copyState(const String& path, const std::optional<FileVersion>& written)
{
    if (directoryExists(path))
        return CopyState::Folder;
    if (!fileExists(path))
        return CopyState::Gone;
    if (FileSystem::isLink(path))
        return CopyState::Changed;
    if (isFileInUse(path))
        return CopyState::InUse;
    if (FileSystem::isReadOnly(path))
        return CopyState::ReadOnly;
    return holdsVersion(path, written) ? CopyState::AsWritten : CopyState::Changed;
}

std::optional<FileVersion> writeOwnFile(const String& path, const std::optional<FileVersion>& own,
                                        const std::function<bool(OutputStream&)>& write)
{
    if (fileExists(path))
        return replaceOwnFile(path, write, [&] { return mayWriteOver(path, own); });
    const String folder = path.mid(0, path.lastIndexOf(L'\\') + 1);
    if (!createPath(folder))
        return std::nullopt;
    return writeNewFile(path, write);
}
