#pragma once

#include "foundation/EventLoop.h"
#include "foundation/List.h"

#include <atomic>
#include <cstdint>
#include <unordered_set>

class MessageReceiver;
class UIEvent;

// The UI thread's event machinery: the live receivers, the main loop and the
// stack of running loops. Events are sent (delivered at once) or posted
// (queued through the platform message queue and delivered by the loop). A
// posted event whose receiver died, is dying, or was replaced by a new object
// at the same address is deleted without delivery.
//
// Everything runs on the UI thread except postEvent, which any thread may
// call.
class Dispatcher {
public:
    enum Flag : std::uint32_t {
        // Input events are dropped and pending input messages discarded.
        BlockInput = 1,
        // The pump handles paint messages and nothing else.
        PaintOnly = 2,
    };

    // The private message that carries a posted event to the message window.
    static constexpr unsigned int postedEventMessage = 0xC400;

    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;

    // No duplicate test: a receiver registered twice needs two unregisters.
    void registerReceiver(MessageReceiver* receiver);
    // Unlinks the first entry equal to the receiver; nothing when absent.
    void unregisterReceiver(MessageReceiver* receiver);
    bool isRegistered(const MessageReceiver* receiver) const;
    int receiverCount() const { return static_cast<int>(m_receivers.size()); }

    EventLoop& mainLoop() { return m_mainLoop; }
    int runMainLoop() { return m_mainLoop.exec(); }
    // The innermost running loop, null when none runs.
    EventLoop* currentLoop() const;

    std::uint32_t flags() const { return m_flags; }
    void setFlags(std::uint32_t flags) { m_flags = flags; }
    // The platform id of the UI thread (the one that created the Dispatcher).
    std::uint32_t threadId() const { return m_threadId; }

    // The receiver's handleEvent result, or false without a call when the
    // receiver is null, unregistered or being destroyed, or when input is
    // blocked and the event is an input event. The caller keeps the event.
    bool sendEvent(UIEvent* event, MessageReceiver* receiver);
    // Takes ownership of the event and queues it for the receiver (which is
    // checked at delivery, not now). False when nothing was queued: input
    // blocked for an input event, or the platform refused the message; the
    // event is then already deleted.
    bool postEvent(UIEvent* event, MessageReceiver* receiver);

    // Asks every running loop to end with the code, innermost first, and
    // posts the platform quit message.
    void quitAll(int code);
    // Deletes every queued event without delivering it.
    void flushPosted();

    // Delivers the queued event that a postedEventMessage names, when it
    // names one; any other (foreign or stale) message is ignored. True when
    // a queued record was found.
    static bool deliverPosted(std::uintptr_t wParam, std::intptr_t lParam);

    // The hidden window that receives postedEventMessage; null when it could
    // not be created.
    void* messageWindow() const;

private:
    friend class EventLoop;
    friend Dispatcher* createDispatcher();
    friend void destroyDispatcher();

    Dispatcher();
    ~Dispatcher() = default;

    bool isBlockedInput(const UIEvent* event) const;

    std::uint32_t m_threadId;
    // Every delivered event asks for membership, so a hashed set keeps that
    // constant however many widgets exist.
    std::unordered_multiset<const MessageReceiver*> m_receivers;
    EventLoop m_mainLoop;
    List<EventLoop*> m_runningLoops;
    // Read by posting threads.
    std::atomic<std::uint32_t> m_flags{0};
};

// Creates the process's Dispatcher and its message window on the calling
// (UI) thread; returns the existing one when there is one.
Dispatcher* createDispatcher();
// Deletes the queued events undelivered, then the Dispatcher and its window.
void destroyDispatcher();
// Null before createDispatcher and after destroyDispatcher.
Dispatcher* dispatcher();
