#include "foundation/EnteredFolders.h"

#include <algorithm>

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
    const std::optional<FileId> identity = knownIdentity(folder);
    if (!identity)
        return !isLink;
    return m_identities.insert(*identity).second;
}

std::optional<FileId> EnteredFolders::knownIdentity(const String& folder) const
{
    const std::optional<FileId> identity = m_read(folder);
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
        if (const std::optional<FileId> identity = knownIdentity(String(path.c_str())))
            m_identities.insert(*identity);
    }
    m_passed = {};
    m_passedTails = {};
    m_lastPassed = {};
}
