#include "foundation/CriticalSection.h"

#include <windows.h>

#include <cstring>

namespace {

CRITICAL_SECTION* platformSection(unsigned char* storage)
{
    return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

} // namespace

static_assert(sizeof(CRITICAL_SECTION) <= 40, "CriticalSection storage is too small");
static_assert(alignof(CRITICAL_SECTION) <= alignof(void*), "CriticalSection storage is misaligned");

CriticalSection::CriticalSection()
{
    std::memset(m_storage, 0, sizeof m_storage);
    InitializeCriticalSection(platformSection(m_storage));
}

CriticalSection::~CriticalSection()
{
    DeleteCriticalSection(platformSection(m_storage));
}

void CriticalSection::enter()
{
    EnterCriticalSection(platformSection(m_storage));
}

void CriticalSection::leave()
{
    LeaveCriticalSection(platformSection(m_storage));
}

bool CriticalSection::tryEnter()
{
    return TryEnterCriticalSection(platformSection(m_storage)) != FALSE;
}

ScopedLock::ScopedLock(CriticalSection* section, bool tryEnter) : m_section(section), m_owns(true)
{
    if (tryEnter) {
        m_owns = section->tryEnter();
        return;
    }
    section->enter();
}

ScopedLock::~ScopedLock()
{
    if (m_owns)
        m_section->leave();
}
