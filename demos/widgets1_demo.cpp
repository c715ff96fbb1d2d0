// The first widgets in the "white" style: an elided label that offers its
// whole text as a tip, a multi-line label, push buttons of the four kinds
// (flat, with an icon, with a drop-down menu), check boxes, a stack of
// pages switched by buttons, boxes and lines, a status bar with a size
// grip, and a context menu (right click) with check and radio entries and
// a submenu. With --script the program opens the context menu and its
// submenu, then shows the label's tip beside them, and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "graphics/StateImages.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIAction.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UICheck.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UISizeGrip.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIStack.h"
#include "ui/widgets/UIStatusBar.h"

#include <windows.h>

#include <utility>

namespace {

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"Widgets", Rect(30, 30, 640, 470));
        addLabels();
        addButtons();
        shown(new UILine(window))->setSizePolicy(SizeExpanding, SizeFixed);
        addChecks();
        addStack();
        shown(new UIExpander(window));
        addStatusBar();
        buildContextMenu();
        window->show();
    }

    UIWindow* window = nullptr;
    UILabel* elided = nullptr;
    UIMenu* contextMenu = nullptr;

private:
    void addLabels()
    {
        UIBox* row = addBox(window, false);
        elided = shown(new UILabel(row));
        elided->setText(L"Holiday photographs from the summer by the lake, sorted by place and day.jpg");
        elided->setMinimumSize(260, 20);
        elided->setMaximumSize(260, 20);
        auto* lines = shown(new UILabel(row));
        lines->setMultiLine(true);
        lines->setText(L"Tags: holiday, lake\n\nRated: five stars");
    }

    void addButtons()
    {
        UIBox* row = addBox(window, false);
        const wchar_t* kinds[] = {L"Plain", L"Green", L"Blue", L"Yellow"};
        for (int kind = ButtonBackgroundPlain; kind <= ButtonBackgroundYellow; ++kind)
            shown(new UIButton(row, kinds[kind]))->setBackgroundKind(kind);
        shown(new UIButton(row, L"Flat"))->setFlat(true);
        shown(new UIButton(row, L"Info"))->setIcon(StateImages(standardImage(ImageInformationSmall)));
        auto* more = shown(new UIButton(row, L"More"));
        buttonMenu = new UIMenu(more);
        buttonMenu->addAction(L"Copy path");
        buttonMenu->addAction(L"Show in folder");
        more->setMenu(buttonMenu);
        shown(new UIExpander(row));
    }

    void addChecks()
    {
        UIBox* row = addBox(window, false);
        shown(new UICheck(row, L"Show hidden files"))->setChecked(true);
        shown(new UICheck(row, L"Remember the window"));
        auto* disabled = shown(new UICheck(row, L"Scan network drives"));
        disabled->disable();
        shown(new UIExpander(row));
    }

    void addStack()
    {
        UIBox* switches = addBox(window, false);
        stack = shown(new UIStack(3, window));
        stack->setSizePolicy(SizeExpanding, SizeFixed);
        const std::pair<const wchar_t*, void (Demo::*)()> pages[] = {
            {L"Page 1", &Demo::showPage1}, {L"Page 2", &Demo::showPage2}, {L"Page 3", &Demo::showPage3}};
        for (int i = 0; i < 3; ++i) {
            shown(new UIButton(switches, pages[i].first))->clicked.connect(this, pages[i].second);
            auto* label = shown(new UILabel(stack->page(i)));
            label->setText(String(L"This is ") + pages[i].first + L" of the stack.");
        }
        shown(new UIExpander(switches));
        stack->setCurrentIndex(0);
    }

    void addStatusBar()
    {
        auto* bar = shown(new UIStatusBar(window));
        bar->setSizePolicy(SizeExpanding, SizeFixed);
        bar->setLayoutVertical(false);
        bar->setLayoutMargins(6, 0, 0, 0);
        shown(new UILabel(bar))->setText(L"Ready: 1,204 files, 86 tags");
        shown(new UIExpander(bar));
        shown(new UISizeGrip(bar));
    }

    void buildContextMenu()
    {
        contextMenu = new UIMenu(window);
        contextMenu->addAction(L"Open");
        contextMenu->addAction(L"Rename");
        contextMenu->addSeparator();
        UIAction* showTags = contextMenu->addAction(L"Show tags");
        showTags->setCheckable(true);
        showTags->setChecked(true);
        contextMenu->addSeparator();
        for (const wchar_t* order : {L"Sort by name", L"Sort by date", L"Sort by size"}) {
            UIAction* entry = contextMenu->addAction(order);
            entry->setCheckable(true);
            entry->setCheckKind(ActionRadio);
        }
        contextMenu->action(5)->setChecked(true);
        contextMenu->addSeparator();
        auto* colours = new UIMenu(contextMenu);
        for (const wchar_t* colour : {L"Red", L"Green", L"Blue"})
            colours->addAction(colour);
        contextMenu->addAction(L"Tag colour");
        contextMenu->setSubmenu(contextMenu->count() - 1, colours);
        window->setContextMenu(contextMenu);
    }

    void showPage1() { stack->setCurrentIndex(0); }
    void showPage2() { stack->setCurrentIndex(1); }
    void showPage3() { stack->setCurrentIndex(2); }

    UIMenu* buttonMenu = nullptr;
    UIStack* stack = nullptr;
};

Demo* demo = nullptr;
int step = 0;

// Puts the pointer on a widget's point and tells its window, as a move would.
void pointAt(UIWidget* widget, Point p)
{
    const Point global = widget->mapToGlobal(p);
    SetCursorPos(global.x, global.y);
    const Point local = widget->mapToWindow(p);
    PostMessageW(static_cast<HWND>(widget->topLevelWidget()->nativeHandle()), WM_MOUSEMOVE, 0,
                 MAKELPARAM(local.x, local.y));
}

// The context menu with its submenu open, then the label's tip beside them.
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    switch (step++) {
    case 3:
        demo->contextMenu->popup(demo->window->mapToGlobal(Point(300, 120)));
        break;
    case 4: {
        UIAction* last = demo->contextMenu->action(demo->contextMenu->count() - 1);
        pointAt(demo->contextMenu, Point(last->rect().x + 20, last->rect().y + last->rect().height / 2));
        break;
    }
    case 6:
        pointAt(demo->elided, Point(120, 10));
        break;
    case 7:
        pointAt(demo->elided, Point(124, 10));
        break;
    case 14:
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
