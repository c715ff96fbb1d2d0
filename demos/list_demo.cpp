// The second way to see items, and the text engine: a list view of the
// shell icons of the Windows folder's files, switched between list and
// icon mode and zoomed by buttons (rubber band, wrap-around keys, a blank
// text once cleared); beside it a plain widget painting a document with
// word wrap, a selection, a highlight and a cursor, which takes typing, and
// a masked line under it. With --script the program shows icon mode and
// draws a rubber band, lets go and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "foundation/FileSystem.h"
#include "foundation/StringList.h"
#include "graphics/Brush.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/Pen.h"
#include "ui/PlatformServices.h"
#include "ui/UIListItem.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UITextCursor.h"
#include "ui/widgets/UITextDocument.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace {

const wchar_t* const sampleText =
    L"Kestrola keeps a tag cloud of your files and folders. Pick a tag and every file that carries it "
    L"shows at once, however deep it lies.\nType here: the document wraps at the widget's width, keeps "
    L"the cursor in view and undoes in steps.";

// A document painted by a plain widget; keys type into it.
class DocumentWidget : public UIWidget {
public:
    DocumentWidget(UIWidget* parent, bool masked) : UIWidget(parent), document(this)
    {
        setStyleName(L"DemoDocument");
        setFocusPolicy(TabFocus | ClickFocus);
        setSizePolicy(SizeExpanding, masked ? SizeFixed : SizeExpanding);
        setMinimumSize(200, masked ? 28 : 120);
        document.setWordWrap(!masked);
        document.setMasked(masked);
        document.setStateFlags(UITextDocument::StateEnabled | UITextDocument::StateActive);
    }

    UITextDocument document;

protected:
    void resizeEvent(UIResizeEvent*) override { document.setViewport(Rect(6, 4, width() - 12, height() - 8)); }
    void paintEvent(UIPaintEvent*) override
    {
        Graphics g(backBuffer());
        g.fillRectColour(rect(), Colour(255, 255, 255));
        g.setPenColour(Colour(200, 205, 211));
        g.drawRect(0, 0, width() - 1, height() - 1);
        document.paint(g);
    }
    void keyPressEvent(UIKeyEvent* e) override
    {
        UITextCursor* cursor = document.cursor();
        const bool shift = e->modifiers().testFlag(ShiftModifier);
        switch (e->key()) {
        case VK_LEFT:
            cursor->move(UITextCursor::MoveLeft, shift);
            break;
        case VK_RIGHT:
            cursor->move(UITextCursor::MoveRight, shift);
            break;
        case VK_BACK:
            cursor->deletePrevious();
            break;
        default:
            if (!e->text().isEmpty() && e->text()[0] >= L' ')
                cursor->insertText(e->text());
        }
        repaint();
    }
};

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"List and document", Rect(20, 20, 960, 600));
        window->setLayoutVertical(false);
        auto* left = new UIBox(window);
        left->setLayoutVertical(true);
        left->applyLayoutSpacingMetrics();
        left->setSizePolicy(SizeExpanding, SizeExpanding);
        addButtons(left);
        view = new UIListView(left);
        view->setSizePolicy(SizeExpanding, SizeExpanding);
        view->list()->setSelectionMode(UIList::MultiSelection);
        view->list()->setWrapAround(true);
        view->list()->setBlankText(L"This folder has no files.");
        view->list()->setBlankTextVisible(true);
        view->show();
        left->show();
        addDocuments();
        fill();
        iconMode();
        window->show();
    }

    UIWindow* window = nullptr;
    UIListView* view = nullptr;

private:
    void addButtons(UIWidget* parent)
    {
        auto* row = new UIBox(parent);
        row->setLayoutVertical(false);
        row->applyLayoutSpacingMetrics();
        row->setSizePolicy(SizeExpanding, SizeFixed);
        const std::pair<const wchar_t*, void (Demo::*)()> actions[] = {
            {L"List", &Demo::listMode}, {L"Icons", &Demo::iconMode}, {L"Larger", &Demo::larger},
            {L"Smaller", &Demo::smaller}, {L"Clear", &Demo::clear}, {L"Fill", &Demo::fill}};
        for (const auto& [text, action] : actions) {
            auto* button = new UIButton(row, text);
            button->clicked.connect(this, action);
            button->show();
        }
        (new UIExpander(row))->show();
        row->show();
    }

    void addDocuments()
    {
        auto* right = new UIBox(window);
        right->setLayoutVertical(true);
        right->applyLayoutSpacingMetrics();
        right->setSizePolicy(SizeExpanding, SizeExpanding);
        auto* text = new DocumentWidget(right, false);
        text->document.setText(sampleText);
        text->document.highlight(L"tag", false, Pen(Colour(33, 37, 41)), Brush(Colour(255, 236, 160)), 0);
        text->document.cursor()->setSelection(9, 27);
        text->show();
        auto* password = new DocumentWidget(right, true);
        password->document.setText(L"secret words");
        password->show();
        right->show();
    }

    // The files of the Windows folder, each with its shell icon.
    void fill()
    {
        UIList* list = view->list();
        list->setUpdatesSuspended(true);
        list->clear();
        wchar_t folder[MAX_PATH] = {};
        GetWindowsDirectoryW(folder, MAX_PATH);
        StringList names;
        listFiles(names, String(folder), ListFiles | NamesOnly);
        for (const String& name : names)
            list->addItem(name, String(), shellFileIcon(String(folder) + L"\\" + name, 48));
        list->setUpdatesSuspended(false);
    }

    void listMode() { view->list()->setViewMode(UIList::ListMode); }
    void iconMode()
    {
        view->list()->setViewMode(UIList::IconMode);
        view->list()->setItemSize({96, 80});
    }
    void larger() { zoom(16); }
    void smaller() { zoom(-16); }
    void zoom(int step)
    {
        const Size size = view->list()->itemSize();
        view->list()->setItemSize({std::max(48, size.width + step), std::max(40, size.height + step)});
    }
    void clear() { view->list()->clear(); }
};

Demo* demo = nullptr;
int step = 0;
Point bandStart;

// Drags a band from the blank space right of the last icon column.
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    UIList* list = demo->view->list();
    const int current = step++;
    if (current == 3)
        bandStart = list->mapToWindow(Point(list->width() - 8, 20));
    if (current >= 3)
        dragStep(demo->window, {bandStart, Point(-80, 60), 3, 11}, current - 3);
    if (current == 15)
        dispatcher()->quitAll(0);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    return runWidgetDemo(demo, argc, argv, scriptStep);
}
