#include "foundation/CriticalSection.h"
#include "foundation/Lockable.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <stdexcept>
#include <thread>

namespace {

using namespace std::chrono_literals;

// Runs a blocking lock-and-release on another thread; the future becomes
// ready when it has finished. A thread that never obtains the lock is left
// behind, detached, so a failing test cannot hang the program.
std::future<void> runOnOtherThread(std::function<void()> lockAndRelease)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([lockAndRelease, done] {
        lockAndRelease();
        done->set_value();
    }).detach();
    return finished;
}

std::future<void> lockAndUnlockOnOtherThread(Lockable& lockable)
{
    return runOnOtherThread([&lockable] {
        lockable.lock();
        lockable.unlock();
    });
}

bool lockableIsFree(Lockable& lockable)
{
    return lockAndUnlockOnOtherThread(lockable).wait_for(2s) == std::future_status::ready;
}

// Tries the section from another thread, which never blocks.
bool sectionIsFree(CriticalSection& section)
{
    return std::async(std::launch::async, [&section] {
               if (!section.tryEnter())
                   return false;
               section.leave();
               return true;
           }).get();
}

} // namespace

TEST(LockTest, LockableLockedTwiceAndUnlockedTwiceIsFree)
{
    Lockable lockable;
    lockable.lock();
    lockable.lock();
    lockable.unlock();
    lockable.unlock();
    EXPECT_TRUE(lockableIsFree(lockable));
}

TEST(LockTest, LockableUnlockedOnceOfTwiceStaysHeld)
{
    Lockable lockable;
    lockable.lock();
    lockable.lock();
    lockable.unlock();
    std::future<void> other = lockAndUnlockOnOtherThread(lockable);
    EXPECT_EQ(other.wait_for(200ms), std::future_status::timeout);
    lockable.unlock();
    EXPECT_EQ(other.wait_for(2s), std::future_status::ready);
}

TEST(LockTest, CopyOfLockedLockableIsNotLocked)
{
    Lockable original;
    original.lock();
    Lockable copy(original);
    EXPECT_TRUE(lockableIsFree(copy));
    original.unlock();
}

TEST(LockTest, AssignmentSharesNoLock)
{
    Lockable held;
    Lockable other;
    held.lock();
    other = held;
    EXPECT_TRUE(lockableIsFree(other));
    held.unlock();
    EXPECT_TRUE(lockableIsFree(held));
}

TEST(LockTest, MutexInstancesShareOneLock)
{
    Mutex first;
    Mutex second;
    first.lock();
    std::atomic<bool> obtained = false;
    std::thread waiter([&] {
        second.lock();
        obtained = true;
        second.unlock();
    });
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(obtained);
    first.unlock();
    waiter.join();
    EXPECT_TRUE(obtained);
}

TEST(LockTest, CriticalSectionIsReentrant)
{
    CriticalSection section;
    section.enter();
    EXPECT_TRUE(section.tryEnter());
    section.leave();
    EXPECT_FALSE(sectionIsFree(section));
    section.leave();
    EXPECT_TRUE(sectionIsFree(section));
}

TEST(LockTest, ScopedLockReleasesAtEndOfBlock)
{
    CriticalSection section;
    {
        ScopedLock outer(section);
        ScopedLock inner(&section);
        EXPECT_TRUE(outer.ownsLock());
        EXPECT_FALSE(sectionIsFree(section));
    }
    EXPECT_TRUE(sectionIsFree(section));
}

TEST(LockTest, ScopedLockReleasesOnException)
{
    CriticalSection section;
    try {
        ScopedLock lock(section);
        throw std::runtime_error("handler failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(sectionIsFree(section));
}

TEST(LockTest, TryScopedLockThatFailsDoesNotLeave)
{
    CriticalSection section;
    std::promise<void> held;
    std::promise<void> release;
    std::thread holder([&] {
        section.enter();
        held.set_value();
        release.get_future().wait();
        section.leave();
    });
    held.get_future().wait();
    {
        ScopedLock lock(section, true);
        EXPECT_FALSE(lock.ownsLock());
    }
    // Leaving a section it never entered would have freed it for this thread.
    EXPECT_FALSE(section.tryEnter());
    release.set_value();
    holder.join();
    EXPECT_TRUE(section.tryEnter());
    section.leave();
}

TEST(LockTest, TryScopedLockOnFreeSectionHoldsIt)
{
    CriticalSection section;
    {
        ScopedLock lock(section, true);
        EXPECT_TRUE(lock.ownsLock());
        EXPECT_FALSE(sectionIsFree(section));
    }
    EXPECT_TRUE(sectionIsFree(section));
}
