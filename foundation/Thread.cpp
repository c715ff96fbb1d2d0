#include "foundation/Thread.h"

#include "foundation/List.h"
#include "foundation/NativeWindow.h"

#include <process.h>
#include <windows.h>

namespace {

enum Phase : int {
    Starting = 0, // bookkeeping before run()
    Running = 1,  // inside run()
    Ending = 2,   // bookkeeping after run()
    Terminating = 3,
};

struct ThreadList {
    CriticalSection lock;
    List<Thread*> threads;
};

// Every constructed Thread until its destruction.
ThreadList& allThreads()
{
    static ThreadList list;
    return list;
}

// The Threads inside their thread body. Never locked together with
// allThreads().
ThreadList& runningThreads()
{
    static ThreadList list;
    return list;
}

void addRunning(Thread* thread)
{
    ScopedLock guard(runningThreads().lock);
    runningThreads().threads.append(thread);
}

void removeRunning(Thread* thread)
{
    ScopedLock guard(runningThreads().lock);
    runningThreads().threads.removeValue(thread);
}

int platformPriority(int priority)
{
    switch (priority) {
    case 0:
        return THREAD_PRIORITY_LOWEST;
    case 1:
        return THREAD_PRIORITY_BELOW_NORMAL;
    case 3:
        return THREAD_PRIORITY_ABOVE_NORMAL;
    case 4:
        return THREAD_PRIORITY_HIGHEST;
    default:
        return THREAD_PRIORITY_NORMAL;
    }
}

std::uint64_t nextThreadSerial()
{
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

class ThreadNotifyWindow;

// The notify window as workers see it; null before it exists and after it
// is gone at exit.
std::atomic<ThreadNotifyWindow*> publishedNotifyWindow{nullptr};

// Carries the started and finished notifications to the UI thread.
class ThreadNotifyWindow : public NativeWindow {
public:
    ThreadNotifyWindow()
        : NativeWindow(L"2ECC044D-9915-4e0f-B91B-DD7B4F0D0546", messageOnlyParent()),
          startedMessage(RegisterWindowMessageW(L"E6036A79-16F6-4d26-9403-48D2FD42C1BA")),
          finishedMessage(RegisterWindowMessageW(L"D251A382-2BDC-4f7f-8BDA-3AD87BE0BC3F"))
    {
    }

    ~ThreadNotifyWindow() override;

    bool handleMessage(NativeMessage& message) override;

    const UINT startedMessage;
    const UINT finishedMessage;
};

// Made on first use by a Thread constructor, so on the thread that owns
// the Threads; workers only read the window and the message numbers.
ThreadNotifyWindow& notifyWindow()
{
    static ThreadNotifyWindow window;
    return window;
}

void postNotification(bool finished, std::uint64_t serial, Thread* thread)
{
    ThreadNotifyWindow* window = publishedNotifyWindow;
    if (!window || !window->handle())
        return;
    const UINT message = finished ? window->finishedMessage : window->startedMessage;
    if (message)
        PostMessageW(static_cast<HWND>(window->handle()), message, serial, reinterpret_cast<LPARAM>(thread));
}

// On the UI thread: emits the signal when the message names a live Thread.
void deliverNotification(std::uintptr_t serial, std::intptr_t value, bool finished)
{
    auto* thread = reinterpret_cast<Thread*>(value);
    {
        ThreadList& all = allThreads();
        ScopedLock guard(all.lock);
        // The pointer is compared as a number; it is read only once known live.
        if (!all.threads.contains(thread) || thread->serial() != serial)
            return;
    }
    if (finished)
        thread->finished.emit();
    else
        thread->started.emit();
}

} // namespace

Event::Event(bool manualReset) : m_handle(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}

Event::~Event()
{
    close();
}

void Event::close()
{
    if (m_handle)
        CloseHandle(m_handle);
    m_handle = nullptr;
}

bool Event::set()
{
    return m_handle && SetEvent(m_handle);
}

bool Event::reset()
{
    return m_handle && ResetEvent(m_handle);
}

bool Event::wait(int milliseconds)
{
    if (!m_handle)
        return false;
    const DWORD limit = milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds);
    return WaitForSingleObject(m_handle, limit) == WAIT_OBJECT_0;
}

// The part that runs on the new thread.
struct Thread::Runner {
    static unsigned __stdcall entry(void* argument);
    static void body(Thread* thread);
};

unsigned __stdcall Thread::Runner::entry(void* argument)
{
    body(static_cast<Thread*>(argument));
    return 0;
}

void Thread::Runner::body(Thread* thread)
{
    const std::uint64_t serial = thread->m_serial;
    postNotification(false, serial, thread);
    addRunning(thread);
    thread->m_threadId = GetCurrentThreadId();
    if (thread->m_startEvent.wait(10000)) {
        if (const std::uint32_t mask = thread->m_affinity)
            SetThreadAffinityMask(GetCurrentThread(), mask);
        thread->m_phase = Running;
        thread->run();
        int expected = Running;
        // Lost to stop(): it terminates this thread next, so wait for that
        // without touching any lock.
        if (!thread->m_phase.compare_exchange_strong(expected, Ending)) {
            for (;;)
                sleepMilliseconds(-1);
        }
    }
    removeRunning(thread);
    thread->m_threadId = 0;
    // The last touch of the object: the owner may destroy it from here on.
    thread->m_running = false;
    postNotification(true, serial, thread);
}

ThreadNotifyWindow::~ThreadNotifyWindow()
{
    publishedNotifyWindow = nullptr;
}

bool ThreadNotifyWindow::handleMessage(NativeMessage& message)
{
    if (message.message == 0)
        return false;
    if (message.message != startedMessage && message.message != finishedMessage)
        return false;
    deliverNotification(message.wParam, message.lParam, message.message == finishedMessage);
    return true;
}

PlatformThread createThread(Thread* thread)
{
    unsigned id = 0;
    const std::uintptr_t handle = _beginthreadex(nullptr, 0, &Thread::Runner::entry, thread, 0, &id);
    if (!handle)
        return {};
    return {reinterpret_cast<void*>(handle), id};
}

bool terminateThread(void* handle)
{
    return handle && TerminateThread(handle, 0);
}

void sleepMilliseconds(int milliseconds)
{
    Sleep(milliseconds < 0 ? INFINITE : static_cast<DWORD>(milliseconds));
}

Thread::Thread(const String& name) : m_name(name), m_serial(nextThreadSerial())
{
    publishedNotifyWindow = &notifyWindow();
    ThreadList& all = allThreads();
    ScopedLock guard(all.lock);
    all.threads.append(this);
}

Thread::~Thread()
{
    {
        ThreadList& all = allThreads();
        ScopedLock guard(all.lock);
        all.threads.removeValue(this);
    }
    stop(100);
}

void Thread::start()
{
    ScopedLock guard(m_lock);
    m_stopRequested = false;
    if (m_running)
        return;
    closeEndedHandle();
    // A wake-up meant for the previous run must not reach this one.
    m_stopEvent.reset();
    m_phase = Starting;
    m_running = true;
    const PlatformThread thread = createThread(this);
    if (!thread.handle) {
        m_running = false;
        return;
    }
    m_handle = thread.handle;
    m_threadId = thread.id;
    SetThreadPriority(m_handle, platformPriority(m_priority));
    m_startEvent.set();
}

bool Thread::wait(int milliseconds)
{
    if (milliseconds <= 0) {
        while (!hasEnded())
            sleepMilliseconds(5);
    } else {
        for (int polls = milliseconds / 5; polls > 0 && !hasEnded(); --polls)
            sleepMilliseconds(5);
        if (!hasEnded())
            return false;
    }
    ScopedLock guard(m_lock);
    closeEndedHandle();
    return true;
}

// The platform thread having ended counts too, for a run() that left
// through ExitThread and so never cleared the running flag.
bool Thread::hasEnded()
{
    if (!m_running)
        return true;
    ScopedLock guard(m_lock);
    return m_handle && WaitForSingleObject(m_handle, 0) == WAIT_OBJECT_0;
}

void Thread::stop(int milliseconds)
{
    ScopedLock guard(m_lock);
    if (!m_handle)
        return;
    requestStop();
    m_stopEvent.set();
    if (milliseconds != 0 && wait(milliseconds))
        return;
    if (m_handle)
        terminate();
}

// Called under m_lock while the thread may still run.
void Thread::terminate()
{
    HANDLE handle = m_handle;
    for (;;) {
        if (WaitForSingleObject(handle, 0) == WAIT_OBJECT_0) {
            forgetVanishedThread();
            break;
        }
        int expected = Running;
        if (m_phase.compare_exchange_strong(expected, Terminating)) {
            terminateThread(handle);
            WaitForSingleObject(handle, INFINITE);
            removeRunning(this);
            m_threadId = 0;
            m_running = false;
            break;
        }
        // Still in its short bookkeeping, where it holds the running lock.
        WaitForSingleObject(handle, 1);
    }
    CloseHandle(handle);
    m_handle = nullptr;
}

// Called under m_lock once the platform thread has ended. A thread that
// left run() through ExitThread or _endthreadex never reached the end of its
// body; without this it stayed "running" and in the running list after the
// object was gone.
void Thread::forgetVanishedThread()
{
    if (!m_running)
        return;
    removeRunning(this);
    m_threadId = 0;
    m_running = false;
}

// Called under m_lock: closes the handle of a thread that has left its body.
void Thread::closeEndedHandle()
{
    if (!m_handle)
        return;
    if (m_running) {
        if (WaitForSingleObject(m_handle, 0) != WAIT_OBJECT_0)
            return;
        forgetVanishedThread();
    }
    // The body is past its last touch of this object; this waits only for
    // the platform to finish the thread.
    WaitForSingleObject(m_handle, INFINITE);
    CloseHandle(m_handle);
    m_handle = nullptr;
}

void Thread::stopAll(int milliseconds)
{
    ThreadList& running = runningThreads();
    {
        ScopedLock guard(running.lock);
        for (Thread* thread : running.threads)
            thread->requestStop();
    }
    for (;;) {
        Thread* first = nullptr;
        {
            ScopedLock guard(running.lock);
            if (running.threads.isEmpty())
                return;
            first = running.threads.first()->value;
        }
        // Without the running lock: stop takes the Thread's own lock first.
        first->stop(milliseconds);
    }
}

bool Thread::setPriority(int priority)
{
    ScopedLock guard(m_lock);
    if (!m_running || !m_handle) {
        m_priority = priority;
        return true;
    }
    if (!SetThreadPriority(m_handle, platformPriority(priority)))
        return false;
    m_priority = priority;
    return true;
}

std::uint32_t Thread::currentThreadId()
{
    return GetCurrentThreadId();
}

Thread* Thread::currentThread()
{
    const std::uint32_t id = GetCurrentThreadId();
    ThreadList& running = runningThreads();
    ScopedLock guard(running.lock);
    for (Thread* thread : running.threads) {
        if (thread->m_threadId == id)
            return thread;
    }
    return nullptr;
}

int Thread::runningCount()
{
    ThreadList& running = runningThreads();
    ScopedLock guard(running.lock);
    return running.threads.count();
}

bool Thread::isAlive(const Thread* thread)
{
    ThreadList& all = allThreads();
    ScopedLock guard(all.lock);
    return all.threads.contains(const_cast<Thread*>(thread));
}

void Thread::sleep(int milliseconds)
{
    if (milliseconds <= 0)
        return;
    if (milliseconds >= 10) {
        sleepMilliseconds(milliseconds);
        return;
    }
    static Event neverSignalled(false);
    neverSignalled.wait(milliseconds);
}

bool Thread::setCurrentThreadPriority(int priority)
{
    return SetThreadPriority(GetCurrentThread(), platformPriority(priority));
}

int Thread::processorCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors < 1 ? -1 : static_cast<int>(info.dwNumberOfProcessors);
}
