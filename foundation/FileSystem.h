#pragma once

#include "foundation/Crc32.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <compare>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class DateTime;

// Operations on files and folders named by full paths. Every function
// reports failure by its result and never shows a message; the existence
// tests never raise the system's "no disk" dialog.

// Bits of a listing: 1 files, 2 folders, 4 skip hidden entries, 8 descend
// into subfolders, 16 names instead of full paths.
enum FileListFlags : int {
    ListFiles = 1,
    ListFolders = 2,
    SkipHidden = 4,
    Recurse = 8,
    NamesOnly = 16,
};

// Attribute code bits: 1 hidden, 2 read-only.
enum FileAttributeCode : int { AttributeHidden = 1, AttributeReadOnly = 2 };

bool fileExists(const String& path);
bool directoryExists(const String& path);

// While one lives on a thread, directoryExists on that thread remembers
// which folders above the paths it is asked about exist, and answers a path
// below a missing folder without asking the disk. Loading a library whose
// items lie on a drive that is gone then costs one query per missing folder
// rather than one per item. Only for short runs that take the disk as
// unchanging; scopes nest.
class FolderExistenceScope {
public:
    FolderExistenceScope();
    ~FolderExistenceScope();
    FolderExistenceScope(const FolderExistenceScope&) = delete;
    FolderExistenceScope& operator=(const FolderExistenceScope&) = delete;

    bool directoryExists(const String& path);

private:
    // Looked up by views into one lowered path, so a question costs no
    // allocation per folder level.
    struct ViewHash {
        using is_transparent = void;
        std::size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>{}(text); }
    };

    bool knownFolder(const String& path, const String& lowered, int length);

    FolderExistenceScope* m_outer;
    // Lower-cased folder paths without their final '\'.
    std::unordered_map<std::wstring, bool, ViewHash, std::equal_to<>> m_known;
};
bool deleteFile(const String& path);
// Creates every missing folder of the path that is followed by a '\', so a
// path ending in '\' is created whole. False for a path of more than
// maxPathLength characters or at the first folder that cannot be made.
bool createPath(const String& path);
// Removes an existing empty directory.
bool removeDirectoryIfExists(const String& path);
// Whether the current user may write into the existing directory.
bool canWriteToDirectory(const String& path);
// Total size of the files in the tree. Linked folders (junctions, symbolic
// links) are followed; a folder reached twice counts once, so a link loop
// ends.
std::uint64_t directorySizeRecursive(const String& folder);
// Counts or lists the folder's entries by FileListFlags. A non-empty
// extension list keeps only files ending in "." + one of them, ignoring
// case. Listing appends to out in the platform's order. Walks with
// Recurse follow linked folders but enter each folder once, whichever path
// leads to it, so a link loop ends. -1 or false when the folder does not
// exist.
std::int64_t countFiles(const String& folder, int flags, const StringList& extensions = StringList());
bool listFiles(StringList& out, const String& folder, int flags, const StringList& extensions = StringList());

// An entry of a listing with what the walk read of it, so callers need not
// ask the disk again. Times are platform file times in UTC.
struct FileEntry {
    // The full path; a folder's has no final '\'.
    String path;
    // The length of the path's folder part, with its final '\'.
    int folderLength = 0;
    bool isFolder = false;
    std::uint64_t creationTime = 0;
    std::uint64_t writeTime = 0;
};

// As listFiles, with the entries' kinds and times; NamesOnly is ignored.
bool listFileEntries(std::vector<FileEntry>& out, const String& folder, int flags,
                     const StringList& extensions = StringList());

// What identifies a file or a folder whichever path or link leads to it:
// its volume's serial number and its 128-bit file id (the 64-bit file index
// where the system gives no more; on some file systems that one is not
// unique). An id of 0 is no identity: some network redirectors give it to
// every folder.
struct FileId {
    std::uint64_t volume = 0;
    std::uint64_t high = 0;
    std::uint64_t low = 0;

    bool isKnown() const { return high != 0 || low != 0; }

    auto operator<=>(const FileId&) const = default;
};

// What tells one file at a path from another: its id, size and last-write
// time. A file put in its place, even of the same size and time, differs by
// its id; a rewrite in place that keeps the size and time does not differ,
// nor, where the file system hands the id straight on (ext4 under Wine), a
// file deleted and made anew: FileVersion tells those apart.
struct FileIdentity {
    bool exists = false;
    FileId id;
    std::uint64_t size = 0;
    std::uint64_t writeTime = 0;
    // When anything of the file last moved (bytes, times, attributes), which
    // no program can set back: it tells a held file, whose bytes cannot be
    // read, rewritten behind a restored write time (isUntouchedSince). Not
    // part of ==: a readable file is told by its bytes, which an attribute
    // a backup tool clears leaves as they were.
    std::uint64_t changeTime = 0;

    bool operator==(const FileIdentity& other) const
    {
        return exists == other.exists && id == other.id && size == other.size && writeTime == other.writeTime;
    }
    // The same file, nothing of it moved since then.
    bool isUntouchedSince(const FileIdentity& then) const { return *this == then && changeTime == then.changeTime; }
};

// One version of a file: which file it was and the checksum of its bytes.
struct FileVersion {
    FileIdentity identity;
    ContentChecksum content;

    bool operator==(const FileVersion&) const = default;
};

namespace FileSystem {

bool exists(const String& path);
// The id of the file or folder the path leads to (through links); none
// when it cannot be read.
std::optional<FileId> id(const String& path);
// The identity of the file the path leads to (through links); exists is
// false when there is none or it cannot be reached.
FileIdentity identity(const String& path);
// The identity of the file open on the native handle; exists is false for
// a folder or when it cannot be read.
FileIdentity identityOfOpenFile(void* handle);
// The path of the file that the path's links lead to, so that a save can
// replace the file itself rather than the link; the path as given when it
// leads to no file.
String finalPath(const String& path);
// Whether a link (a symbolic link, a junction) stands at the path itself;
// links among the folders above it do not count.
bool isLink(const String& path);
// The same for what is open on the native handle, opened at the path
// without following a link where the system allows (File::openToRemove).
bool isOpenLink(void* handle, const String& path);
// 0 when the size cannot be read.
std::uint64_t fileSize(const String& path);
bool isEmpty(const String& path);
// The size as formatByteSize gives it; the unit goes to unit.
String fileSizeText(const String& path, int& unit);

DateTime creationTime(const String& path, bool local);
DateTime accessTime(const String& path, bool local);
DateTime writeTime(const String& path, bool local);
bool copyFileTimes(const String& destination, const String& source);
bool setFileTime(const String& path, const DateTime& value, bool local);

// FileAttributeCode bits; 0 also when the path does not exist.
int attributes(const String& path);
bool isHidden(const String& path);
bool isReadOnly(const String& path);
// which: 1 hidden, 2 read-only. False for 0 or when the attributes cannot
// be read; other values write the attributes back unchanged.
bool setAttribute(const String& path, int which, bool on);
// True when the file cannot be opened for exclusive writing, which
// includes a missing file.
bool isLocked(const String& path);
// Creates the file, or truncates it, to 0 bytes.
bool createEmpty(const String& path);
// Creates an empty file only where none exists; false when one does, so a
// file that appears meanwhile is never cut short.
bool createNew(const String& path);
bool remove(const String& path);
// Removes what stands at the path itself, through one handle: a file, or a
// link without the file it leads to. A link that the system opens only as
// its file (a Linux link under Wine) stays, and so does that file.
bool removeName(const String& path);
// Silently, without confirmation; false for a missing path.
bool moveToRecycleBin(const String& path);
// Overwrites an existing destination.
bool copy(const String& source, const String& destination);
bool move(const String& source, const String& destination);
// Moves the file to a name that nothing holds, never replacing what does:
// not even a link whose file is on a drive not there, which Wine neither
// lists nor keeps from being replaced. Written through to the disk.
bool moveToFreeName(const String& source, const String& destination);
// Moves an existing file to newName in its own folder.
bool rename(const String& path, const String& newName);

} // namespace FileSystem
