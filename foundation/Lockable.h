#pragma once

#include "foundation/CriticalSection.h"

// Base of the objects that lock themselves (signals, receivers, widgets):
// one re-entrant lock per object. A copy gets a new, separate lock, and
// assignment leaves both locks alone, so a lock is never shared.
class Lockable {
public:
    Lockable() = default;
    Lockable(const Lockable&) {}
    Lockable& operator=(const Lockable&) { return *this; }
    virtual ~Lockable() = default;

    virtual void lock();
    virtual void unlock();

private:
    CriticalSection m_section;
};

// Same interface as Lockable, but every instance locks one process-wide
// section, made on first use and never destroyed.
class Mutex {
public:
    Mutex() = default;
    Mutex(const Mutex&) = default;
    Mutex& operator=(const Mutex&) = default;
    virtual ~Mutex() = default;

    virtual void lock();
    virtual void unlock();
};
