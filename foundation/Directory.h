#pragma once

#include "foundation/DateTime.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <cstdint>

// The system facade's folder operations, over the file-system functions.

// One folder path, asked about on the disk at each call.
class Directory {
public:
    explicit Directory(const String& path) : m_path(path) {}

    const String& path() const { return m_path; }
    bool exists() const;
    // Local times; the null DateTime when they cannot be read.
    DateTime creationTime() const;
    DateTime accessTime() const;
    DateTime writeTime() const;

private:
    String m_path;
};

// Creates the folder and every missing parent; false for an empty path or
// one of maxPathLength characters or more.
bool createDirectory(const String& path);
// Removes the folder when it exists and is empty.
bool removeDirectory(const String& path);
bool canWriteTo(const String& path);
// The listing and counting of FileSystem.h (FileListFlags).
bool findFiles(StringList& out, const String& folder, int flags, const StringList& extensions = StringList());
// -1 when the folder does not exist.
std::int64_t countMatchingFiles(const String& folder, int flags, const StringList& extensions = StringList());
// Total size of the files in the tree; 0 when the folder does not exist.
std::uint64_t directorySize(const String& folder);
