#include "foundation/Event.h"
#include "foundation/Signal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Log = std::vector<std::string>;

// A receiver that writes each call into a shared log, and runs an optional
// action from inside its plain handler.
class Recorder : public SignalReceiver {
public:
    Recorder(Log& log, std::string name) : m_log(log), m_name(std::move(name)) {}

    void onPlain()
    {
        m_log.push_back(m_name);
        if (action)
            action();
    }
    void onInt(int value) { m_log.push_back(m_name + ":" + std::to_string(value)); }
    void onBool(bool value) { m_log.push_back(m_name + (value ? ":true" : ":false")); }
    void onEvent(UIEvent* event) { m_log.push_back(m_name + ":type" + std::to_string(event->type())); }
    void onDouble(double value) { m_log.push_back(m_name + ":" + std::to_string(value)); }
    void onPair(int oldValue, int newValue)
    {
        m_log.push_back(m_name + ":" + std::to_string(oldValue) + "->" + std::to_string(newValue));
    }

    std::function<void()> action;

private:
    Log& m_log;
    std::string m_name;
};

// A sender that owns its Signal, like a button owns `clicked`.
struct Sender {
    Signal clicked;
};

} // namespace

TEST(SignalTest, EmittingWithoutDelegatesDoesNothing)
{
    Signal signal;
    signal.emit();
    signal.emit(5);
    signal.emit(1, 2);
    signal.emit(0.5);
    EXPECT_EQ(signal.count(), 0);
}

TEST(SignalTest, CallsDelegatesInConnectionOrder)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    Signal signal;
    signal.connect(&b, &Recorder::onPlain);
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(&b, &Recorder::onInt);
    signal.emit(7);
    EXPECT_EQ(log, (Log{"b", "a", "b:7"}));
}

TEST(SignalTest, EachKindReceivesItsArguments)
{
    Log log;
    Recorder r(log, "r");
    Signal values;
    values.connect(&r, &Recorder::onInt);
    values.connect(&r, &Recorder::onBool);
    values.emit(-3);
    Signal events;
    events.connect(&r, &Recorder::onEvent);
    UICustomEvent event(42);
    events.emit(&event);
    Signal reals;
    reals.connect(&r, &Recorder::onDouble);
    reals.emit(2.5);
    Signal pairs;
    pairs.connect(&r, &Recorder::onPair);
    pairs.emit(-4, 9);
    EXPECT_EQ(log, (Log{"r:-3", "r:true", "r:type100", "r:2.500000", "r:-4->9"}));
}

TEST(SignalTest, PointerArgumentKeepsItsFullWidth)
{
    // An event pointer above 4 GiB must survive the trip through the
    // one-argument delegate.
    struct Catcher : SignalReceiver {
        void onEvent(UIEvent* event) { received = event; }
        UIEvent* received = nullptr;
    } catcher;
    Signal signal;
    signal.connect(&catcher, &Catcher::onEvent);
    auto* farAway = reinterpret_cast<UIEvent*>(std::uintptr_t(0x123456789A0));
    signal.emit(farAway);
    EXPECT_EQ(catcher.received, farAway);
}

TEST(SignalTest, PlainHandlerIgnoresTheEmittedValue)
{
    Log log;
    Recorder r(log, "r");
    Signal signal;
    signal.connect(&r, &Recorder::onPlain);
    signal.emit(99);
    signal.emit(1.5);
    EXPECT_EQ(log, (Log{"r", "r"}));
}

TEST(SignalTest, DisabledSignalCallsNothing)
{
    Log log;
    Recorder r(log, "r");
    Signal signal;
    signal.connect(&r, &Recorder::onPlain);
    EXPECT_TRUE(signal.isEnabled());
    signal.setEnabled(false);
    signal.emit();
    EXPECT_TRUE(log.empty());
    signal.setEnabled(true);
    signal.emit();
    EXPECT_EQ(log, (Log{"r"}));
}

TEST(SignalTest, ReceiverConnectedTwiceIsCalledTwiceAndRemovedByOneDisconnect)
{
    Log log;
    Recorder r(log, "r");
    Recorder other(log, "o");
    Signal signal;
    signal.connect(&r, &Recorder::onPlain);
    signal.connect(&other, &Recorder::onPlain);
    signal.connect(&r, &Recorder::onPlain);
    signal.emit();
    EXPECT_EQ(log, (Log{"r", "o", "r"}));
    EXPECT_EQ(r.signalCount(), 1);

    signal.disconnectReceiver(&r);
    log.clear();
    signal.emit();
    EXPECT_EQ(log, (Log{"o"}));
    EXPECT_EQ(signal.count(), 1);
    EXPECT_FALSE(signal.isConnected(&r));
    // A receiver disconnected by the Signal used to keep the Signal in its set.
    EXPECT_FALSE(r.isConnectedTo(&signal));
}

TEST(SignalTest, DestroyingSignalFirstLeavesReceiverClean)
{
    Log log;
    Recorder r(log, "r");
    {
        Signal signal;
        signal.connect(&r, &Recorder::onPlain);
        signal.connect(&r, &Recorder::onInt);
        EXPECT_TRUE(r.isConnectedTo(&signal));
    }
    EXPECT_EQ(r.signalCount(), 0);
}

TEST(SignalTest, DestroyingReceiverFirstLeavesSignalClean)
{
    Log log;
    Signal first;
    Signal second;
    {
        Recorder r(log, "r");
        first.connect(&r, &Recorder::onPlain);
        second.connect(&r, &Recorder::onPlain);
        second.connect(&r, &Recorder::onPlain);
        EXPECT_EQ(r.signalCount(), 2);
    }
    EXPECT_EQ(first.count(), 0);
    EXPECT_EQ(second.count(), 0);
    first.emit();
    second.emit();
    EXPECT_TRUE(log.empty());
}

TEST(SignalTest, HandlerDestroyingItsReceiverLetsTheOthersRun)
{
    Log log;
    Recorder a(log, "a");
    auto* doomed = new Recorder(log, "doomed");
    Recorder c(log, "c");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(doomed, &Recorder::onPlain);
    signal.connect(&c, &Recorder::onPlain);
    signal.connect(doomed, &Recorder::onInt);
    doomed->action = [&doomed] {
        delete doomed;
        doomed = nullptr;
    };
    signal.emit();
    EXPECT_EQ(log, (Log{"a", "doomed", "c"}));
    EXPECT_EQ(signal.count(), 2);

    log.clear();
    signal.emit();
    EXPECT_EQ(log, (Log{"a", "c"}));
}

TEST(SignalTest, HandlerDisconnectingALaterReceiverSkipsIt)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(&b, &Recorder::onPlain);
    a.action = [&] { signal.disconnectReceiver(&b); };
    signal.emit();
    EXPECT_EQ(log, (Log{"a"}));
    EXPECT_EQ(signal.count(), 1);
}

TEST(SignalTest, DelegateConnectedDuringEmissionIsCalledInIt)
{
    Log log;
    Recorder a(log, "a");
    Recorder late(log, "late");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    bool connected = false;
    a.action = [&] {
        if (connected)
            return;
        connected = true;
        signal.connect(&late, &Recorder::onInt);
    };
    signal.emit(3);
    EXPECT_EQ(log, (Log{"a", "late:3"}));
    EXPECT_EQ(signal.count(), 2);
}

TEST(SignalTest, HandlerDeletingTheSenderStopsTheEmission)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    auto* sender = new Sender;
    sender->clicked.connect(&a, &Recorder::onPlain);
    sender->clicked.connect(&b, &Recorder::onPlain);
    a.action = [&sender] {
        delete sender;
        sender = nullptr;
    };
    // The emission used to walk the freed delegate list after the handler.
    sender->clicked.emit();
    EXPECT_EQ(log, (Log{"a"}));
    EXPECT_EQ(a.signalCount(), 0);
    EXPECT_EQ(b.signalCount(), 0);
}

TEST(SignalTest, HandlerDeletingTheSenderInsideANestedEmission)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    auto* sender = new Sender;
    sender->clicked.connect(&a, &Recorder::onPlain);
    sender->clicked.connect(&b, &Recorder::onPlain);
    int depth = 0;
    a.action = [&] {
        if (++depth == 1) {
            sender->clicked.emit();
            return;
        }
        delete sender;
        sender = nullptr;
    };
    sender->clicked.emit();
    EXPECT_EQ(log, (Log{"a", "a"}));
    EXPECT_EQ(b.signalCount(), 0);
}

TEST(SignalTest, NestedEmissionCallsEveryDelegateAgain)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(&b, &Recorder::onPlain);
    bool nested = false;
    a.action = [&] {
        if (nested)
            return;
        nested = true;
        signal.emit();
    };
    signal.emit();
    EXPECT_EQ(log, (Log{"a", "a", "b", "b"}));
}

TEST(SignalTest, RemovalInNestedEmissionIsSeenByTheOuterOne)
{
    Log log;
    Recorder a(log, "a");
    auto* b = new Recorder(log, "b");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(b, &Recorder::onPlain);
    bool nested = false;
    a.action = [&] {
        if (nested)
            return;
        nested = true;
        signal.emit();
        delete b;
    };
    signal.emit();
    EXPECT_EQ(log, (Log{"a", "a", "b"}));
    EXPECT_EQ(signal.count(), 1);
}

TEST(SignalTest, ExceptionFromHandlerLeavesSignalUsable)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(&b, &Recorder::onPlain);
    a.action = [&] {
        signal.disconnectReceiver(&b);
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(signal.emit(), std::runtime_error);
    EXPECT_EQ(signal.count(), 1);
    auto locked = std::async(std::launch::async, [&signal] {
        signal.lock();
        signal.unlock();
    });
    EXPECT_EQ(locked.wait_for(std::chrono::seconds(2)), std::future_status::ready);
}

TEST(SignalTest, DuplicateClonesTheOldReceiversDelegatesInOrder)
{
    Log log;
    Recorder a(log, "a");
    Recorder b(log, "b");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.connect(&b, &Recorder::onPlain);
    signal.connect(&a, &Recorder::onInt);
    {
        Recorder c(log, "c");
        signal.duplicate(&a, &c);
        EXPECT_EQ(signal.count(), 5);
        EXPECT_TRUE(c.isConnectedTo(&signal));
        signal.emit(4);
        EXPECT_EQ(log, (Log{"a", "b", "a:4", "c", "c:4"}));
    }
    // The clones went with their receiver.
    EXPECT_EQ(signal.count(), 3);
}

TEST(SignalTest, DuplicateSkipsAReceiverOfAnotherClass)
{
    struct Stranger : SignalReceiver {
    } stranger;
    Log log;
    Recorder a(log, "a");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    signal.duplicate(&a, &stranger);
    EXPECT_EQ(signal.count(), 1);
    EXPECT_FALSE(stranger.isConnectedTo(&signal));
}

TEST(SignalTest, CopiedReceiverStartsWithoutConnections)
{
    Log log;
    Recorder a(log, "a");
    Signal signal;
    signal.connect(&a, &Recorder::onPlain);
    Recorder copy(a);
    EXPECT_EQ(copy.signalCount(), 0);
    signal.emit();
    EXPECT_EQ(log, (Log{"a"}));
}

TEST(SignalTest, AdjustingDelegateCallsThePartAtTheOffset)
{
    struct Counter {
        void onPlain() { ++calls; }
        void onInt(int value) { last = value; }
        int calls = 0;
        int last = 0;
    };
    struct Host : SignalReceiver {
        Counter counter;
    } host;
    int offset = static_cast<int>(reinterpret_cast<char*>(&host.counter) - reinterpret_cast<char*>(&host));
    Signal signal;
    signal.connect(&host, &Counter::onPlain, offset);
    signal.connect(&host, &Counter::onInt, offset);
    signal.emit(12);
    EXPECT_EQ(host.counter.calls, 1);
    EXPECT_EQ(host.counter.last, 12);
    signal.disconnectReceiver(&host);
    EXPECT_EQ(signal.count(), 0);
}

namespace {

// Where the last adjusting call landed; kept outside the object, since a
// call on a wrong address must not write into whatever lies there.
const void* adjustedCallTarget = nullptr;
int adjustedCallValue = 0;

struct FirstBase {
    virtual ~FirstBase() = default;
    int padding[6] = {};
};

// A widget-like receiver whose SignalReceiver part is not its first base.
struct LaterBaseReceiver : FirstBase, SignalReceiver {
    void onPlain() { adjustedCallTarget = this; }
    void onInt(int value)
    {
        adjustedCallTarget = this;
        adjustedCallValue = value;
    }
};

struct OtherReceiver : SignalReceiver {
};

} // namespace

// The offset used to count from the SignalReceiver base, so with offset 0
// the handler ran on the wrong address of such a receiver.
TEST(SignalTest, AdjustingDelegateWithOffsetZeroCallsTheReceiverItself)
{
    LaterBaseReceiver receiver;
    ASSERT_NE(static_cast<void*>(static_cast<SignalReceiver*>(&receiver)), static_cast<void*>(&receiver));
    Signal signal;
    signal.connect(&receiver, &LaterBaseReceiver::onPlain, 0);
    signal.connect(&receiver, &LaterBaseReceiver::onInt, 0);
    adjustedCallTarget = nullptr;
    signal.emit();
    EXPECT_EQ(adjustedCallTarget, &receiver);
    adjustedCallTarget = nullptr;
    signal.emit(7);
    EXPECT_EQ(adjustedCallTarget, &receiver);
    EXPECT_EQ(adjustedCallValue, 7);
    signal.disconnectReceiver(&receiver);
    EXPECT_EQ(signal.count(), 0);
    EXPECT_EQ(receiver.signalCount(), 0);
}

// The offset belongs to the receiver's class; a clone for another class
// would call into the middle of an unrelated object.
TEST(SignalTest, DuplicateSkipsAnAdjustingDelegateForAnotherClass)
{
    LaterBaseReceiver first;
    LaterBaseReceiver second;
    OtherReceiver other;
    Signal signal;
    signal.connect(&first, &LaterBaseReceiver::onPlain, 0);
    signal.duplicate(&first, &other);
    EXPECT_FALSE(signal.isConnected(&other));
    EXPECT_FALSE(other.isConnectedTo(&signal));
    signal.duplicate(&first, &second);
    EXPECT_TRUE(signal.isConnected(&second));
    adjustedCallTarget = nullptr;
    signal.disconnectReceiver(&first);
    signal.emit();
    EXPECT_EQ(adjustedCallTarget, &second);
}

TEST(SignalTest, EmissionOnAnotherThreadRunsThere)
{
    struct ThreadRecorder : SignalReceiver {
        void onPlain() { thread = std::this_thread::get_id(); }
        std::thread::id thread;
    } r;
    Signal signal;
    signal.connect(&r, &ThreadRecorder::onPlain);
    std::thread emitter([&signal] { signal.emit(); });
    std::thread::id emitterId = emitter.get_id();
    emitter.join();
    EXPECT_EQ(r.thread, emitterId);
}
