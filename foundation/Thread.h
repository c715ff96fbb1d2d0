#pragma once

#include "foundation/CriticalSection.h"
#include "foundation/Signal.h"
#include "foundation/String.h"

#include <atomic>
#include <cstdint>

// A platform event object (the handle is opaque, null when closed).
class Event {
public:
    // Initially not signalled. An auto-reset event wakes one waiter and
    // resets itself; a manual-reset one stays signalled until reset.
    explicit Event(bool manualReset = true);
    ~Event();

    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void close();
    bool set();
    bool reset();
    // True only when the event was signalled within the time; a negative
    // time waits without limit.
    bool wait(int milliseconds);
    bool isValid() const { return m_handle != nullptr; }

private:
    void* m_handle;
};

class Thread;

// A platform thread as createThread made it: a null handle and id 0 when it
// could not be made.
struct PlatformThread {
    void* handle = nullptr;
    std::uint32_t id = 0;
};

// Thin wrappers over the platform's thread calls, used by Thread.
// Runs the thread body of the Thread (its run() once start() lets it go) on
// a new platform thread that starts at once.
PlatformThread createThread(Thread* thread);
// Ends the thread by force with exit code 0.
bool terminateThread(void* handle);
// Suspends the calling thread; a negative time for ever.
void sleepMilliseconds(int milliseconds);

// Base of the program's worker threads. run() executes on the new thread;
// started and finished are always emitted on the UI thread (the thread that
// constructed the first Thread), in that order, through a hidden window, so
// a Thread destroyed before its notifications arrive is never touched.
//
// Stopping is cooperative: stop() sets the stop request and wakes
// waitForStop; run() is expected to look at isStopRequested() and return.
// One that does not return within the time given to stop() is terminated,
// and then no finished is emitted.
//
// A derived class must call stop() in its own destructor: by the time the
// base destructor runs, run() would be running on a half-destroyed object.
// run() must not call start, stop, wait or setPriority on its own Thread.
class Thread {
public:
    explicit Thread(const String& name = String());
    virtual ~Thread();

    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    virtual void run() = 0;

    Signal started;
    Signal finished;

    // Starts the thread; on a running one it only clears the stop request.
    // A finished thread may be started again.
    void start();
    // True once the thread has ended (at once when it never ran). A
    // positive time is spent in 5-ms steps, so 1 to 4 ms only looks; zero or
    // less waits without limit.
    bool wait(int milliseconds);
    // Requests a stop, waits up to the time (not at all for 0), then ends
    // the thread by force.
    void stop(int milliseconds);
    // Requests every running thread to stop, then stops them one by one.
    static void stopAll(int milliseconds);

    void requestStop() { m_stopRequested = true; }
    bool isStopRequested() const { return m_stopRequested; }
    // For run() implementations that sleep between steps: true when woken
    // by stop() or wakeUp() within the time.
    bool waitForStop(int milliseconds) { return m_stopEvent.wait(milliseconds); }
    void wakeUp() { m_stopEvent.set(); }

    bool isRunning() const { return m_running; }

    // Priorities 0 (lowest) to 4 (highest), 2 normal; other values apply as
    // normal. On a running thread the value is kept only when the platform
    // accepts it.
    bool setPriority(int priority);
    int priority() const { return m_priority; }

    // Processor mask applied when the thread begins; 0 leaves it alone.
    void setAffinity(std::uint32_t mask) { m_affinity = mask; }
    std::uint32_t affinity() const { return m_affinity; }

    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    // The platform id while running, 0 otherwise.
    std::uint32_t threadId() const { return m_threadId; }
    // Unique per object in the process: a notification names the object it
    // was meant for, even if another Thread now lives at the same address.
    std::uint64_t serial() const { return m_serial; }

    static std::uint32_t currentThreadId();
    // The running Thread that is the caller, null on other threads.
    static Thread* currentThread();
    static int runningCount();
    // Whether the pointer is a Thread that has not been destroyed.
    static bool isAlive(const Thread* thread);
    // Below 10 ms it waits on an event that is never signalled, for finer
    // steps than the platform's sleep.
    static void sleep(int milliseconds);
    static bool setCurrentThreadPriority(int priority);
    // -1 when the platform reports fewer than one processor.
    static int processorCount();

private:
    struct Runner;
    friend PlatformThread createThread(Thread* thread);

    void closeEndedHandle();
    void terminate();
    void forgetVanishedThread();
    bool hasEnded();

    String m_name;
    // Owned by the owner's side: only start, wait, stop and the destructor
    // (under m_lock) touch or close it; the thread itself never does.
    void* m_handle = nullptr;
    std::atomic<bool> m_running{false};
    std::atomic<std::uint32_t> m_threadId{0};
    std::atomic<int> m_priority{2};
    Event m_startEvent{false};
    Event m_stopEvent{false};
    std::atomic<std::uint32_t> m_affinity{0};
    // Serialises start, stop, wait and priority changes; taken before the
    // running-threads lock.
    CriticalSection m_lock;
    std::atomic<bool> m_stopRequested{false};
    // Where the thread is; it is only terminated while inside run(), never
    // while it holds the running-threads lock.
    std::atomic<int> m_phase{0};
    const std::uint64_t m_serial;
};
