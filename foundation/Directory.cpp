#include "foundation/Directory.h"

#include "foundation/FileSystem.h"
#include "foundation/Path.h"

namespace {


} // namespace

bool Directory::exists() const
{
    return directoryExists(m_path);
}

DateTime Directory::creationTime() const
{
    return DateTime::fileDateTime(m_path, DateTime::CreationTime, true);
}

DateTime Directory::accessTime() const
{
    return DateTime::fileDateTime(m_path, DateTime::LastAccessTime, true);
}

DateTime Directory::writeTime() const
{
    return DateTime::fileDateTime(m_path, DateTime::LastWriteTime, true);
}

bool createDirectory(const String& path)
{
    if (!Path::hasValidLength(path))
        return false;
    return createPath(Path::withTrailingSeparator(path));
}

bool removeDirectory(const String& path)
{
    return removeDirectoryIfExists(path);
}

bool canWriteTo(const String& path)
{
    return canWriteToDirectory(path);
}

bool findFiles(StringList& out, const String& folder, int flags, const StringList& extensions)
{
    return listFiles(out, folder, flags, extensions);
}

std::int64_t countMatchingFiles(const String& folder, int flags, const StringList& extensions)
{
    return countFiles(folder, flags, extensions);
}

std::uint64_t directorySize(const String& folder)
{
    if (!directoryExists(folder))
        return 0;
    return directorySizeRecursive(Path::withTrailingSeparator(folder));
}
