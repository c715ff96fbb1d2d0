// A window of nested plain widgets on a UIWindow's background and border
// (from white.style beside the program, or the demo's own look without it),
// and a dialog that ends with a result: a click on "OK" ends it with 7, on
// "Cancel" (or Escape) with 0. A click on "dialog" in the window opens it.
// With --script the program opens the dialog, ends it with 7, prints the
// result and quits, so it can run unattended under Xvfb.

#include "demos/DemoScript.h"
#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIDialog.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

class Panel : public UIWidget {
public:
    Signal clickedOn;

    Panel(UIWidget* parent, const wchar_t* name, Colour colour, Rect geometry)
        : UIWidget(parent), m_name(name), m_colour(colour)
    {
        setStyleName(L"DemoPanel");
        // Windows lay their children out: a panel keeps at least its size.
        setMinimumSize(geometry.width, geometry.height);
        setGeometry(geometry);
        show();
    }

protected:
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), m_colour);
        g.setPen(Pen(Colour(150, 160, 175)));
        g.drawRect(0, 0, width() - 1, height() - 1);
        g.setPen(Pen(Colour(40, 40, 40)));
        g.drawText(m_name, Rect(6, 4, width() - 12, 20), AlignLeft | AlignTop, 0, 1);
    }
    void mouseClickEvent(UIMouseEvent*) override { clickedOn.emit(); }

private:
    String m_name;
    Colour m_colour;
};

bool styleLoaded = false;

void styleWindow(UIWindow* window, Size size, const wchar_t* title)
{
    if (!styleLoaded) {
        window->setBackground(Brush(Colour(246, 247, 249)));
        window->setBorderColor(Colour(120, 130, 145));
    }
    window->setWindowTitle(String(title), true);
    window->resize(size);
}

class ChoiceDialog : public UIDialog {
public:
    explicit ChoiceDialog(UIWidget* parent) : UIDialog(parent, WindowSystemMenu)
    {
        // Left at (0, 0), the dialog is centred on its owner when shown.
        styleWindow(this, Size{300, 140}, L"Choose");
        new Panel(this, L"Take seven?", Colour(255, 255, 255), Rect(12, 12, 276, 70));
        ok = new Panel(this, L"OK", Colour(215, 230, 250), Rect(112, 94, 84, 30));
        auto* cancel = new Panel(this, L"Cancel", Colour(235, 235, 235), Rect(204, 94, 84, 30));
        ok->clickedOn.connect(this, &ChoiceDialog::takeSeven);
        cancel->clickedOn.connect(this, &ChoiceDialog::reject);
    }

    void takeSeven() { done(7); }

    Panel* ok = nullptr;
};

// The dialog that shows now, for the script.
ChoiceDialog* shownDialog = nullptr;

// A click in the middle of a widget, through its window.
void clickOn(UIWidget* widget)
{
    const Point p = widget->mapToWindow(Point(widget->width() / 2, widget->height() / 2));
    clickAt(widget->topLevelWidget(), p.x, p.y);
}

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = new UIWindow(nullptr, WindowSystemMenu | WindowMinimizeButton);
        styleWindow(window, Size{460, 320}, L"Style demo");
        window->move(40, 40);
        auto* outer = new Panel(window, L"outer", Colour(232, 238, 246), Rect(12, 12, 436, 296));
        auto* left = new Panel(outer, L"left", Colour(250, 250, 250), Rect(10, 30, 200, 256));
        new Panel(left, L"inner", Colour(225, 240, 225), Rect(10, 30, 180, 100));
        new Panel(left, L"inner 2", Colour(245, 235, 215), Rect(10, 140, 180, 106));
        opener = new Panel(outer, L"dialog", Colour(215, 230, 250), Rect(220, 30, 206, 60));
        opener->clickedOn.connect(this, &Demo::openDialog);
        window->show();
    }

    void openDialog()
    {
        ChoiceDialog dialog(window);
        shownDialog = &dialog;
        dialog.show();
        shownDialog = nullptr;
        wprintf(L"the dialog ended with %d\n", dialog.result());
        fflush(stdout);
    }

    UIWindow* window = nullptr;
    Panel* opener = nullptr;
};

Demo* demo = nullptr;
int step = 0;

// Opens the dialog, then clicks its "OK".
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    switch (step++) {
    case 0:
        clickOn(demo->opener);
        break;
    case 3:
        if (shownDialog)
            clickOn(shownDialog->ok);
        break;
    case 5:
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
    styleLoaded = UIManager::instance()->loadStyle(L"white");
    wprintf(L"white.style %ls\n", styleLoaded ? L"loaded" : L"not found");
    Demo instance;
    demo = &instance;
    const int code = runDemo(application, argc, argv, scriptStep);
    delete instance.window;
    return code;
}
