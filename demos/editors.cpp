// Where users type: a search field with a placeholder and completion from
// a few dozen words, a password field, a field that takes ten characters,
// spin boxes with decimals, a suffix, a special text and wrapping, and
// beside them a wrapping text editor in its scrolling view, zoomed one step
// with its highlighted words. With --script the program selects a stretch
// of the text by dragging, waits a few seconds with every field in sight
// (the search field's placeholder too), types into the search field until
// its completion list opens, holds that on screen and quits.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "foundation/StringList.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UILineEdit.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UISpinBox.h"
#include "ui/widgets/UITextEdit.h"

#include <windows.h>

namespace {

const wchar_t* const searchWords =
    L"tag,tags,tagged,tagging,table,tablet,target,task,taxes,teal,team,teams,template,temporary,text,texture,"
    L"theme,thumbnail,ticket,timeline,title,today,todo,token,tools,topic,tour,track,trash,travel,tree,trip";

const wchar_t* const noteText =
    L"Kestrola keeps a tag cloud of your files and folders. Pick a tag and every file that carries it shows "
    L"at once, however deep it lies.\n"
    L"Tags travel with the library, not with the files: rename or move a file inside a watched folder and "
    L"its tags follow it.\n"
    L"Press Ctrl and turn the wheel to change the text size.";

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"Editors", Rect(20, 20, 760, 440));
        window->setLayoutVertical(false);
        addForm();
        addNotes();
        window->show();
    }

    UIWindow* window = nullptr;
    UILineEdit* search = nullptr;
    UITextEdit* notes = nullptr;

private:
    // Labels in the first column, fields in the second. The grid sits on
    // top of its column: expanding fields would otherwise share the
    // column's height out between its rows.
    void addForm()
    {
        UIBox* column = addBox(window, true);
        column->setSizePolicy(SizeFixed, SizeExpanding);
        form = addBox(column, false);
        form->setLayoutColumns(2);
        form->setSizePolicy(SizeFixed, SizeFixed);
        addFields();
        addSpinBoxes();
        shown(new UIExpander(column));
    }

    void addFields()
    {
        search = addLineEdit(L"Search");
        search->setPlaceholderText(L"Find a tag");
        search->completer().setCandidates(StringList::split(searchWords, L","));
        UILineEdit* password = addLineEdit(L"Password");
        password->setMasked(true);
        password->setText(L"correct horse");
        UILineEdit* code = addLineEdit(L"Code (10 characters)");
        code->setMaxLength(10);
        code->setText(L"KS-2024-07");
    }

    void addSpinBoxes()
    {
        UISpinBox* ratio = addSpinBox(L"Ratio");
        ratio->setDecimals(2);
        ratio->setRange(0, 10);
        ratio->setSingleStep(0.25);
        ratio->setValue(1.5);
        UISpinBox* width = addSpinBox(L"Thumbnail width");
        width->setRange(16, 512);
        width->setSingleStep(16);
        width->setSuffix(L" px");
        width->setValue(96);
        UISpinBox* limit = addSpinBox(L"Tags per file");
        limit->setRange(0, 99);
        limit->setSpecialValueText(L"No limit");
        UISpinBox* hour = addSpinBox(L"Scan at hour");
        hour->setRange(0, 23);
        hour->setWrapping(true);
        hour->setValue(23);
    }

    UILineEdit* addLineEdit(const wchar_t* label)
    {
        addLabel(label);
        auto* edit = shown(new UILineEdit(form));
        edit->setMinimumSize(220, 0);
        return edit;
    }

    UISpinBox* addSpinBox(const wchar_t* label)
    {
        addLabel(label);
        auto* spin = shown(new UISpinBox(form));
        spin->setSizePolicy(SizeExpanding, SizeFixed);
        return spin;
    }

    void addLabel(const wchar_t* text)
    {
        auto* label = shown(new UILabel(form));
        label->setText(text);
    }

    // A titled text editor that takes the rest of the window.
    void addNotes()
    {
        UIBox* column = addBox(window, true);
        column->setSizePolicy(SizeExpanding, SizeExpanding);
        shown(new UILabel(column))->setText(L"Notes");
        auto* view = shown(new UITextEditView(column));
        view->setSizePolicy(SizeExpanding, SizeExpanding);
        notes = shown(new UITextEdit(view->viewport()));
        view->setContentWidget(notes);
        notes->setWordWrap(true);
        notes->setText(noteText);
        notes->zoomIn();
        notes->highlight(L"tag", false, Pen(Colour(33, 37, 41)), Brush(Colour(255, 236, 160)), FontBold);
    }

    UIBox* form = nullptr;
};

Demo* demo = nullptr;
int step = 0;

// A point inside the text editor at (x, the middle of line), in window
// coordinates.
Point notesPoint(int line, int x)
{
    const Rect row = demo->notes->document()->lineRect(line);
    return demo->notes->mapToWindow(Point(row.x + x, row.y + row.height / 2));
}

// Characters alone, as an input method sends them; they go to the focus.
void typeText(const wchar_t* text)
{
    const auto window = static_cast<HWND>(demo->window->nativeHandle());
    for (const wchar_t* c = text; *c; ++c)
        PostMessageW(window, WM_CHAR, WPARAM(*c), 1);
}

// Drags across the second and third lines of the notes first: a press
// outside an open completion list closes it.
void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    switch (step++) {
    case 2:
        postPointer(demo->window, WM_MOUSEMOVE, 0, notesPoint(1, 2));
        postPointer(demo->window, WM_LBUTTONDOWN, MK_LBUTTON, notesPoint(1, 2));
        break;
    case 3:
        postPointer(demo->window, WM_MOUSEMOVE, MK_LBUTTON, notesPoint(2, 120));
        postPointer(demo->window, WM_LBUTTONUP, 0, notesPoint(2, 120));
        break;
    case 10: {
        const Point centre = demo->search->mapToWindow(Point(demo->search->width() / 2, demo->search->height() / 2));
        clickAt(demo->window, centre.x, centre.y);
        break;
    }
    case 11:
        typeText(L"ta");
        break;
    case 24:
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
