#include "foundation/EnteredFolders.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

// The system's 128-bit file id record (from Windows 8 on), declared here
// because the build targets Windows 7, where the call below fails instead.
constexpr auto fileIdInformation = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdRecord {
    ULONGLONG volumeSerialNumber;
    BYTE fileId[16];
};

std::optional<FolderIdentity> identityOfHandle(HANDLE handle)
{
    FileIdRecord record;
    if (GetFileInformationByHandleEx(handle, fileIdInformation, &record, sizeof(record))) {
        FolderIdentity identity{record.volumeSerialNumber};
        std::memcpy(&identity.idLow, record.fileId, 8);
        std::memcpy(&identity.idHigh, record.fileId + 8, 8);
        return identity;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber, 0,
                          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

} // namespace

std::optional<FolderIdentity> readFolderIdentity(const String& folder)
{
    // Opening a folder needs the backup flag; the link is followed.
    const HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::optional<FolderIdentity> identity = identityOfHandle(handle);
    CloseHandle(handle);
    return identity;
}

bool EnteredFolders::enter(const String& folder, bool isLink)
{
    if (isLink && !m_tracking)
        startTracking();
    if (!m_tracking) {
        const std::wstring_view path = folder.view();
        const auto shared = static_cast<std::size_t>(
            std::mismatch(path.begin(), path.end(), m_lastPassed.begin(), m_lastPassed.end()).first - path.begin());
        m_passedTails.append(path.substr(shared));
        m_passed.emplace_back(shared, m_passedTails.size());
        m_lastPassed.assign(path);
        return true;
    }
    const std::optional<FolderIdentity> identity = knownIdentity(folder);
    if (!identity)
        return !isLink;
    return m_identities.insert(*identity).second;
}

std::optional<FolderIdentity> EnteredFolders::knownIdentity(const String& folder) const
{
    const std::optional<FolderIdentity> identity = m_read(folder);
    if (!identity || !identity->isKnown())
        return std::nullopt;
    return identity;
}

void EnteredFolders::startTracking()
{
    m_tracking = true;
    std::wstring path;
    std::size_t tailStart = 0;
    for (const auto& [shared, tailEnd] : m_passed) {
        path.resize(shared);
        path.append(m_passedTails, tailStart, tailEnd - tailStart);
        tailStart = tailEnd;
        if (const std::optional<FolderIdentity> identity = knownIdentity(String(path.c_str())))
            m_identities.insert(*identity);
    }
    m_passed = {};
    m_passedTails = {};
    m_lastPassed = {};
}
