#include "foundation/NewerFilesBeside.h"

#include "foundation/FileSystem.h"
#include "foundation/NameBeside.h"

#include <vector>

namespace {

// A copy beside is left empty when the machine stops while a save has its
// name reserved; renamed over the file, it would put an empty one in place.
// A link counts by the file it leads to.
bool holdsSession(const String& copy)
{
    return FileSystem::identity(copy).size > 0;
}

} // namespace

StringList newerFilesBeside(const String& path)
{
    const String target = FileSystem::finalPath(path);
    const int separator = target.lastIndexOf(L'\\');
    if (separator < 0)
        return {};
    const String name = target.mid(separator + 1);
    // Every save puts a whole file in its place, so an empty one (made at a
    // start, or by a save that ended before its file was whole) holds no
    // session.
    const FileIdentity place = FileSystem::identity(target);
    const std::uint64_t since = place.size > 0 ? place.writeTime : 0;
    std::vector<FileEntry> entries;
    StringList extensions;
    extensions.append(String(sessionExtension));
    listFileEntries(entries, target.mid(0, separator), ListFiles, extensions);
    StringList newer;
    for (const FileEntry& entry : entries) {
        if (entry.writeTime > since &&
            isNameBeside(entry.path.mid(entry.folderLength), name, String(sessionExtension)) &&
            holdsSession(entry.path))
            newer.append(entry.path);
    }
    newer.sort();
    return newer;
}
