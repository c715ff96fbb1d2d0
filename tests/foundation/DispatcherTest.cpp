#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "foundation/Event.h"
#include "foundation/MessageReceiver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

// Counts its own deletions, so a test can tell "freed exactly once".
class CountedEvent : public UICustomEvent {
public:
    CountedEvent(int code, int& deletions) : UICustomEvent(code), m_deletions(deletions) {}
    ~CountedEvent() override { ++m_deletions; }

private:
    int& m_deletions;
};

class CountedMouseEvent : public UIMouseEvent {
public:
    CountedMouseEvent(int type, int& deletions) : UIMouseEvent(type, Point{1, 2}, LeftButton, LeftButton, 0), m_deletions(deletions) {}
    ~CountedMouseEvent() override { ++m_deletions; }

private:
    int& m_deletions;
};

class Receiver : public MessageReceiver {
public:
    bool handleEvent(UIEvent* event) override
    {
        types.push_back(event->type());
        threads.push_back(GetCurrentThreadId());
        if (event->type() == CustomEventType)
            codes.push_back(static_cast<UICustomEvent*>(event)->code());
        if (onEvent)
            onEvent(event);
        return answer;
    }

    void startDestruction() { setBeingDestroyed(); }

    std::vector<int> types;
    std::vector<int> codes;
    std::vector<DWORD> threads;
    std::function<void(UIEvent*)> onEvent;
    bool answer = true;
};

// Removes everything left in this thread's queue, a quit message included,
// so that no test leaves work for the next one.
void drainQueue()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

bool pumpPending()
{
    EventLoop loop;
    return loop.processEvents();
}

// Pumps until the condition holds or the time is up.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        pumpPending();
        Sleep(1);
    }
    return true;
}

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        drainQueue();
        d = createDispatcher();
        ASSERT_NE(d, nullptr);
    }
    void TearDown() override
    {
        destroyDispatcher();
        drainQueue();
    }

    Dispatcher* d = nullptr;
};

TEST_F(DispatcherTest, CreatedOnceAndClearedByDestroy)
{
    EXPECT_EQ(dispatcher(), d);
    EXPECT_EQ(createDispatcher(), d);
    EXPECT_EQ(d->threadId(), GetCurrentThreadId());
    EXPECT_EQ(d->flags(), 0u);
    EXPECT_EQ(d->currentLoop(), nullptr);
    EXPECT_NE(d->messageWindow(), nullptr);
    destroyDispatcher();
    EXPECT_EQ(dispatcher(), nullptr);
    destroyDispatcher();
    d = createDispatcher();
    EXPECT_EQ(dispatcher(), d);
}

TEST_F(DispatcherTest, MessageWindowIsMessageOnly)
{
    HWND window = static_cast<HWND>(d->messageWindow());
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, L"DE488461-975A-4c0c-B8BC-FAADED591024", nullptr), window);
    EXPECT_FALSE(IsWindowVisible(window));
}

TEST_F(DispatcherTest, ReceiverIdsCountUpAndAreNeverReused)
{
    int firstId = 0;
    {
        Receiver first;
        firstId = first.id();
        EXPECT_GE(firstId, 1);
    }
    Receiver second;
    Receiver third;
    EXPECT_EQ(second.id(), firstId + 1);
    EXPECT_EQ(third.id(), firstId + 2);
    EXPECT_TRUE(second.name().isEmpty());
}

TEST_F(DispatcherTest, ReceiversRegisterForTheirLifetime)
{
    const int before = d->receiverCount();
    auto* receiver = new Receiver;
    EXPECT_EQ(d->receiverCount(), before + 1);
    EXPECT_TRUE(d->isRegistered(receiver));
    delete receiver;
    EXPECT_EQ(d->receiverCount(), before);
    EXPECT_FALSE(d->isRegistered(nullptr));
}

TEST_F(DispatcherTest, UnregisterRemovesOneEntryAndIgnoresAbsentOnes)
{
    Receiver receiver;
    d->registerReceiver(&receiver);
    d->unregisterReceiver(&receiver);
    EXPECT_TRUE(d->isRegistered(&receiver));
    d->unregisterReceiver(&receiver);
    EXPECT_FALSE(d->isRegistered(&receiver));
    d->unregisterReceiver(&receiver);
    d->registerReceiver(&receiver);
}

TEST_F(DispatcherTest, SendDeliversAtOnceAndReturnsTheHandlersAnswer)
{
    Receiver receiver;
    UICustomEvent event(7);
    EXPECT_TRUE(d->sendEvent(&event, &receiver));
    receiver.answer = false;
    EXPECT_FALSE(d->sendEvent(&event, &receiver));
    EXPECT_EQ(receiver.codes, (std::vector<int>{7, 7}));
}

TEST_F(DispatcherTest, SendDropsEventsForMissingOrDyingReceivers)
{
    UICustomEvent event(1);
    EXPECT_FALSE(d->sendEvent(&event, nullptr));
    EXPECT_FALSE(d->sendEvent(nullptr, nullptr));

    Receiver unregistered;
    d->unregisterReceiver(&unregistered);
    EXPECT_FALSE(d->sendEvent(&event, &unregistered));
    EXPECT_TRUE(unregistered.types.empty());
    d->registerReceiver(&unregistered);

    Receiver dying;
    dying.startDestruction();
    EXPECT_FALSE(d->sendEvent(&event, &dying));
    EXPECT_TRUE(dying.types.empty());
}

// Press, release, click and double click are input; move, leave and enter
// are not and still arrive while input is blocked.
TEST_F(DispatcherTest, BlockedInputDropsOnlyInputEvents)
{
    struct Row {
        int type;
        bool delivered;
    };
    const Row rows[] = {
        {MousePressEventType, false},  {MouseReleaseEventType, false}, {MouseClickEventType, false},
        {MouseDoubleClickEventType, false}, {MouseMoveEventType, true}, {MouseLeaveEventType, true},
        {MouseEnterEventType, true},
    };
    d->setFlags(Dispatcher::BlockInput);
    EXPECT_EQ(d->flags(), 1u);
    for (const Row& row : rows) {
        Receiver receiver;
        int sentDeletions = 0;
        CountedMouseEvent sent(row.type, sentDeletions);
        EXPECT_EQ(d->sendEvent(&sent, &receiver), row.delivered) << row.type;

        int postedDeletions = 0;
        const bool posted = d->postEvent(new CountedMouseEvent(row.type, postedDeletions), &receiver);
        EXPECT_EQ(posted, row.delivered) << row.type;
        EXPECT_EQ(postedDeletions, row.delivered ? 0 : 1) << "a blocked input event is deleted at once";
        pumpPending();
        EXPECT_EQ(postedDeletions, 1) << row.type;
        EXPECT_EQ(receiver.types.size(), row.delivered ? 2u : 0u) << row.type;
    }
    d->setFlags(0);
}

TEST_F(DispatcherTest, InputPostedBeforeTheBlockIsDroppedAtDelivery)
{
    Receiver receiver;
    int deletions = 0;
    ASSERT_TRUE(d->postEvent(new CountedMouseEvent(MousePressEventType, deletions), &receiver));
    d->setFlags(Dispatcher::BlockInput);
    pumpPending();
    d->setFlags(0);
    EXPECT_TRUE(receiver.types.empty());
    EXPECT_EQ(deletions, 1);
}

TEST_F(DispatcherTest, PostedEventArrivesOnceFromTheLoopAndIsDeleted)
{
    Receiver receiver;
    int deletions = 0;
    ASSERT_TRUE(d->postEvent(new CountedEvent(42, deletions), &receiver));
    EXPECT_TRUE(receiver.codes.empty()) << "posting never delivers at once";
    EXPECT_TRUE(pumpPending());
    EXPECT_EQ(receiver.codes, std::vector<int>{42});
    EXPECT_EQ(deletions, 1);
    pumpPending();
    EXPECT_EQ(receiver.codes.size(), 1u);
}

TEST_F(DispatcherTest, PostedEventsKeepTheirOrder)
{
    Receiver receiver;
    int deletions = 0;
    for (int code = 1; code <= 5; ++code)
        d->postEvent(new CountedEvent(code, deletions), &receiver);
    pumpPending();
    EXPECT_EQ(receiver.codes, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(deletions, 5);
}

TEST_F(DispatcherTest, PostedEventToDestroyedReceiverIsFreedWithoutDelivery)
{
    int deletions = 0;
    auto* receiver = new Receiver;
    bool called = false;
    receiver->onEvent = [&called](UIEvent*) { called = true; };
    ASSERT_TRUE(d->postEvent(new CountedEvent(1, deletions), receiver));
    delete receiver;
    pumpPending();
    EXPECT_FALSE(called);
    EXPECT_EQ(deletions, 1);
    destroyDispatcher();
    EXPECT_EQ(deletions, 1) << "flushing must not free it a second time";
    d = createDispatcher();
}

// The id stored with the event tells the new object from the dead one.
TEST_F(DispatcherTest, NewReceiverAtADeadOnesAddressDoesNotGetItsEvents)
{
    alignas(Receiver) unsigned char storage[sizeof(Receiver)];
    int deletions = 0;
    auto* dead = new (storage) Receiver;
    ASSERT_TRUE(d->postEvent(new CountedEvent(1, deletions), dead));
    dead->~Receiver();
    auto* reborn = new (storage) Receiver;
    ASSERT_EQ(static_cast<void*>(reborn), static_cast<void*>(dead));
    pumpPending();
    EXPECT_TRUE(reborn->codes.empty());
    EXPECT_EQ(deletions, 1);

    ASSERT_TRUE(d->postEvent(new CountedEvent(2, deletions), reborn));
    pumpPending();
    EXPECT_EQ(reborn->codes, std::vector<int>{2});
    reborn->~Receiver();
}

TEST_F(DispatcherTest, PostedEventToDyingReceiverIsDropped)
{
    Receiver receiver;
    int deletions = 0;
    ASSERT_TRUE(d->postEvent(new CountedEvent(1, deletions), &receiver));
    receiver.startDestruction();
    pumpPending();
    EXPECT_TRUE(receiver.codes.empty());
    EXPECT_EQ(deletions, 1);
}

TEST_F(DispatcherTest, PostedEventWithoutReceiverIsOnlyDeleted)
{
    int deletions = 0;
    EXPECT_TRUE(d->postEvent(new CountedEvent(1, deletions), nullptr));
    pumpPending();
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(d->postEvent(nullptr, nullptr));
}

// 0xC400 lies where registered messages are numbered, so another program's
// message may carry it; its parameter must not be taken for a record.
TEST_F(DispatcherTest, ForeignPrivateMessageIsIgnored)
{
    Receiver receiver;
    alignas(16) unsigned char junk[64];
    memset(junk, 0xAB, sizeof(junk));
    HWND window = static_cast<HWND>(d->messageWindow());
    ASSERT_TRUE(PostMessageW(window, Dispatcher::postedEventMessage, 1, reinterpret_cast<LPARAM>(junk)));
    ASSERT_TRUE(PostMessageW(window, Dispatcher::postedEventMessage, 0, 0));
    EXPECT_EQ(SendMessageW(window, Dispatcher::postedEventMessage, 1, reinterpret_cast<LPARAM>(junk)), 0);
    EXPECT_FALSE(Dispatcher::deliverPosted(1, reinterpret_cast<std::intptr_t>(junk)));
    pumpPending();
    EXPECT_TRUE(receiver.types.empty());
}

// A copy of an old message must not deliver a later record that happens to
// reuse the freed record's memory.
TEST_F(DispatcherTest, StaleCopyOfADeliveredMessageIsIgnored)
{
    Receiver receiver;
    int deletions = 0;
    ASSERT_TRUE(d->postEvent(new CountedEvent(1, deletions), &receiver));
    MSG queued;
    ASSERT_TRUE(PeekMessageW(&queued, static_cast<HWND>(d->messageWindow()), Dispatcher::postedEventMessage,
                             Dispatcher::postedEventMessage, PM_NOREMOVE));
    pumpPending();
    ASSERT_EQ(receiver.codes, std::vector<int>{1});

    ASSERT_TRUE(d->postEvent(new CountedEvent(2, deletions), &receiver));
    EXPECT_FALSE(Dispatcher::deliverPosted(queued.wParam, queued.lParam));
    EXPECT_EQ(receiver.codes, std::vector<int>{1}) << "the second event must wait for its own message";
    PostMessageW(queued.hwnd, queued.message, queued.wParam, queued.lParam);
    pumpPending();
    EXPECT_EQ(receiver.codes, (std::vector<int>{1, 2}));
    EXPECT_EQ(deletions, 2);
}

TEST_F(DispatcherTest, MessageDispatchedByAnotherLoopIsDeliveredToo)
{
    Receiver receiver;
    int deletions = 0;
    ASSERT_TRUE(d->postEvent(new CountedEvent(9, deletions), &receiver));
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(receiver.codes, std::vector<int>{9});
    EXPECT_EQ(deletions, 1);
}

TEST_F(DispatcherTest, EventsPostedFromOtherThreadsArriveOnTheUiThread)
{
    Receiver receiver;
    constexpr int perThread = 50;
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([&, t] {
            for (int i = 0; i < perThread; ++i)
                d->postEvent(new UICustomEvent(t * 1000 + i), &receiver);
        });
    }
    for (std::thread& poster : posters)
        poster.join();
    EXPECT_TRUE(pumpUntil([&] { return receiver.codes.size() == 4 * perThread; }));
    for (DWORD thread : receiver.threads)
        EXPECT_EQ(thread, d->threadId());
}

TEST_F(DispatcherTest, DestroyingTheDispatcherFreesUndeliveredEvents)
{
    Receiver receiver;
    int deletions = 0;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(d->postEvent(new CountedEvent(i, deletions), &receiver));
    destroyDispatcher();
    EXPECT_EQ(deletions, 3);
    d = createDispatcher();
    pumpPending();
    EXPECT_TRUE(receiver.codes.empty());
    EXPECT_EQ(deletions, 3);
}

TEST_F(DispatcherTest, FlushPostedDeletesWithoutDelivering)
{
    Receiver receiver;
    int deletions = 0;
    d->postEvent(new CountedEvent(1, deletions), &receiver);
    d->postEvent(new CountedEvent(2, deletions), &receiver);
    d->flushPosted();
    EXPECT_EQ(deletions, 2);
    pumpPending();
    EXPECT_TRUE(receiver.codes.empty());
}

// The platform refuses posts to a window that is gone; the record must not
// stay behind for a second free.
TEST_F(DispatcherTest, FailedPostFreesTheEventOnceAndReportsFalse)
{
    Receiver receiver;
    int deletions = 0;
    DestroyWindow(static_cast<HWND>(d->messageWindow()));
    EXPECT_FALSE(d->postEvent(new CountedEvent(1, deletions), &receiver));
    EXPECT_EQ(deletions, 1);
    d->flushPosted();
    EXPECT_EQ(deletions, 1);
}

TEST_F(DispatcherTest, HandlerMayPostAndDestroyReceiversWhileDelivering)
{
    Receiver first;
    auto* second = new Receiver;
    int deletions = 0;
    first.onEvent = [&](UIEvent* event) {
        if (static_cast<UICustomEvent*>(event)->code() != 1)
            return;
        delete second;
        second = nullptr;
        d->postEvent(new CountedEvent(3, deletions), &first);
    };
    d->postEvent(new CountedEvent(1, deletions), &first);
    d->postEvent(new CountedEvent(2, deletions), second);
    pumpPending();
    EXPECT_EQ(first.codes, (std::vector<int>{1, 3}));
    EXPECT_EQ(deletions, 3);
}

TEST_F(DispatcherTest, NestedLoopsEndInnermostFirstWithTheQuitAllCode)
{
    Receiver receiver;
    EventLoop inner;
    std::vector<std::string> order;
    int innerResult = -1;
    receiver.onEvent = [&](UIEvent* event) {
        const int code = static_cast<UICustomEvent*>(event)->code();
        if (code == 1) {
            EXPECT_EQ(d->currentLoop(), &d->mainLoop());
            d->postEvent(new UICustomEvent(2), &receiver);
            innerResult = inner.exec();
            order.push_back("inner");
            EXPECT_EQ(d->currentLoop(), &d->mainLoop());
        } else if (code == 2) {
            EXPECT_EQ(d->currentLoop(), &inner);
            EXPECT_TRUE(inner.isRunning());
            EXPECT_TRUE(d->mainLoop().isRunning());
            d->quitAll(5);
            EXPECT_FALSE(inner.isRunning());
            EXPECT_FALSE(d->mainLoop().isRunning());
        }
    };
    d->postEvent(new UICustomEvent(1), &receiver);
    const int outerResult = d->runMainLoop();
    order.push_back("outer");
    EXPECT_EQ(innerResult, 5);
    EXPECT_EQ(outerResult, 5);
    EXPECT_EQ(order, (std::vector<std::string>{"inner", "outer"}));
    EXPECT_EQ(d->currentLoop(), nullptr);
    EXPECT_FALSE(d->mainLoop().isRunning());
}

TEST_F(DispatcherTest, QuitMessageEndsTheMainLoopWithCodeZero)
{
    Receiver receiver;
    receiver.onEvent = [](UIEvent*) { PostQuitMessage(7); };
    d->postEvent(new UICustomEvent(1), &receiver);
    EXPECT_EQ(d->runMainLoop(), 0);
}

TEST_F(DispatcherTest, LoopStartedAfterQuitAllEndsAtItsFirstMessage)
{
    d->quitAll(3);
    EXPECT_EQ(d->runMainLoop(), 0);
}

TEST_F(DispatcherTest, LoopQuitFromAHandlerReturnsItsCode)
{
    Receiver receiver;
    receiver.onEvent = [&](UIEvent*) { d->currentLoop()->quit(11); };
    d->postEvent(new UICustomEvent(1), &receiver);
    EXPECT_EQ(d->runMainLoop(), 11);
    EXPECT_EQ(d->mainLoop().exitCode(), 11);
    EXPECT_FALSE(d->mainLoop().isQuitRequested()) << "cleared for the next run";
}

TEST_F(DispatcherTest, ProcessEventsOnAQuitLoopDoesNotPump)
{
    Receiver receiver;
    EventLoop loop;
    loop.quit();
    d->postEvent(new UICustomEvent(1), &receiver);
    EXPECT_FALSE(loop.processEvents());
    EXPECT_TRUE(receiver.codes.empty());
    EXPECT_TRUE(pumpPending());
    EXPECT_EQ(receiver.codes, std::vector<int>{1});
}

TEST_F(DispatcherTest, ProcessEventsReportsWhetherAnythingWasHandled)
{
    EXPECT_FALSE(pumpPending());
    Receiver receiver;
    d->postEvent(new UICustomEvent(1), &receiver);
    EXPECT_TRUE(pumpPending());
    EXPECT_FALSE(pumpPending());
}

// The quit handling posts the quit message again; on a loop that is not
// running the two used to chase each other for ever.
TEST_F(DispatcherTest, ProcessEventsStopsAtAQuitMessage)
{
    PostQuitMessage(0);
    EventLoop loop;
    EXPECT_TRUE(loop.processEvents());
}

TEST_F(DispatcherTest, PaintOnlyPumpingLeavesPostedEventsQueued)
{
    Receiver receiver;
    d->postEvent(new UICustomEvent(1), &receiver);
    EventLoop loop;
    EXPECT_FALSE(loop.processEvents(Dispatcher::PaintOnly));
    EXPECT_TRUE(receiver.codes.empty());
    EXPECT_TRUE(loop.processEvents());
    EXPECT_EQ(receiver.codes, std::vector<int>{1});
}

TEST_F(DispatcherTest, ExecWithoutDispatcherReturnsAtOnce)
{
    destroyDispatcher();
    EventLoop loop;
    EXPECT_EQ(loop.exec(), -1);
    EXPECT_FALSE(loop.isRunning());
    d = createDispatcher();
}

} // namespace

namespace {

class QuitCountingApplication : public Application {
public:
    QuitCountingApplication() : Application(L"KestrolaQuitTest", L"1.0") {}
    void quit() override
    {
        ++quitCalls;
        Application::quit();
    }

    int quitCalls = 0;
};

} // namespace

// The quit message called Dispatcher::quitAll directly, skipping an
// application's own quit; and the paint-only and block-input pumps must
// not lose the message.
TEST_F(DispatcherTest, QuitMessageReachesTheApplicationsQuitInEveryPumpMode)
{
    for (const std::uint32_t flags : {0u, +Dispatcher::BlockInput, +Dispatcher::PaintOnly}) {
        SCOPED_TRACE(flags);
        QuitCountingApplication application;
        PostQuitMessage(4);
        EventLoop loop;
        EXPECT_TRUE(loop.processEvents(flags));
        EXPECT_EQ(application.quitCalls, 1);
        drainQueue();
        PostQuitMessage(4);
        EXPECT_EQ(application.run(), 0) << "the main loop ends through the application";
        EXPECT_EQ(application.quitCalls, 2);
        drainQueue();
    }
    // Each application took the Dispatcher down with it.
    d = createDispatcher();
}
