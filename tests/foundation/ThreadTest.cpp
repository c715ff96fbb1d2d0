#include "foundation/Thread.h"

#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <process.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// A Thread whose body is a function. Like every derived Thread it stops the
// thread in its own destructor.
class FunctionThread : public Thread {
public:
    explicit FunctionThread(std::function<void(FunctionThread&)> body) : Thread(L"test"), m_body(std::move(body)) {}
    ~FunctionThread() override { stop(2000); }

    void run() override { m_body(*this); }

private:
    std::function<void(FunctionThread&)> m_body;
};

// Runs until asked to stop.
void untilStopped(FunctionThread& self)
{
    while (!self.isStopRequested())
        self.waitForStop(1000);
}

// Never looks at the stop request.
void ignoringStop(std::atomic<bool>& entered)
{
    entered = true;
    for (;;)
        Sleep(5);
}

class Recorder : public SignalReceiver {
public:
    void watch(Thread& thread)
    {
        thread.started.connect(this, &Recorder::onStarted);
        thread.finished.connect(this, &Recorder::onFinished);
    }
    void onStarted() { record("started"); }
    void onFinished() { record("finished"); }

    std::vector<std::string> events;
    std::vector<DWORD> threads;

private:
    void record(const char* what)
    {
        events.push_back(what);
        threads.push_back(GetCurrentThreadId());
    }
};

void pumpFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        pumpPending();
        Sleep(5);
    }
}

bool waitFor(const std::atomic<bool>& flag, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!flag) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(1);
    }
    return true;
}

// The number of open kernel handles of this process. Wine's
// GetProcessHandleCount answers 0, so the handle table is probed instead:
// handle values are multiples of 4 handed out from the lowest free one.
DWORD handleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count > 0)
        return count;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

TEST(ThreadTest, StartedThenFinishedArriveOnTheUiThread)
{
    Recorder recorder;
    std::atomic<DWORD> workerId{0};
    FunctionThread thread([&](FunctionThread&) {
        workerId = GetCurrentThreadId();
        Sleep(20);
    });
    recorder.watch(thread);
    thread.start();
    ASSERT_TRUE(pumpUntil([&] { return recorder.events.size() == 2; }));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"started", "finished"}));
    for (DWORD id : recorder.threads)
        EXPECT_EQ(id, GetCurrentThreadId());
    EXPECT_NE(workerId, GetCurrentThreadId());
    EXPECT_TRUE(thread.wait(0));
    EXPECT_FALSE(thread.isRunning());
    pumpFor(50);
    EXPECT_EQ(recorder.events.size(), 2u);
}

TEST(ThreadTest, SignalsWaitForTheUiThreadsLoop)
{
    Recorder recorder;
    FunctionThread thread([](FunctionThread&) {});
    recorder.watch(thread);
    thread.start();
    ASSERT_TRUE(thread.wait(0));
    EXPECT_TRUE(recorder.events.empty()) << "a worker never emits them itself";
    pumpUntil([&] { return recorder.events.size() == 2; });
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"started", "finished"}));
}

TEST(ThreadTest, WaitOnANeverStartedThreadIsTrue)
{
    FunctionThread thread([](FunctionThread&) {});
    EXPECT_TRUE(thread.wait(0));
    EXPECT_TRUE(thread.wait(3));
    EXPECT_TRUE(thread.wait(100));
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.threadId(), 0u);
}

TEST(ThreadTest, WaitZeroWaitsUntilTheThreadEnds)
{
    std::atomic<bool> done{false};
    FunctionThread thread([&](FunctionThread&) {
        Sleep(150);
        done = true;
    });
    thread.start();
    EXPECT_TRUE(thread.isRunning());
    EXPECT_TRUE(thread.wait(0));
    EXPECT_TRUE(done);
    EXPECT_FALSE(thread.isRunning());
}

TEST(ThreadTest, ShortWaitOnARunningThreadGivesUp)
{
    FunctionThread thread(untilStopped);
    thread.start();
    const DWORD start = GetTickCount();
    EXPECT_FALSE(thread.wait(3)) << "below one 5-ms step it only looks";
    EXPECT_LT(GetTickCount() - start, 1000u);
    EXPECT_FALSE(thread.wait(20));
    EXPECT_TRUE(thread.isRunning());
    thread.stop(5000);
    EXPECT_FALSE(thread.isRunning());
}

// A minute's wait, which only the stop event ends sooner: a bound near the
// real cost would fail on a busy machine.
TEST(ThreadTest, CooperativeStopLetsTheThreadFinish)
{
    constexpr int minute = 60000;
    Recorder recorder;
    FunctionThread thread([](FunctionThread& self) { self.waitForStop(minute); });
    recorder.watch(thread);
    thread.start();
    const DWORD start = GetTickCount();
    thread.stop(2 * minute);
    EXPECT_LT(GetTickCount() - start, DWORD(minute)) << "woken by the stop event, not by the time-out";
    EXPECT_FALSE(thread.isRunning());
    EXPECT_TRUE(pumpUntil([&] { return recorder.events.size() == 2; }));
    EXPECT_EQ(recorder.events.back(), "finished");
}

// The owner closes the handle after TerminateThread too; the thread itself
// never closes it.
TEST(ThreadTest, StopZeroEndsAThreadThatIgnoresStopAndLeavesNoHandle)
{
    std::atomic<bool> entered{false};
    Recorder recorder;
    FunctionThread thread([&](FunctionThread&) { ignoringStop(entered); });
    recorder.watch(thread);
    thread.start();
    ASSERT_TRUE(waitFor(entered));
    thread.stop(0);
    pumpFor(50);

    entered = false;
    recorder.events.clear();
    const int runningBefore = Thread::runningCount();
    const DWORD before = handleCount();
    ASSERT_GT(before, 0u);
    thread.start();
    ASSERT_TRUE(waitFor(entered));
    EXPECT_EQ(Thread::runningCount(), runningBefore + 1);
    thread.stop(0);
    EXPECT_FALSE(thread.isRunning());
    EXPECT_EQ(thread.threadId(), 0u);
    EXPECT_EQ(Thread::runningCount(), runningBefore);
    EXPECT_EQ(handleCount(), before);
    pumpFor(100);
    EXPECT_EQ(recorder.events, std::vector<std::string>{"started"}) << "a terminated thread never finishes";
}

TEST(ThreadTest, StopAfterATimeOutEndsAThreadThatIgnoresStop)
{
    std::atomic<bool> entered{false};
    FunctionThread thread([&](FunctionThread&) { ignoringStop(entered); });
    thread.start();
    ASSERT_TRUE(waitFor(entered));
    thread.stop(30);
    EXPECT_FALSE(thread.isRunning());
    EXPECT_TRUE(thread.wait(0));
}

// A stop that comes while the thread is still setting itself up must
// neither hang nor leave a lock held by a killed thread.
TEST(ThreadTest, StopZeroRightAfterStartNeitherHangsNorLeaks)
{
    std::atomic<bool> entered{false};
    FunctionThread thread([&](FunctionThread&) { ignoringStop(entered); });
    thread.start();
    thread.stop(0);
    pumpFor(20);
    const DWORD before = handleCount();
    const int runningBefore = Thread::runningCount();
    for (int i = 0; i < 20; ++i) {
        thread.start();
        thread.stop(0);
        EXPECT_FALSE(thread.isRunning());
    }
    EXPECT_EQ(Thread::runningCount(), runningBefore);
    EXPECT_EQ(handleCount(), before);
    pumpFor(20);
}

// A run() that leaves through _endthreadex never reaches the end of the
// thread body: the Thread used to stay "running" and in the running list
// forever, so wait(0) hung and the list kept the destroyed object.
TEST(ThreadTest, ThreadEndingInsideRunIsNoLongerRunning)
{
    const int runningBefore = Thread::runningCount();
    const DWORD handlesBefore = handleCount();
    {
        FunctionThread thread([](FunctionThread&) { _endthreadex(0); });
        thread.start();
        EXPECT_TRUE(thread.wait(5000));
        EXPECT_FALSE(thread.isRunning());
        EXPECT_EQ(thread.threadId(), 0u);
        EXPECT_EQ(Thread::runningCount(), runningBefore);
    }
    EXPECT_EQ(Thread::runningCount(), runningBefore);
    EXPECT_EQ(handleCount(), handlesBefore);
    pumpFor(20);
}

TEST(ThreadTest, ThreadDestroyedBeforeItsNotificationsIsNeverTouched)
{
    alignas(FunctionThread) unsigned char storage[sizeof(FunctionThread)];
    auto* first = new (storage) FunctionThread([](FunctionThread&) {});
    first->start();
    ASSERT_TRUE(first->wait(0));
    first->~FunctionThread();

    // A new Thread at the same address must not take the old one's messages.
    auto* second = new (storage) FunctionThread([](FunctionThread&) {});
    ASSERT_EQ(static_cast<void*>(second), static_cast<void*>(first));
    EXPECT_FALSE(Thread::isAlive(nullptr));
    Recorder recorder;
    recorder.watch(*second);
    pumpFor(100);
    EXPECT_TRUE(recorder.events.empty());

    second->start();
    EXPECT_TRUE(pumpUntil([&] { return recorder.events.size() == 2; }));
    pumpFor(20);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"started", "finished"}));
    second->~FunctionThread();
}

TEST(ThreadTest, IsAliveFollowsConstructionAndDestruction)
{
    auto* thread = new FunctionThread([](FunctionThread&) {});
    EXPECT_TRUE(Thread::isAlive(thread));
    const Thread* address = thread;
    delete thread;
    EXPECT_FALSE(Thread::isAlive(address));
}

TEST(ThreadTest, PriorityMapsToThePlatformsRelativeLevels)
{
    struct Row {
        int priority;
        int platform;
    };
    const Row rows[] = {{0, -2}, {1, -1}, {2, 0}, {3, 1}, {4, 2}, {7, 0}, {-1, 0}};
    for (const Row& row : rows) {
        int applied = 99;
        std::thread([&] {
            Thread::setCurrentThreadPriority(row.priority);
            applied = GetThreadPriority(GetCurrentThread());
        }).join();
        EXPECT_EQ(applied, row.platform) << row.priority;
    }
}

TEST(ThreadTest, PrioritySetBeforeStartIsAppliedAtStart)
{
    std::atomic<int> seen{99};
    FunctionThread thread([&](FunctionThread&) { seen = GetThreadPriority(GetCurrentThread()); });
    EXPECT_EQ(thread.priority(), 2);
    EXPECT_TRUE(thread.setPriority(0));
    EXPECT_EQ(thread.priority(), 0);
    thread.start();
    ASSERT_TRUE(thread.wait(0));
    EXPECT_EQ(seen, -2);
}

TEST(ThreadTest, PriorityOfARunningThreadChangesAtOnce)
{
    std::atomic<int> seen{99};
    std::atomic<int> wakes{0};
    FunctionThread thread([&](FunctionThread& self) {
        while (!self.isStopRequested()) {
            if (self.waitForStop(1000)) {
                seen = GetThreadPriority(GetCurrentThread());
                ++wakes;
            }
        }
    });
    thread.start();
    auto observe = [&] {
        const int before = wakes;
        thread.wakeUp();
        const DWORD start = GetTickCount();
        while (wakes == before && GetTickCount() - start < 5000)
            Sleep(1);
        return seen.load();
    };
    EXPECT_TRUE(thread.setPriority(4));
    EXPECT_EQ(observe(), 2);
    EXPECT_TRUE(thread.setPriority(7));
    EXPECT_EQ(observe(), 0) << "an unknown priority applies as normal";
    EXPECT_EQ(thread.priority(), 7);
    thread.stop(5000);
}

TEST(ThreadTest, AffinityIsAppliedWhenTheThreadBegins)
{
    std::atomic<DWORD_PTR> previous{0};
    FunctionThread thread([&](FunctionThread&) { previous = SetThreadAffinityMask(GetCurrentThread(), 1); });
    EXPECT_EQ(thread.affinity(), 0u);
    thread.setAffinity(1);
    thread.start();
    ASSERT_TRUE(thread.wait(0));
    EXPECT_EQ(previous, 1u);
}

TEST(ThreadTest, CurrentThreadIsTheRunningThreadAndNullElsewhere)
{
    std::atomic<Thread*> seen{nullptr};
    std::atomic<DWORD> seenId{0};
    std::atomic<bool> ready{false};
    FunctionThread thread([&](FunctionThread& self) {
        seen = Thread::currentThread();
        seenId = Thread::currentThreadId();
        ready = true;
        untilStopped(self);
    });
    EXPECT_EQ(Thread::currentThread(), nullptr);
    thread.start();
    ASSERT_TRUE(waitFor(ready));
    EXPECT_EQ(seen, &thread);
    EXPECT_EQ(thread.threadId(), seenId);
    EXPECT_EQ(Thread::currentThread(), nullptr);
    thread.stop(5000);
    EXPECT_EQ(thread.threadId(), 0u);
}

TEST(ThreadTest, FinishedThreadCanBeStartedAgain)
{
    Recorder recorder;
    std::atomic<int> runs{0};
    FunctionThread thread([&](FunctionThread&) { ++runs; });
    recorder.watch(thread);
    thread.start();
    ASSERT_TRUE(thread.wait(0));
    thread.start();
    ASSERT_TRUE(thread.wait(0));
    EXPECT_EQ(runs, 2);
    EXPECT_TRUE(pumpUntil([&] { return recorder.events.size() == 4; }));
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"started", "finished", "started", "finished"}));
}

TEST(ThreadTest, StartingARunningThreadOnlyClearsTheStopRequest)
{
    std::atomic<int> runs{0};
    Event release(true);
    FunctionThread thread([&](FunctionThread&) {
        ++runs;
        release.wait(-1);
    });
    thread.start();
    thread.requestStop();
    EXPECT_TRUE(thread.isStopRequested());
    thread.start();
    EXPECT_FALSE(thread.isStopRequested());
    release.set();
    ASSERT_TRUE(thread.wait(0));
    EXPECT_EQ(runs, 1);
}

TEST(ThreadTest, StopAllWithNothingRunningReturnsAtOnce)
{
    ASSERT_EQ(Thread::runningCount(), 0);
    const DWORD start = GetTickCount();
    Thread::stopAll(60000);
    EXPECT_LT(GetTickCount() - start, 30000u);
}

TEST(ThreadTest, StopAllEndsCooperativeAndStubbornThreads)
{
    std::atomic<bool> entered{false};
    FunctionThread polite1(untilStopped);
    FunctionThread polite2(untilStopped);
    FunctionThread stubborn([&](FunctionThread&) { ignoringStop(entered); });
    polite1.start();
    polite2.start();
    stubborn.start();
    ASSERT_TRUE(waitFor(entered));
    Thread::stopAll(100);
    EXPECT_EQ(Thread::runningCount(), 0);
    EXPECT_FALSE(polite1.isRunning());
    EXPECT_FALSE(polite2.isRunning());
    EXPECT_FALSE(stubborn.isRunning());
    pumpFor(20);
}

TEST(ThreadTest, WaitForStopIsWokenOnceByWakeUp)
{
    FunctionThread thread([](FunctionThread&) {});
    EXPECT_FALSE(thread.waitForStop(10));
    thread.wakeUp();
    EXPECT_TRUE(thread.waitForStop(0));
    EXPECT_FALSE(thread.waitForStop(0)) << "the stop event resets itself";
}

TEST(PlatformEventTest, ManualResetStaysSignalledUntilReset)
{
    Event event(true);
    ASSERT_TRUE(event.isValid());
    EXPECT_FALSE(event.wait(0));
    EXPECT_TRUE(event.set());
    EXPECT_TRUE(event.wait(0));
    EXPECT_TRUE(event.wait(0));
    EXPECT_TRUE(event.reset());
    EXPECT_FALSE(event.wait(0));
}

TEST(PlatformEventTest, AutoResetWakesOneWait)
{
    Event event(false);
    event.set();
    EXPECT_TRUE(event.wait(0));
    EXPECT_FALSE(event.wait(0));
}

TEST(PlatformEventTest, ClosedEventRefusesEverything)
{
    Event event;
    event.close();
    EXPECT_FALSE(event.isValid());
    EXPECT_FALSE(event.set());
    EXPECT_FALSE(event.reset());
    EXPECT_FALSE(event.wait(0));
    event.close();
}

TEST(ThreadWrappers, StartRunsTheThreadThroughCreateThreadAndKnowsItsIdAtOnce)
{
    std::atomic<DWORD> ranOn{0};
    // Kept running until the id is read: a thread that had already ended
    // rightly answers 0, and under load it could end first.
    FunctionThread thread([&](FunctionThread& self) {
        ranOn = GetCurrentThreadId();
        untilStopped(self);
    });
    thread.start();
    const std::uint32_t id = thread.threadId();
    EXPECT_NE(id, 0u);
    thread.requestStop();
    thread.wakeUp();
    ASSERT_TRUE(thread.wait(0));
    EXPECT_EQ(ranOn, id);
    EXPECT_NE(ranOn, GetCurrentThreadId());
}

TEST(ThreadWrappers, TerminateEndsAThreadSleepingForEverWithCodeZero)
{
    const auto spin = [](void*) -> unsigned {
        sleepMilliseconds(-1);
        return 7;
    };
    HANDLE handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, spin, nullptr, 0, nullptr));
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(WaitForSingleObject(handle, 20), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(terminateThread(handle));
    EXPECT_EQ(WaitForSingleObject(handle, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    EXPECT_TRUE(GetExitCodeThread(handle, &code));
    EXPECT_EQ(code, 0u);
    CloseHandle(handle);
    EXPECT_FALSE(terminateThread(nullptr));
}

} // namespace
