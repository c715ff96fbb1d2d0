#pragma once

// Plain re-entrant lock held by value, and a guard that holds one for the
// length of a block. Both rest on the platform's critical sections: the
// owning thread may enter again and must leave as often.
class CriticalSection {
public:
    CriticalSection();
    ~CriticalSection();

    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void enter();
    void leave();
    // True when the section was entered (free, or already held by this thread).
    bool tryEnter();

private:
    // Room for the platform structure, so this header needs no <windows.h>;
    // the source checks that it fits.
    alignas(void*) unsigned char m_storage[40];
};

// Enters a CriticalSection on construction and leaves it on every path out of
// the block, an exception included. With tryEnter set it only tries; a guard
// that did not obtain the section never leaves it.
class ScopedLock {
public:
    explicit ScopedLock(CriticalSection* section, bool tryEnter = false);
    explicit ScopedLock(CriticalSection& section, bool tryEnter = false) : ScopedLock(&section, tryEnter) {}
    ~ScopedLock();

    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

    bool ownsLock() const { return m_owns; }

private:
    CriticalSection* m_section;
    bool m_owns;
};
