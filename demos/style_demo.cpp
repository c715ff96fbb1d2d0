// A window laid out by nested grids (the style's margins and spacing,
// spans, stretch factors, fixed and expanding size policies), showing the
// button skin at several sizes in each of its states and the style's
// standard images, and a dialog that ends with a result: a click on "OK"
// ends it with 7, on "Cancel" (or Escape) with 0. A click on "dialog" in the
// window opens it. The look comes from white.style beside the program, or
// the demo's own colours without it. With --script the program opens the
// dialog, ends it with 7, prints the result and quits, so it can run
// unattended under Xvfb.

#include "demos/DemoScript.h"
#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIDialog.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UITheme.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

namespace {

// Room for a panel's name above its children.
constexpr int nameBand = 22;

// A named, coloured cell of a grid; with children it lays them out below
// its name in the style's margins and spacing.
class Panel : public UIWidget {
public:
    Signal clickedOn;

    Panel(UIWidget* parent, const wchar_t* name, Colour colour, Size hint = Size{80, 30})
        : UIWidget(parent), m_name(name), m_colour(colour), m_hint(hint)
    {
        setStyleName(L"DemoPanel");
        applyLayoutMarginMetrics();
        applyLayoutSpacingMetrics();
        setLayoutTopMargin(nameBand);
        show();
    }

    Size sizeHint() const override { return m_hint; }

protected:
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), m_colour);
        g.setPen(Pen(Colour(200, 205, 211)));
        g.drawRect(0, 0, width() - 1, height() - 1);
        g.setPen(Pen(Colour(33, 37, 41)));
        g.drawText(m_name, Rect(6, 3, width() - 12, nameBand - 4), AlignLeft | AlignTop, 0, 1);
        paintContent(g);
    }
    virtual void paintContent(Graphics&) {}
    void mouseClickEvent(UIMouseEvent*) override { clickedOn.emit(); }

private:
    String m_name;
    Colour m_colour;
    Size m_hint;
};

const UITheme* theme()
{
    return UIManager::instance()->theme();
}

// The button skin in every state (columns) at three sizes (rows).
class SkinPanel : public Panel {
public:
    explicit SkinPanel(UIWidget* parent) : Panel(parent, L"UIButton_Background", Colour(255, 255, 255), Size{380, 150})
    {
    }

protected:
    void paintContent(Graphics& g) override
    {
        if (!theme())
            return;
        const UISkin& skin = theme()->skin(L"UIButton_Background");
        const Size sizes[] = {{40, 20}, {60, 32}, {66, 48}};
        int y = nameBand + 4;
        for (const Size& size : sizes) {
            for (int state = 0; state < skin.stateCount(); ++state)
                skin.drawNineSlice(g, Rect(8 + state * 74, y, size.width, size.height), state, SkinAllRegions);
            y += size.height + 8;
        }
    }
};

// The style's standard images in their order, at their own sizes.
class ImagePanel : public Panel {
public:
    explicit ImagePanel(UIWidget* parent) : Panel(parent, L"standard images", Colour(255, 255, 255), Size{250, 190})
    {
    }

protected:
    void paintContent(Graphics& g) override
    {
        if (!theme())
            return;
        int x = 8;
        int y = nameBand + 4;
        int rowHeight = 0;
        for (int id = ImageDialogHelpButton; id <= ImageFocus; ++id) {
            const Bitmap& image = theme()->image(id);
            if (x + image.width() > width() - 8) {
                x = 8;
                y += rowHeight + 6;
                rowHeight = 0;
            }
            g.drawBitmapAt(image, x, y);
            x += image.width() + 6;
            rowHeight = std::max(rowHeight, image.height());
        }
    }
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

// A grid cell that takes the room left in its row, so what follows it is
// pushed to the far side.
void addFiller(UIWidget* parent)
{
    auto* filler = new UIWidget(parent);
    // A widget is created by its style name; only then can it show.
    filler->setStyleName(L"DemoFiller");
    filler->setSizePolicy(SizeExpanding, SizeFixed);
    filler->show();
}

void layOut(UIWidget* widget, int columns)
{
    widget->setLayoutVertical(false);
    widget->setLayoutColumns(columns);
    widget->applyLayoutMarginMetrics();
    widget->applyLayoutSpacingMetrics();
}

class ChoiceDialog : public UIDialog {
public:
    explicit ChoiceDialog(UIWidget* parent) : UIDialog(parent, WindowSystemMenu)
    {
        // Left at (0, 0), the dialog is centred on its owner when shown.
        styleWindow(this, Size{300, 140}, L"Choose");
        layOut(this, 3);
        auto* question = new Panel(this, L"Take seven?", Colour(255, 255, 255), Size{200, 60});
        question->setColumnSpan(3);
        question->setSizePolicy(SizeExpanding, SizeExpanding);
        addFiller(this);
        ok = new Panel(this, L"OK", Colour(215, 230, 250), Size{84, 30});
        auto* cancel = new Panel(this, L"Cancel", Colour(235, 235, 235), Size{84, 30});
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

// Two resizable columns sharing the room 70 : 30 beside a fixed one, under
// a cell that spans both (stretch factors only apply when no cell of the
// axis is expanding).
void addNestedGrid(UIWidget* parent)
{
    auto* nested = new Panel(parent, L"nested grid", Colour(232, 238, 246));
    nested->setSizePolicy(SizeExpanding, SizeExpanding);
    layOut(nested, 3);
    nested->setLayoutTopMargin(nameBand);
    nested->setColumnStretch(0, 70);
    nested->setColumnStretch(1, 30);
    auto* span = new Panel(nested, L"span 2", Colour(225, 240, 225));
    span->setColumnSpan(2);
    span->setSizePolicy(SizeResizable, SizeResizable);
    new Panel(nested, L"fixed", Colour(245, 235, 215), Size{70, 40});
    for (const wchar_t* name : {L"70 %", L"30 %"}) {
        auto* cell = new Panel(nested, name, Colour(250, 250, 250));
        cell->setSizePolicy(SizeResizable, SizeResizable);
    }
    new Panel(nested, L"fixed", Colour(245, 235, 215), Size{70, 40});
}

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = new UIWindow(nullptr, WindowSystemMenu | WindowMinimizeButton);
        styleWindow(window, Size{660, 420}, L"Style demo");
        window->move(40, 40);
        layOut(window, 2);
        auto* skins = new SkinPanel(window);
        skins->setColumnSpan(2);
        skins->setSizePolicy(SizeExpanding, SizeFixed);
        new ImagePanel(window);
        addNestedGrid(window);
        opener = new Panel(window, L"dialog", Colour(215, 230, 250), Size{120, 40});
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
