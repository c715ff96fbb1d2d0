#include "foundation/EnteredFolders.h"

#include <windows.h>

#include <algorithm>

std::optional<FolderIdentity> readFolderIdentity(const String& folder)
{
    // Opening a folder needs the backup flag; the link is followed.
    const HANDLE handle = CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info;
    const bool read = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!read)
        return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber,
                          (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
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
    if (!identity || identity->index == 0)
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
