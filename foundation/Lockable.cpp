#include "foundation/Lockable.h"

namespace {

// The one section every Mutex shares. Made on first use rather than during
// static initialisation, and never destroyed, so a Mutex works at any time.
CriticalSection& processWideSection()
{
    static CriticalSection* section = new CriticalSection;
    return *section;
}

} // namespace

void Lockable::lock()
{
    m_section.enter();
}

void Lockable::unlock()
{
    m_section.leave();
}

void Mutex::lock()
{
    processWideSection().enter();
}

void Mutex::unlock()
{
    processWideSection().leave();
}
