#pragma once

// Real windows for the toolkit's tests: an Application (the dispatcher and
// the program's path), window widgets made the way window classes make
// them, and a widget that paints one colour and records every event.

#include "foundation/Application.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"
#include "ui/UIWin32Window.h"

#include "tests/support/Pump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

inline void ensureTestApplication()
{
    static Application* application =
        Application::instance() ? nullptr : new Application(L"KestrolaUiTest", L"1.0");
    (void)application;
    UIManager::instance();
}

// The fixture of the widget and window tests: the application first, and
// nothing posted left behind for the next test.
class WidgetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureTestApplication(); }
    void TearDown() override { pumpPending(); }
};

// Flags of a test window that closes at once: Wine waits up to two seconds
// for a window with a frame, or one that was active, to leave the screen
// when no window manager runs.
constexpr std::uint32_t quickWindow = WindowFrameless | WindowNoActivate;

struct RecordedEvent {
    int type;
    Point position;
    int value;

    bool operator==(const RecordedEvent&) const = default;
};

// Paints itself in one colour (nothing when the colour is not visible) and
// records the events its handlers see.
class RecordingWidget : public UIWidget {
public:
    RecordingWidget(UIWidget* parent, Colour colour, std::uint32_t windowFlags = 0)
        : UIWidget(parent, windowFlags), colour(colour)
    {
        if (windowFlags != 0)
            setFlag(WidgetWindow, true);
        setStyleName(windowFlags != 0 ? L"TestWindow" : L"TestWidget");
        // The tests place children by hand; a grid would move them.
        setLayoutEnabled(false);
    }

    std::vector<int> types() const
    {
        std::vector<int> result;
        for (const RecordedEvent& e : events)
            result.push_back(e.type);
        return result;
    }

    Colour colour;
    bool vetoClose = false;
    std::vector<RecordedEvent> events;

protected:
    void paintEvent(UIPaintEvent*) override
    {
        if (!colour.isVisible())
            return;
        Graphics g(backBuffer());
        g.fillRectColour(rect(), colour);
    }
    void mousePressEvent(UIMouseEvent* e) override { recordMouse(e); }
    void mouseReleaseEvent(UIMouseEvent* e) override { recordMouse(e); }
    void mouseClickEvent(UIMouseEvent* e) override { recordMouse(e); }
    void mouseDoubleClickEvent(UIMouseEvent* e) override { recordMouse(e); }
    void mouseMoveEvent(UIMouseEvent* e) override { recordMouse(e); }
    void wheelEvent(UIWheelEvent* e) override { events.push_back({e->type(), e->position(), e->direction()}); }
    void messageEvent(UIMessageEvent* e) override { events.push_back({e->type(), Point(), e->value()}); }
    void changeEvent(UIChangeEvent* e) override { events.push_back({e->type(), Point(), 0}); }
    void closeEvent(UICloseEvent* e) override
    {
        events.push_back({e->type(), Point(), e->isByCloseCommand() ? 1 : 0});
        e->setAccepted(!vetoClose);
    }

private:
    void recordMouse(UIMouseEvent* e) { events.push_back({e->type(), e->position(), e->button()}); }
};

inline HWND hwndOf(const UIWidget* widget)
{
    return static_cast<HWND>(widget->nativeHandle());
}

// A shown window of the given client size at (x, y).
inline void showAt(UIWidget& window, int x, int y, int width = 300, int height = 200)
{
    window.move(x, y);
    window.resize(width, height);
    window.show();
    pumpPending();
}

// Shown and active, for the tests that need the focus.
inline void showActive(UIWidget& window, int x, int y)
{
    showAt(window, x, y);
    window.activateWindow();
    pumpUntil([&] { return window.isActiveWindow(); }, 2000);
}

// Every descendant of root that is a Widget, in the tree's order.
template <typename Widget>
std::vector<Widget*> widgetsOf(const UIWidget& root)
{
    std::vector<Widget*> found;
    for (UIWidget* widget : root.descendants()) {
        if (auto* w = dynamic_cast<Widget*>(widget))
            found.push_back(w);
    }
    return found;
}

// A created child at the geometry, shown.
inline RecordingWidget* addChild(UIWidget* parent, Colour colour, Rect geometry)
{
    auto* child = new RecordingWidget(parent, colour);
    child->move(geometry.x, geometry.y);
    child->resize(geometry.width, geometry.height);
    child->show();
    return child;
}

// Two presses pair as a double click while it lives, however long a
// busy machine takes between them: the detector times each press as it is
// handled, and a test pumps between its presses.
class PatientDoubleClicks {
public:
    PatientDoubleClicks()
    {
        UIWin32Window::doubleClickDetector() =
            DoubleClickDetector(600000, GetSystemMetrics(SM_CXDOUBLECLK), GetSystemMetrics(SM_CYDOUBLECLK));
    }
    ~PatientDoubleClicks() { UIWin32Window::doubleClickDetector() = DoubleClickDetector(); }
    PatientDoubleClicks(const PatientDoubleClicks&) = delete;
    PatientDoubleClicks& operator=(const PatientDoubleClicks&) = delete;
};
