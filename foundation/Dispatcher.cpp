#include "foundation/Dispatcher.h"

#include "foundation/CriticalSection.h"
#include "foundation/Event.h"
#include "foundation/MessageReceiver.h"
#include "foundation/MessageWindow.h"

#include <memory>

#include <windows.h>
#include <ole2.h>

namespace {

// One queued event. The serial travels in the message too, so a stale
// message can never pick up a later record that reuses this memory.
struct PostedEvent {
    UIEvent* event;
    MessageReceiver* receiver;
    int receiverId;
    std::uintptr_t serial;
};

// Other threads post, so the records are guarded.
struct PostedQueue {
    CriticalSection lock;
    List<PostedEvent*> records;
    std::uintptr_t lastSerial = 0;
};

PostedQueue& postedQueue()
{
    static PostedQueue queue;
    return queue;
}

struct DispatcherGlobals {
    Dispatcher* dispatcher = nullptr;
    MessageWindow* window = nullptr;
    bool oleInitialized = false;
};

DispatcherGlobals& globals()
{
    static DispatcherGlobals instance;
    return instance;
}

// Unlinks and returns the record when the message names a queued one. The
// value is compared as a number and only read once it is known to be live.
PostedEvent* takeRecord(std::uintptr_t serial, std::intptr_t value)
{
    PostedQueue& queue = postedQueue();
    ScopedLock guard(queue.lock);
    auto* node = queue.records.findNode(reinterpret_cast<PostedEvent*>(value));
    if (!node || node->value->serial != serial)
        return nullptr;
    PostedEvent* record = node->value;
    queue.records.removeNode(node);
    return record;
}

void deleteRecord(PostedEvent* record)
{
    delete record->event;
    delete record;
}

} // namespace

Dispatcher::Dispatcher() : m_threadId(GetCurrentThreadId()) {}

void Dispatcher::registerReceiver(MessageReceiver* receiver)
{
    m_receivers.insert(receiver);
}

void Dispatcher::unregisterReceiver(MessageReceiver* receiver)
{
    const auto found = m_receivers.find(receiver);
    if (found != m_receivers.end())
        m_receivers.erase(found);
}

bool Dispatcher::isRegistered(const MessageReceiver* receiver) const
{
    return receiver && m_receivers.count(receiver) > 0;
}

EventLoop* Dispatcher::currentLoop() const
{
    return m_runningLoops.isEmpty() ? nullptr : m_runningLoops.last()->value;
}

bool Dispatcher::isBlockedInput(const UIEvent* event) const
{
    return (m_flags & BlockInput) && event->isInput();
}

bool Dispatcher::sendEvent(UIEvent* event, MessageReceiver* receiver)
{
    if (!event || isBlockedInput(event))
        return false;
    if (!isRegistered(receiver) || receiver->isBeingDestroyed())
        return false;
    return receiver->handleEvent(event);
}

bool Dispatcher::postEvent(UIEvent* event, MessageReceiver* receiver)
{
    if (!event)
        return false;
    HWND window = static_cast<HWND>(messageWindow());
    // Posting to a null window would land in the calling thread's own queue.
    if (isBlockedInput(event) || !window) {
        delete event;
        return false;
    }
    auto* record = new PostedEvent{event, receiver, receiver ? receiver->id() : 0, 0};
    PostedQueue& queue = postedQueue();
    {
        ScopedLock guard(queue.lock);
        record->serial = ++queue.lastSerial;
        queue.records.append(record);
    }
    // Once posted, the UI thread may deliver and free the record at any
    // moment, so it is not touched after a successful post.
    const std::uintptr_t serial = record->serial;
    if (PostMessageW(window, postedEventMessage, serial, reinterpret_cast<LPARAM>(record)))
        return true;
    if (PostedEvent* unposted = takeRecord(serial, reinterpret_cast<std::intptr_t>(record)))
        deleteRecord(unposted);
    return false;
}

void Dispatcher::quitAll(int code)
{
    for (auto* node = m_runningLoops.last(); node; node = node->prev)
        node->value->quit(code);
    PostQuitMessage(code);
}

void Dispatcher::flushPosted()
{
    List<PostedEvent*> pending;
    {
        PostedQueue& queue = postedQueue();
        ScopedLock guard(queue.lock);
        pending.appendList(queue.records);
        queue.records.clear();
    }
    for (PostedEvent* record : pending)
        deleteRecord(record);
}

bool Dispatcher::deliverPosted(std::uintptr_t wParam, std::intptr_t lParam)
{
    PostedEvent* taken = takeRecord(wParam, lParam);
    if (!taken)
        return false;
    std::unique_ptr<PostedEvent> record(taken);
    std::unique_ptr<UIEvent> event(record->event);
    MessageReceiver* receiver = record->receiver;
    Dispatcher* d = dispatcher();
    if (!d || !receiver || d->isBlockedInput(event.get()))
        return true;
    // Registration first: the id of a receiver that is gone is never read.
    if (!d->isRegistered(receiver) || receiver->id() != record->receiverId || receiver->isBeingDestroyed())
        return true;
    receiver->handleEvent(event.get());
    return true;
}

void* Dispatcher::messageWindow() const
{
    MessageWindow* window = globals().window;
    return window ? window->handle() : nullptr;
}

Dispatcher* createDispatcher()
{
    DispatcherGlobals& g = globals();
    if (g.dispatcher)
        return g.dispatcher;
    g.dispatcher = new Dispatcher;
    // A thread already in the multithreaded apartment refuses; then there is
    // nothing to undo later.
    g.oleInitialized = SUCCEEDED(OleInitialize(nullptr));
    g.window = new MessageWindow;
    return g.dispatcher;
}

void destroyDispatcher()
{
    DispatcherGlobals& g = globals();
    if (!g.dispatcher)
        return;
    g.dispatcher->flushPosted();
    delete g.dispatcher;
    g.dispatcher = nullptr;
    delete g.window;
    g.window = nullptr;
    if (g.oleInitialized)
        OleUninitialize();
    g.oleInitialized = false;
}

Dispatcher* dispatcher()
{
    return globals().dispatcher;
}
