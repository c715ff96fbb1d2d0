#include "WidgetTestKit.h"

#include "ui/UIToolkitHooks.h"

#include "tests/support/RowTable.h"

namespace {

class EventLog : public SignalLog {
public:
    explicit EventLog(UIWidget& w)
    {
        for (Signal* s : {&w.mousePressed, &w.mouseReleased, &w.clicked, &w.mouseMoved, &w.entered, &w.left,
                          &w.keyPressed, &w.keyReleased})
            listen(*s);
    }
};

} // namespace

using WidgetEvents = WidgetTest;

TEST_F(WidgetEvents, PressReleaseAndClickRules)
{
    struct Row {
        bool press;
        Point release;
        std::vector<int> signals;
    };
    const Row rows[] = {
        // Inside: the click follows later, posted.
        {true, {5, 5}, {MousePressEventType, MouseReleaseEventType, MouseClickEventType}},
        // Released outside: no click.
        {true, {50, 5}, {MousePressEventType, MouseReleaseEventType}},
        // A release without a press on the widget: no click either.
        {false, {5, 5}, {MouseReleaseEventType}},
    };
    forEachRow(rows, [](const Row& row) {
        ProbeWidget w;
        w.resize(20, 20);
        w.handled.clear();
        EventLog log(w);
        if (row.press) {
            send(w, mouseEvent(MousePressEventType, {5, 5}));
            EXPECT_TRUE(w.isPressed());
            EXPECT_TRUE(w.isUnderMouse());
            EXPECT_TRUE(w.isMouseGrabber());
        }
        send(w, mouseEvent(MouseReleaseEventType, row.release));
        EXPECT_FALSE(w.isPressed());
        EXPECT_FALSE(w.isMouseGrabber());
        pumpPending();
        EXPECT_EQ(log.types, row.signals);
        EXPECT_EQ(w.handled, row.signals);
    });
}

TEST_F(WidgetEvents, DisabledWidgetDropsInputButNotMoves)
{
    ProbeWidget w;
    w.resize(20, 20);
    w.disable();
    w.handled.clear();
    EXPECT_FALSE(send(w, mouseEvent(MousePressEventType, {1, 1})));
    EXPECT_FALSE(send(w, keyEvent(KeyPressEventType, 'A')));
    EXPECT_FALSE(send(w, UIWheelEvent(1, {1, 1}, 120, 0, WheelUp)));
    send(w, mouseEvent(MouseMoveEventType, {1, 1}, 0));
    EXPECT_EQ(w.handled, (std::vector<int>{MouseMoveEventType}));
    EXPECT_FALSE(w.isPressed());
}

TEST_F(WidgetEvents, DisablingSpreadsDownToNestedWindows)
{
    ProbeWidget root;
    auto* child = new ProbeWidget(&root);
    auto* grandchild = new ProbeWidget(child);
    auto* nestedWindow = new ProbeWidget(child, frameWindowFlags, true);
    root.disable();
    EXPECT_FALSE(child->isEnabled());
    EXPECT_FALSE(grandchild->isEnabled());
    EXPECT_TRUE(nestedWindow->isEnabled());
    EXPECT_EQ(child->handled.back(), EnabledChangeEventType);
    root.enable();
    EXPECT_TRUE(grandchild->isEnabled());
}

TEST_F(WidgetEvents, HoverTrackingPostsEnterAndLeave)
{
    ProbeWidget w;
    w.resize(20, 20);
    w.setFlag(WidgetHoverTracking, true);
    EventLog log(w);
    send(w, mouseEvent(MouseMoveEventType, {5, 5}, 0));
    EXPECT_TRUE(w.isUnderMouse());
    send(w, mouseEvent(MouseMoveEventType, {25, 5}, 0));
    EXPECT_FALSE(w.isUnderMouse());
    pumpPending();
    EXPECT_EQ(log.types, (std::vector<int>{MouseMoveEventType, MouseMoveEventType, MouseEnterEventType,
                                           MouseLeaveEventType}));
}

TEST_F(WidgetEvents, UnknownCodeKeepsTheAcceptedFlag)
{
    ProbeWidget w;
    for (bool accepted : {false, true}) {
        UIEvent e(UnusedEventType);
        e.setAccepted(accepted);
        EXPECT_EQ(dispatcher()->sendEvent(&e, &w), accepted);
    }
    EXPECT_TRUE(w.handled.empty());
}

TEST_F(WidgetEvents, CloseDestroysUnlessVetoed)
{
    class Vetoing : public ProbeWidget {
    protected:
        void closeEvent(UICloseEvent* e) override { e->ignore(); }
    };
    Vetoing vetoing;
    vetoing.close();
    ProbeWidget plain;
    plain.close();
    pumpPending();
    EXPECT_TRUE(vetoing.testFlag(WidgetCreated));
    EXPECT_FALSE(plain.testFlag(WidgetCreated));
    // Destroyed: every later event is dropped.
    EXPECT_FALSE(send(plain, mouseEvent(MouseMoveEventType, {1, 1}, 0)));
}

TEST_F(WidgetEvents, ToolTipIsCutToItsMaximumLength)
{
    class Recording : public UIToolkitHooks {
    public:
        void showToolTip(UIWidget*, const String& text, Point, const Rect&, int, int, int, int) override
        {
            shown = text;
        }
        String shown;
    } hooks;
    setToolkitHooks(&hooks);
    ProbeWidget w;
    w.resize(20, 20);
    w.setToolTip(String(L"abcdefgh"));
    w.setToolTipMaxLength(3);
    send(w, mouseEvent(MouseMoveEventType, {2, 2}, 0));
    setToolkitHooks(nullptr);
    EXPECT_EQ(hooks.shown, String(L"abc ... "));
}

TEST_F(WidgetEvents, HoverPollStopsAndLeavesOnceThePointerIsOutside)
{
    ProbeWidget w;
    w.resize(20, 20);
    // Far from any pointer position the screen can have.
    w.move(-50000, -50000);
    w.setFlag(WidgetHoverTracking, true);
    w.startTimer(hoverTimerId, hoverTimerInterval);
    w.handled.clear();
    EXPECT_TRUE(send(w, UICustomEvent(hoverTimerId)));
    EXPECT_FALSE(w.isTimerActive(hoverTimerId));
    pumpPending();
    EXPECT_EQ(w.handled, (std::vector<int>{MouseLeaveEventType}));
}

TEST_F(WidgetEvents, TimerTicksArriveAsCustomEventsWithTheTimerId)
{
    class Ticking : public ProbeWidget {
    public:
        std::vector<int> codes;

    protected:
        void customEvent(UICustomEvent* e) override
        {
            codes.push_back(e->code());
            killTimer(e->code());
        }
    } w;
    SignalLog log;
    log.listen(w.customReceived);
    w.startTimer(42, 10);
    ASSERT_TRUE(pumpUntil([&] { return !w.codes.empty(); }, 2000));
    pumpUntil([] { return false; }, 50);
    EXPECT_EQ(w.codes, (std::vector<int>{42}));
    EXPECT_EQ(log.types, (std::vector<int>{CustomEventType}));
}
