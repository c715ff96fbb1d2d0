#pragma once

// Shared pieces of the widget tests: a widget that records what its
// handlers see, a receiver that records emitted Signals, and the fixture
// (window helpers are in WindowTesting.h).

#include "foundation/Dispatcher.h"
#include "foundation/Signal.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/Pump.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <vector>

// Records the type of every event that reaches a handler; accepts key
// presses when asked to.
class ProbeWidget : public UIWidget {
public:
    explicit ProbeWidget(UIWidget* parent = nullptr, std::uint32_t windowFlags = 0, bool asWindow = false)
        : UIWidget(parent, windowFlags)
    {
        if (asWindow)
            setFlag(WidgetWindow, true);
        setStyleName(String(L"ProbeWidget"));
        // The tests place children by hand; a grid would move them.
        setLayoutEnabled(false);
    }

    std::vector<int> handled;
    bool acceptKeys = false;

protected:
    void keyPressEvent(UIKeyEvent* e) override { note(e, acceptKeys); }
    void keyReleaseEvent(UIKeyEvent* e) override { note(e, acceptKeys); }
    void mousePressEvent(UIMouseEvent* e) override { note(e); }
    void mouseReleaseEvent(UIMouseEvent* e) override { note(e); }
    void mouseClickEvent(UIMouseEvent* e) override { note(e); }
    void mouseMoveEvent(UIMouseEvent* e) override { note(e); }
    void enterEvent(UIMouseEvent* e) override { note(e); }
    void leaveEvent(UIMouseEvent* e) override { note(e); }
    void resizeEvent(UIResizeEvent* e) override { note(e); }
    void focusInEvent(UIFocusEvent* e) override { note(e); }
    void focusOutEvent(UIFocusEvent* e) override { note(e); }
    void showEvent(UIShowEvent* e) override { note(e); }
    void hideEvent(UIHideEvent* e) override { note(e); }
    void changeEvent(UIChangeEvent* e) override { note(e); }

private:
    void note(UIEvent* e, bool accept = false)
    {
        handled.push_back(e->type());
        if (accept)
            e->accept();
    }
};

// Records the type of each event a connected Signal emits.
class SignalLog : public SignalReceiver {
public:
    void onEvent(UIEvent* e) { types.push_back(e->type()); }
    void listen(Signal& signal) { signal.connect(this, &SignalLog::onEvent); }

    std::vector<int> types;
};

inline bool send(UIWidget& widget, UIEvent&& e)
{
    return dispatcher()->sendEvent(&e, &widget);
}

inline UIMouseEvent mouseEvent(int type, Point p, int button = LeftButton)
{
    return UIMouseEvent(type, p, button, button, 0);
}

inline UIKeyEvent keyEvent(int type, int key, std::uint32_t modifiers = 0)
{
    return UIKeyEvent(type, key, modifiers, String());
}

// A frame window that stands for the program's windows. Tests that need no
// activation use the kit's quickWindow, which Wine hides at once.
constexpr std::uint32_t frameWindowFlags = WindowSystemMenu | WindowMinimizeButton | WindowResizable;
