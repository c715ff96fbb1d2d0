// Two windows of nested plain widgets that paint themselves and print the
// mouse and key events they receive, with one box per cursor shape; a click on the "modal" box opens a
// modal window, which blocks both until it is closed. With --script the
// program drives itself: it clicks, types, opens the modal window, closes
// it again and quits, so it can run unattended under Xvfb.

#include "demos/DemoScript.h"
#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

class Box : public UIWidget {
public:
    Box(UIWidget* parent, const wchar_t* name, Colour colour, Rect geometry, std::uint32_t cursor = CursorArrow)
        : UIWidget(parent), m_name(name), m_colour(colour)
    {
        setStyleName(L"DemoBox");
        setFlag(WidgetSeeThrough, false);
        setFocusPolicy(ClickFocus);
        setCursor(Cursor(cursor));
        move(geometry.x, geometry.y);
        resize(geometry.width, geometry.height);
        show();
    }

    Signal activated;

protected:
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), hasFocus() ? m_colour.darker(0.3) : m_colour);
        g.setPen(Pen(Colour(30, 30, 30)));
        g.drawRect(0, 0, width() - 1, height() - 1);
        g.drawText(m_name, Rect(4, 4, width() - 8, 20), AlignLeft | AlignTop, 0, 1);
    }
    void mousePressEvent(UIMouseEvent* e) override
    {
        report(L"press", e);
        repaint();
    }
    void mouseReleaseEvent(UIMouseEvent* e) override { report(L"release", e); }
    void mouseClickEvent(UIMouseEvent* e) override
    {
        report(L"click", e);
        activated.emit();
    }
    void mouseMoveEvent(UIMouseEvent* e) override
    {
        if (++m_moves % 20 == 1)
            report(L"move", e);
    }
    void keyPressEvent(UIKeyEvent* e) override
    {
        wprintf(L"%ls: key press %d text \"%ls\"\n", m_name.c_str(), e->key(), e->text().c_str());
        e->accept();
    }
    void focusInEvent(UIFocusEvent*) override { repaint(); }
    void focusOutEvent(UIFocusEvent*) override { repaint(); }

private:
    void report(const wchar_t* what, UIMouseEvent* e)
    {
        wprintf(L"%ls: %ls at (%d, %d) button %d\n", m_name.c_str(), what, e->x(), e->y(), e->button());
        fflush(stdout);
    }

    String m_name;
    Colour m_colour;
    int m_moves = 0;
};

UIWidget* newWindow(const wchar_t* title, Rect frame, UIWidget* parent = nullptr)
{
    auto* window = new UIWidget(parent, WindowSystemMenu | WindowMinimizeButton);
    window->setFlag(WidgetWindow, true);
    window->setStyleName(L"DemoWindow");
    window->setWindowTitle(String(title), true);
    window->move(frame.x, frame.y);
    window->resize(frame.width, frame.height);
    return window;
}

class Demo : public SignalReceiver {
public:
    Demo()
    {
        first = newWindow(L"First", Rect(20, 20, 460, 360));
        auto* outer = new Box(first, L"outer", Colour(210, 225, 245), Rect(10, 10, 420, 300));
        auto* middle = new Box(outer, L"middle", Colour(170, 205, 170), Rect(20, 30, 250, 200), CursorHand);
        new Box(middle, L"inner", Colour(245, 200, 120), Rect(20, 30, 120, 90), CursorCross);
        modalButton = new Box(outer, L"modal", Colour(230, 150, 150), Rect(290, 30, 110, 60), CursorIBeam);
        modalButton->activated.connect(this, &Demo::openModal);

        second = newWindow(L"Second", Rect(520, 60, 360, 340));
        auto* panel = new Box(second, L"panel", Colour(235, 235, 200), Rect(10, 10, 320, 230));
        for (int i = 0; i < 6; ++i) {
            const wchar_t* names[] = {L"a", L"b", L"c", L"d", L"e", L"f"};
            new Box(panel, names[i], Colour(static_cast<std::uint8_t>(120 + 20 * i), 160, 220),
                    Rect(10 + (i % 3) * 100, 30 + (i / 3) * 95, 90, 85), CursorSizeAll);
        }
        // One box per cursor shape, labelled with its number.
        for (std::uint32_t shape = CursorArrow; shape <= CursorEmpty; ++shape) {
            const int i = static_cast<int>(shape) - 1;
            new Box(second, String::number(static_cast<unsigned int>(shape)).c_str(), Colour(250, 250, 250),
                    Rect(10 + (i % 13) * 25, 245 + (i / 13) * 25, 23, 23), shape);
        }
        first->show();
        second->show();
    }

    void openModal()
    {
        wprintf(L"opening the modal window\n");
        UIWidget* modal = newWindow(L"Modal", Rect(200, 200, 300, 180), first);
        new Box(modal, L"modal content", Colour(250, 250, 250), Rect(10, 10, 260, 110));
        modal->setModal(true);
        // Returns once the window is closed, which destroys it.
        modal->show();
        delete modal;
        wprintf(L"the modal window ended\n");
    }

    UIWidget* first = nullptr;
    UIWidget* second = nullptr;
    Box* modalButton = nullptr;
};

// Posts a few real messages to the windows, as a user would cause them.
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD);
Demo* demo = nullptr;
int step = 0;

void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    switch (step++) {
    case 0:
        clickAt(demo->first, 80, 120);
        PostMessageW(static_cast<HWND>(demo->first->nativeHandle()), WM_MOUSEMOVE, 0, MAKELPARAM(60, 90));
        PostMessageW(static_cast<HWND>(demo->first->nativeHandle()), WM_KEYDOWN, 'K', 1);
        PostMessageW(static_cast<HWND>(demo->first->nativeHandle()), WM_CHAR, 'k', 1);
        break;
    case 1:
        clickAt(demo->second, 150, 100);
        break;
    case 2:
        clickAt(demo->first, 340, 80);
        break;
    case 8:
        if (UIWidget* modal = UIManager::instance()->windows().last()->value)
            PostMessageW(static_cast<HWND>(modal->nativeHandle()), WM_CLOSE, 0, 0);
        break;
    case 10:
        dispatcher()->quitAll(0);
        break;
    default:
        break;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Application application(L"Kestrola Demo", L"1.0");
    UIManager::instance();
    Demo instance;
    demo = &instance;
    const int code = runDemo(application, argc, argv, scriptStep);
    delete instance.first;
    delete instance.second;
    return code;
}
