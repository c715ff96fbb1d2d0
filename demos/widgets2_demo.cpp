// The rest of a main window's furniture: a menu bar with three menus; tool
// bars in icon and icon-with-caption modes with separators, an expander and
// a drop-down tool button; a checkable group box enabling its contents (a
// hot-key field and two colour pickers that copy and paste colours); a
// link; a progress bar moved by a timer, with its text; a picture with
// layers in the four scale modes beside a vertical progress bar that the
// timer moves too and one held at half. With --script the program opens the
// bar's "View" menu and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "graphics/StateImages.h"
#include "ui/UITheme.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIColorPicker.h"
#include "ui/widgets/UIGroup.h"
#include "ui/widgets/UIHotKey.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UILink.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIMenuBar.h"
#include "ui/widgets/UIPicture.h"
#include "ui/widgets/UIProgress.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIToolBar.h"
#include "ui/widgets/UIToolButton.h"

#include <windows.h>

#include <initializer_list>

namespace {

Bitmap filled(int width, int height, Colour colour)
{
    Bitmap image(width, height, true);
    image.fill(colour);
    return image;
}

UIMenu* menuOf(UIWidget* parent, std::initializer_list<const wchar_t*> entries)
{
    auto* menu = new UIMenu(parent);
    for (const wchar_t* entry : entries)
        menu->addAction(entry);
    return menu;
}

UIProgress* progress = nullptr;
UIProgress* verticalProgress = nullptr;

void CALLBACK advanceProgress(HWND, UINT, UINT_PTR, DWORD)
{
    progress->setValue(progress->value() >= 100 ? 0 : progress->value() + 2);
    verticalProgress->setValue(progress->value());
}

UIProgress* newVerticalProgress(UIWidget* parent, int value)
{
    auto* bar = shown(new UIProgress(parent));
    bar->setOrientation(1);
    bar->setRange(0, 100);
    bar->setValue(value);
    bar->setMinimumSize(18, 100);
    return bar;
}

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"Main window furniture", Rect(20, 20, 760, 560));
        addMenuBar();
        addToolBar(0);
        addToolBar(3);
        addGroup();
        addProgressAndLink();
        addPicture();
        shown(new UIExpander(window));
        window->show();
        SetTimer(nullptr, 0, 100, advanceProgress);
    }

    UIWindow* window = nullptr;
    UIMenuBar* bar = nullptr;

private:
    void addMenuBar()
    {
        bar = shown(new UIMenuBar(window));
        bar->setSizePolicy(SizeExpanding, SizeFixed);
        bar->addItem(L"File")->setMenu(menuOf(bar, {L"Open library", L"Save", L"Quit"}));
        bar->addItem(L"View")->setMenu(menuOf(bar, {L"Tag cloud", L"Items table", L"Icons"}));
        bar->addItem(L"Help")->setMenu(menuOf(bar, {L"Contents", L"About Kestrola"}));
    }

    // mode 0 shows icons, 3 icons with captions.
    void addToolBar(int mode)
    {
        auto* tools = shown(new UIToolBar(window));
        tools->setSizePolicy(SizeExpanding, SizeFixed);
        tools->setSeparatorImage(filled(1, 20, Colour(200, 205, 211)));
        tools->setDisplayMode(mode);
        tools->addButton(StateImages(standardImage(ImageDirectorySmall)), L"Open", L"Open a folder");
        tools->addButton(StateImages(standardImage(ImageInformationSmall)), L"Details", L"Show details");
        tools->addSeparator();
        UIToolButton* more = tools->addButton(StateImages(standardImage(ImageQuestionSmall)), L"More", L"More");
        more->setMenu(menuOf(more, {L"Rescan", L"Forget missing files"}));
        tools->addExpander();
        tools->addButton(StateImages(standardImage(ImageWarningSmall)), L"Problems", L"Problems");
    }

    void addGroup()
    {
        group = shown(new UIGroup(window));
        group->setTitle(L"Global hot key");
        group->setCheckable(true);
        group->setChecked(true);
        group->setSizePolicy(SizeExpanding, SizeFixed);
        group->setLayoutVertical(false);
        group->applyLayoutSpacingMetrics();
        group->toggled.connect(this, &Demo::enableGroup);
        shown(new UIHotKey(group))->setHotKey(HotKey(0, VK_F5, 1 | 2));
        shown(new UIColorPicker(group))->setColor(Colour(79, 145, 214));
        shown(new UIColorPicker(group))->setColor(Colour(233, 174, 60));
        shown(new UIExpander(group));
    }

    void addProgressAndLink()
    {
        UIBox* row = addBox(window, false);
        progress = shown(new UIProgress(row));
        progress->setRange(0, 100);
        progress->setTextVisible(true);
        progress->setMinimumSize(300, 18);
        shown(new UILink(row, L"Kestrola on the web", L"https://example.org/kestrola"));
        shown(new UIExpander(row));
    }

    // One picture per scale mode, each with a layer over a background
    // layer.
    void addPicture()
    {
        UIBox* row = addBox(window, false);
        const wchar_t* names[] = {L"unscaled", L"stretched", L"fitted", L"tiled"};
        for (int mode = UIPicture::Unscaled; mode <= UIPicture::Tiled; ++mode) {
            UIBox* cell = shown(new UIBox(row));
            cell->setLayoutVertical(true);
            auto* picture = shown(new UIPicture(cell));
            picture->setAutoSize(false);
            picture->setMinimumSize(120, 80);
            picture->setMargins(4, 4, 4, 4);
            picture->addLayer(filled(120, 80, Colour(234, 243, 252)), UIPicture::Stretched, 0);
            picture->addLayer(standardImage(ImageDirectoryBig), mode, AlignCenter);
            shown(new UILabel(cell))->setText(names[mode]);
        }
        verticalProgress = newVerticalProgress(row, 0);
        newVerticalProgress(row, 50);
        shown(new UIExpander(row));
    }

    void enableGroup()
    {
        for (UIWidget* child : group->children()) {
            if (group->isChecked())
                child->enable();
            else
                child->disable();
        }
    }

    UIGroup* group = nullptr;
};

Demo* demo = nullptr;
int step = 0;

void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    switch (step++) {
    case 3: {
        const Rect entry = demo->bar->item(1)->rect();
        const Point p = demo->bar->mapToWindow(Point(entry.x + entry.width / 2, entry.y + entry.height / 2));
        postPointer(demo->window, WM_MOUSEMOVE, 0, p);
        postPointer(demo->window, WM_LBUTTONDOWN, MK_LBUTTON, p);
        postPointer(demo->window, WM_LBUTTONUP, 0, p);
        break;
    }
    case 12:
        dispatcher()->quitAll(0);
        break;
    default:
        break;
    }
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    return runWidgetDemo(demo, argc, argv, scriptStep);
}
