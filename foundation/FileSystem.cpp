#include "foundation/FileSystem.h"

#include "foundation/DateTime.h"
#include "foundation/EnteredFolders.h"
#include "foundation/File.h"
#include "foundation/Locale.h"
#include "foundation/Path.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// Attributes read with the "insert a disk" dialog switched off for this
// thread, so a drive without media just fails.
DWORD quietAttributes(const String& path)
{
    DWORD oldMode = 0;
    const bool changed = SetThreadErrorMode(GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &oldMode);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (changed)
        SetThreadErrorMode(oldMode, nullptr);
    return attributes;
}

bool hasBothPaths(const String& a, const String& b)
{
    return !a.isEmpty() && !b.isEmpty();
}


class ScopedHandle {
public:
    ScopedHandle() = default;
    ~ScopedHandle()
    {
        if (m_handle)
            CloseHandle(m_handle);
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE* receive() { return &m_handle; }
    HANDLE get() const { return m_handle; }

private:
    HANDLE m_handle = nullptr;
};

bool isDotEntry(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Calls visit for every entry of the folder (which ends in '\') but "." and
// "..". False when the enumeration cannot start.
template <typename Visit>
bool forEachEntry(const String& folder, Visit visit)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L'*').c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (!isDotEntry(data.cFileName))
            visit(data);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return true;
}

bool isDirectoryEntry(const WIN32_FIND_DATAW& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool isLinkEntry(const WIN32_FIND_DATAW& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A subfolder whose search pattern no longer fits the path limit cannot be
// opened, which also bounds a walk's depth.
bool mayDescend(const WIN32_FIND_DATAW& data, const String& subfolder, EnteredFolders& entered)
{
    return Path::hasValidLength(subfolder + L'*') && entered.enter(subfolder, isLinkEntry(data));
}

struct FileWalk {
    EnteredFolders entered;
    int flags = 0;
    StringList suffixes;
    StringList* out = nullptr;
    std::vector<FileEntry>* entries = nullptr;
    std::int64_t count = 0;
};

bool matchesSuffix(const String& name, const StringList& suffixes)
{
    if (suffixes.isEmpty())
        return true;
    for (const String& suffix : suffixes) {
        if (name.endsWith(suffix, false))
            return true;
    }
    return false;
}

std::uint64_t fileTimeValue(const FILETIME& time)
{
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

void take(FileWalk& walk, const String& folder, const String& name, const WIN32_FIND_DATAW& data)
{
    ++walk.count;
    if (walk.out)
        walk.out->append((walk.flags & NamesOnly) ? name : folder + name);
    if (walk.entries)
        walk.entries->push_back({folder + name, folder.length(), isDirectoryEntry(data),
                                 fileTimeValue(data.ftCreationTime), fileTimeValue(data.ftLastWriteTime)});
}

void walkFolder(FileWalk& walk, const String& folder)
{
    forEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
        if ((walk.flags & SkipHidden) && (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN))
            return;
        const String name(data.cFileName);
        if (!isDirectoryEntry(data)) {
            if ((walk.flags & ListFiles) && matchesSuffix(name, walk.suffixes))
                take(walk, folder, name, data);
            return;
        }
        if (walk.flags & ListFolders)
            take(walk, folder, name, data);
        const String subfolder = folder + name + L'\\';
        if ((walk.flags & Recurse) && mayDescend(data, subfolder, walk.entered))
            walkFolder(walk, subfolder);
    });
}

bool startWalk(FileWalk& walk, const String& folder, int flags, const StringList& extensions)
{
    if (!directoryExists(folder))
        return false;
    walk.flags = flags;
    for (const String& extension : extensions)
        walk.suffixes.append(L'.' + extension);
    const String root = Path::withTrailingSeparator(folder);
    walk.entered.enter(root, false);
    walkFolder(walk, root);
    return true;
}

} // namespace

bool fileExists(const String& path)
{
    if (path.isEmpty())
        return false;
    const DWORD attributes = quietAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

thread_local FolderExistenceScope* activeFolderScope = nullptr;

bool askDiskForFolder(const String& path)
{
    const DWORD attributes = quietAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

bool directoryExists(const String& path)
{
    if (path.isEmpty())
        return false;
    if (activeFolderScope)
        return activeFolderScope->directoryExists(path);
    return askDiskForFolder(path);
}

FolderExistenceScope::FolderExistenceScope() : m_outer(activeFolderScope)
{
    activeFolderScope = this;
}

FolderExistenceScope::~FolderExistenceScope()
{
    activeFolderScope = m_outer;
}

// Top-down over the folders between the root and the path: a missing one
// answers for everything below it. The path itself is asked each time.
bool FolderExistenceScope::directoryExists(const String& path)
{
    // Folders above the root ("c:\", "\\server\share\") are never judged;
    // for a path whose root is not known, none are.
    const int root = Path::rootLength(path);
    const String lowered = root == 0 ? String() : path.toLower();
    for (int end = root == 0 ? -1 : path.indexOf(L'\\', root); end > 0 && end + 1 < path.length();
         end = path.indexOf(L'\\', end + 1)) {
        if (!knownFolder(path, lowered, end))
            return false;
    }
    return askDiskForFolder(path);
}

bool FolderExistenceScope::knownFolder(const String& path, const String& lowered, int length)
{
    const std::wstring_view key = lowered.view().substr(0, static_cast<std::size_t>(length));
    const auto found = m_known.find(key);
    if (found != m_known.end())
        return found->second;
    const bool exists = askDiskForFolder(path.mid(0, length));
    m_known.emplace(std::wstring(key), exists);
    return exists;
}

bool deleteFile(const String& path)
{
    return !path.isEmpty() && DeleteFileW(path.c_str());
}

bool createPath(const String& path)
{
    if (directoryExists(path) || path.isEmpty())
        return true;
    if (path.length() > maxPathLength)
        return false;
    // The root itself is never made: Windows refuses to create "\\" and
    // "\\server\" on the way to a share.
    for (int i = Path::rootLength(path); i < path.length(); ++i) {
        if (path[i] != L'\\')
            continue;
        const String sofar = path.mid(0, i + 1);
        if (!directoryExists(sofar) && !CreateDirectoryW(sofar.c_str(), nullptr))
            return false;
    }
    return true;
}

bool removeDirectoryIfExists(const String& path)
{
    return directoryExists(path) && RemoveDirectoryW(path.c_str());
}

bool canWriteToDirectory(const String& path)
{
    if (!directoryExists(path))
        return false;
    const SECURITY_INFORMATION info = OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    DWORD needed = 0;
    if (GetFileSecurityW(path.c_str(), info, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER ||
        needed == 0)
        return false;
    std::vector<std::uint8_t> descriptor(needed);
    if (!GetFileSecurityW(path.c_str(), info, descriptor.data(), needed, &needed))
        return false;

    ScopedHandle token;
    ScopedHandle impersonation;
    const DWORD tokenAccess = TOKEN_IMPERSONATE | TOKEN_QUERY | TOKEN_DUPLICATE | STANDARD_RIGHTS_READ;
    if (!OpenProcessToken(GetCurrentProcess(), tokenAccess, token.receive()) ||
        !DuplicateToken(token.get(), SecurityImpersonation, impersonation.receive()))
        return false;

    GENERIC_MAPPING mapping = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
    DWORD access = GENERIC_WRITE;
    MapGenericMask(&access, &mapping);
    PRIVILEGE_SET privileges = {};
    DWORD privilegesLength = sizeof(privileges);
    DWORD granted = 0;
    BOOL allowed = FALSE;
    return AccessCheck(descriptor.data(), impersonation.get(), access, &mapping, &privileges, &privilegesLength,
                       &granted, &allowed) &&
           allowed;
}

namespace {

std::uint64_t treeSize(const String& folder, EnteredFolders& entered)
{
    std::uint64_t total = 0;
    forEachEntry(folder, [&](const WIN32_FIND_DATAW& data) {
        if (!isDirectoryEntry(data)) {
            total += (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            return;
        }
        const String subfolder = folder + data.cFileName + L'\\';
        if (mayDescend(data, subfolder, entered))
            total += treeSize(subfolder, entered);
    });
    return total;
}

} // namespace

std::uint64_t directorySizeRecursive(const String& folder)
{
    const String base = Path::withTrailingSeparator(folder);
    EnteredFolders entered;
    entered.enter(base, false);
    return treeSize(base, entered);
}

std::int64_t countFiles(const String& folder, int flags, const StringList& extensions)
{
    FileWalk walk;
    if (!startWalk(walk, folder, flags, extensions))
        return -1;
    return walk.count;
}

bool listFiles(StringList& out, const String& folder, int flags, const StringList& extensions)
{
    FileWalk walk;
    walk.out = &out;
    return startWalk(walk, folder, flags, extensions);
}

bool listFileEntries(std::vector<FileEntry>& out, const String& folder, int flags, const StringList& extensions)
{
    FileWalk walk;
    walk.entries = &out;
    return startWalk(walk, folder, flags & ~NamesOnly, extensions);
}

bool FileSystem::exists(const String& path)
{
    return fileExists(path);
}

std::uint64_t FileSystem::fileSize(const String& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.isEmpty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool FileSystem::isEmpty(const String& path)
{
    return fileSize(path) == 0;
}

String FileSystem::fileSizeText(const String& path, int& unit)
{
    return formatByteSize(fileSize(path), unit);
}

DateTime FileSystem::creationTime(const String& path, bool local)
{
    return DateTime::fileDateTime(path, DateTime::CreationTime, local);
}

DateTime FileSystem::accessTime(const String& path, bool local)
{
    return DateTime::fileDateTime(path, DateTime::LastAccessTime, local);
}

DateTime FileSystem::writeTime(const String& path, bool local)
{
    return DateTime::fileDateTime(path, DateTime::LastWriteTime, local);
}

bool FileSystem::copyFileTimes(const String& destination, const String& source)
{
    return DateTime::copyFileTimes(destination, source);
}

bool FileSystem::setFileTime(const String& path, const DateTime& value, bool local)
{
    return DateTime::setFileDateTime(path, value, local);
}

int FileSystem::attributes(const String& path)
{
    if (path.isEmpty())
        return 0;
    const DWORD attributes = quietAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 0;
    int code = 0;
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        code |= AttributeHidden;
    if (attributes & FILE_ATTRIBUTE_READONLY)
        code |= AttributeReadOnly;
    return code;
}

bool FileSystem::isHidden(const String& path)
{
    return attributes(path) & AttributeHidden;
}

bool FileSystem::isReadOnly(const String& path)
{
    return attributes(path) & AttributeReadOnly;
}

bool FileSystem::setAttribute(const String& path, int which, bool on)
{
    if (which == 0 || path.isEmpty())
        return false;
    DWORD attributes = quietAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD bit = 0;
    if (which == AttributeHidden)
        bit = FILE_ATTRIBUTE_HIDDEN;
    else if (which == AttributeReadOnly)
        bit = FILE_ATTRIBUTE_READONLY;
    attributes = on ? attributes | bit : attributes & ~bit;
    // "Normal" is only valid alone.
    attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL);
    return SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool FileSystem::isLocked(const String& path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(file);
    return false;
}

namespace {

bool createWith(const String& path, DWORD disposition)
{
    if (path.isEmpty())
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// Attribute access only: another program's handle, whatever it shares,
// does not keep it out.
HANDLE openForAttributes(const String& path, DWORD flags = 0)
{
    if (path.isEmpty())
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
}

// The system's 128-bit file id record (from Windows 8 on), declared here
// because the build targets Windows 7, where the call fails instead.
constexpr auto fileIdInformation = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdRecord {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

FileId idOfRecord(const FileIdRecord& record)
{
    FileId id{record.volumeSerialNumber};
    std::memcpy(&id.low, record.fileId, 8);
    std::memcpy(&id.high, record.fileId + 8, 8);
    return id;
}

FileId idOfHandle(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& info)
{
    FileIdRecord record;
    if (GetFileInformationByHandleEx(handle, fileIdInformation, &record, sizeof(record)))
        return idOfRecord(record);
    return {info.dwVolumeSerialNumber, 0, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Each call that answers with the volume's serial number asks the volume,
// which under Wine costs more than everything else about a file: the id
// record brings it once, and size, time and kind come from calls that do
// not ask. Nothing where the id record is unknown (before Windows 8).
std::optional<FileIdentity> identityFromRecords(HANDLE handle)
{
    FileIdRecord record;
    FILE_STANDARD_INFO standard;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(handle, fileIdInformation, &record, sizeof(record))
        || !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof(standard))
        || !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic)))
        return std::nullopt;
    if (standard.Directory)
        return FileIdentity{};
    return FileIdentity{true, idOfRecord(record), static_cast<std::uint64_t>(standard.EndOfFile.QuadPart),
                        static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart),
                        static_cast<std::uint64_t>(basic.ChangeTime.QuadPart)};
}

// Whether the handle is open on a link itself (a name surrogate), as
// Windows opens one with FILE_FLAG_OPEN_REPARSE_POINT.
bool isLinkItself(HANDLE handle)
{
    FILE_ATTRIBUTE_TAG_INFO tag;
    return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof(tag)) &&
           (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(tag.ReparseTag);
}

// The drive form of a final path: "\\?\C:\..." or "\\?\UNC\server\...".
String withoutLongPrefix(const String& path)
{
    if (path.startsWith(String(L"\\\\?\\UNC\\")))
        return L"\\\\" + path.mid(8);
    if (path.startsWith(String(L"\\\\?\\")))
        return path.mid(4);
    return path;
}

// The drive form of the path of the file open on the handle; empty when
// the system cannot give it.
String finalPathOfOpenFile(HANDLE handle)
{
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0 || length >= buffer.size())
        return {};
    return withoutLongPrefix(String(buffer.data(), static_cast<int>(length)));
}

} // namespace

bool FileSystem::createEmpty(const String& path)
{
    return createWith(path, CREATE_ALWAYS);
}

bool FileSystem::createNew(const String& path)
{
    return createWith(path, CREATE_NEW);
}

std::optional<FileId> FileSystem::id(const String& path)
{
    const HANDLE opened = openForAttributes(path);
    if (opened == INVALID_HANDLE_VALUE)
        return std::nullopt;
    ScopedHandle handle;
    *handle.receive() = opened;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.get(), &info))
        return std::nullopt;
    return idOfHandle(handle.get(), info);
}

FileIdentity FileSystem::identity(const String& path)
{
    const HANDLE opened = openForAttributes(path);
    if (opened == INVALID_HANDLE_VALUE)
        return {};
    ScopedHandle handle;
    *handle.receive() = opened;
    return identityOfOpenFile(handle.get());
}

FileIdentity FileSystem::identityOfOpenFile(void* handle)
{
    if (!handle)
        return {};
    if (const std::optional<FileIdentity> identity = identityFromRecords(handle))
        return *identity;
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandle(handle, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        || !GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof(basic)))
        return {};
    return {true, idOfHandle(handle, info), (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
            fileTimeValue(info.ftLastWriteTime), static_cast<std::uint64_t>(basic.ChangeTime.QuadPart)};
}

String FileSystem::finalPath(const String& path)
{
    const HANDLE opened = openForAttributes(path);
    if (opened == INVALID_HANDLE_VALUE)
        return path;
    ScopedHandle handle;
    *handle.receive() = opened;
    const String final = finalPathOfOpenFile(handle.get());
    return final.isEmpty() ? path : final;
}

bool FileSystem::isLink(const String& path)
{
    const HANDLE opened = openForAttributes(path, FILE_FLAG_OPEN_REPARSE_POINT);
    if (opened == INVALID_HANDLE_VALUE)
        return false;
    ScopedHandle handle;
    *handle.receive() = opened;
    return isOpenLink(handle.get(), path);
}

// Windows opens the link itself, which says what it is: a name surrogate,
// unlike the reparse points of cloud placeholders and compressed files.
// Wine opens the file a Linux link leads to whatever the flags, and only
// that file's final path tells it from the name, put in the final form of
// its folder, so that a short or linked folder above does not count.
bool FileSystem::isOpenLink(void* handle, const String& path)
{
    if (isLinkItself(handle))
        return true;
    const String final = finalPathOfOpenFile(handle);
    const int separator = path.lastIndexOf(L'\\');
    if (final.isEmpty() || separator < 0)
        return false;
    const String name = Path::withTrailingSeparator(finalPath(path.mid(0, separator + 1))) + path.mid(separator + 1);
    return !String::equalsIgnoreCase(final, name);
}

bool FileSystem::remove(const String& path)
{
    return deleteFile(path);
}

// Wine would remove the file a link leads to through a handle it opened at
// the link, as DeleteFileW at the link's name does.
bool FileSystem::removeName(const String& path)
{
    File file(path);
    if (!file.openToRemove())
        return false;
    if (!isLinkItself(file.handle()) && isOpenLink(file.handle(), path))
        return false;
    return file.markForRemoval();
}

bool FileSystem::moveToRecycleBin(const String& path)
{
    // The path list ends in two zero units, which the zero fill supplies.
    constexpr int bufferUnits = 1024;
    if (path.isEmpty() || path.length() > bufferUnits - 2 || quietAttributes(path) == INVALID_FILE_ATTRIBUTES)
        return false;
    std::vector<wchar_t> from(bufferUnits, 0);
    std::copy(path.constData(), path.constData() + path.length(), from.begin());
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_SILENT | FOF_RENAMEONCOLLISION | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR |
                       FOF_NOERRORUI;
    return SHFileOperationW(&operation) == 0;
}

bool FileSystem::copy(const String& source, const String& destination)
{
    return hasBothPaths(source, destination) && CopyFileW(source.c_str(), destination.c_str(), FALSE);
}

bool FileSystem::move(const String& source, const String& destination)
{
    return hasBothPaths(source, destination) && MoveFileW(source.c_str(), destination.c_str());
}

namespace {

// Only a file made at the name finds every holder of it; made to go again
// when closed, and shared with nobody, it never outlives this call.
bool nothingHolds(const String& path)
{
    HANDLE probe = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    return true;
}

} // namespace

bool FileSystem::moveToFreeName(const String& source, const String& destination)
{
    return hasBothPaths(source, destination) && nothingHolds(destination) &&
           MoveFileExW(source.c_str(), destination.c_str(), MOVEFILE_WRITE_THROUGH);
}

bool FileSystem::rename(const String& path, const String& newName)
{
    if (!hasBothPaths(path, newName) || !fileExists(path))
        return false;
    // A bare file name stays in the current folder rather than moving to the
    // root of the drive.
    const String directory = Path::directoryOf(path);
    const String target = directory.isEmpty() ? newName : directory + L'\\' + newName;
    return MoveFileW(path.c_str(), target.c_str());
}
