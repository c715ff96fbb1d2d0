#include "ui/widgets/UIColorPicker.h"

#include "ui/UIManager.h"
#include "ui/widgets/ColorDialog.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIWidgetHooks.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/PaintCounting.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {

// What a stand-in for the system's dialog saw, and how it answers.
struct FakeDialog {
    bool choose = false;
    COLORREF answer = 0;
    std::vector<CHOOSECOLORW> records;
    std::vector<bool> blankCustomColours;
    // The modal dialogs the UI manager counted while the dialog ran.
    std::vector<int> modalDialogs;
    // Where the placement hook put a 200x100 window standing for the dialog.
    std::vector<Point> placed;
};

FakeDialog fake;

Point placeByHook(CHOOSECOLORW* record)
{
    HWND stand = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    record->lpfnHook(stand, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(record));
    RECT r;
    GetWindowRect(stand, &r);
    DestroyWindow(stand);
    return Point(r.left, r.top);
}

int fakeChooser(tagCHOOSECOLORW* record)
{
    fake.records.push_back(*record);
    const UIManager* manager = UIManager::instance();
    fake.modalDialogs.push_back(manager->countWindows(CountAddModalDialogs) - manager->countWindows(0));
    fake.blankCustomColours.push_back(
        std::all_of(record->lpCustColors, record->lpCustColors + 16, [](COLORREF c) { return c == 0; }));
    // A colour left here must not reach the next showing.
    std::fill_n(record->lpCustColors, 16, RGB(1, 2, 3));
    if (record->lpfnHook)
        fake.placed.push_back(placeByHook(record));
    if (fake.choose)
        record->rgbResult = fake.answer;
    return fake.choose ? TRUE : FALSE;
}

// Answers the system's dialog from a thread timer once it shows, with one
// button, and remembers where the dialog stood.
struct DialogDismisser {
    static inline WPARAM button = IDOK;
    static inline RECT frame = {};
    static inline UINT_PTR timer = 0;

    static void arm(WPARAM answer)
    {
        button = answer;
        frame = {};
        timer = SetTimer(nullptr, 0, 50, tick);
    }

    // A dialog that never showed leaves the timer running.
    static void disarm() { KillTimer(nullptr, timer); }

    static BOOL CALLBACK findDialog(HWND window, LPARAM out)
    {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window))
            return TRUE;
        *reinterpret_cast<HWND*>(out) = window;
        return FALSE;
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog)
            return;
        KillTimer(nullptr, timer);
        GetWindowRect(dialog, &frame);
        PostMessageW(dialog, WM_COMMAND, button, 0);
    }
};

class ColourPickerTest : public StyledWidgetTest {
protected:
    // A stray left click must not leave a test waiting in the system's
    // dialog; the test of the real dialog puts it back itself.
    void SetUp() override { ColorDialog::setChooser(fakeChooser); }
    void TearDown() override
    {
        ColorDialog::setChooser(nullptr);
        fake = FakeDialog();
        setToolkitHooks(nullptr);
        StyledWidgetTest::TearDown();
    }

    PaintCounting<UIColorPicker>* addPicker(int x, Colour colour)
    {
        auto* picker = new PaintCounting<UIColorPicker>(&window);
        picker->setGeometry(x, 10, 42, 24);
        picker->setColor(colour);
        picker->show();
        // Its menu never takes the activation: Wine hides an active window slowly.
        picker->menu()->setWindowFlag(WindowNoActivate, true);
        return picker;
    }

    Point centreOf(const UIColorPicker* picker) const { return picker->mapTo(&window, picker->rect().center()); }

    void click(const UIColorPicker* picker, UINT down, UINT up, WPARAM held)
    {
        sendPointerMessage(window, down, held, centreOf(picker));
        sendPointerMessage(window, up, 0, centreOf(picker));
    }

    // Whether "Paste color" is enabled in the menu a right click opens.
    bool pasteOfferedBy(UIColorPicker* picker)
    {
        click(picker, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
        EXPECT_TRUE(pumpUntil([&] { return picker->menu()->isVisible(); }, 1000));
        const bool enabled = picker->menu()->isActionEnabled(UIColorPicker::PasteEntry);
        picker->menu()->hide();
        return enabled;
    }

    RecordingWidget window{nullptr, Colour(255, 255, 255), quickWindow};
};

// The only test that copies: the slot is the process's.
TEST_F(ColourPickerTest, PasteIsOfferedInEveryPickerOnlyOnceOneHasCopied)
{
    installWidgetHooks();
    showAt(window, 40, 40);
    const Colour copied(128, 200, 40, 10);
    UIColorPicker* pickers[] = {addPicker(10, copied), addPicker(60, Colour(0, 0, 255)),
                                addPicker(110, Colour(0, 255, 0))};
    for (UIColorPicker* picker : pickers)
        EXPECT_FALSE(pasteOfferedBy(picker));
    pickers[1]->pasteColor();
    EXPECT_EQ(pickers[1]->color(), Colour(0, 0, 255));

    UIMenu* menu = pickers[0]->menu();
    menu->activate(menu->action(UIColorPicker::CopyEntry));
    for (UIColorPicker* picker : pickers)
        EXPECT_TRUE(pasteOfferedBy(picker));
    UIMenu* target = pickers[2]->menu();
    target->activate(target->action(UIColorPicker::PasteEntry));
    EXPECT_EQ(pickers[2]->color(), copied);
    EXPECT_EQ(pickers[2]->colorText(), String(L"#80C8280A"));
}

// Fault: the record's 32-bit size (36) made the dialog refuse to show on
// this 64-bit build, so every pick read as cancelled.
TEST_F(ColourPickerTest, TheDialogGetsARecordOfThisBuildsSizeAndFreshCustomColours)
{
    ColorDialog::setChooser(fakeChooser);
    showAt(window, 100, 100);
    struct Row {
        bool owned;
        bool fullOpen;
        bool choose;
        Colour initial;
        bool result;
        Colour expected;
    };
    const Row rows[] = {
        {true, true, true, Colour(100, 1, 2, 3), true, Colour(10, 20, 30)},
        {true, false, false, Colour(4, 5, 6), false, Colour(0, 0, 0)},
        {false, true, true, Colour(7, 8, 9), true, Colour(10, 20, 30)},
    };
    forEachRow(rows, [&](const Row& row) {
        fake.choose = row.choose;
        fake.answer = RGB(10, 20, 30);
        ColorDialog dialog(row.owned ? &window : nullptr);
        dialog.setFullOpen(row.fullOpen);
        dialog.setInitialColor(row.initial);
        EXPECT_EQ(dialog.exec(), row.result);
        EXPECT_EQ(dialog.resultColor(), row.expected);
        const CHOOSECOLORW& seen = fake.records.back();
        EXPECT_EQ(seen.lStructSize, sizeof(CHOOSECOLORW));
        const DWORD flags = CC_RGBINIT | CC_ANYCOLOR | (row.fullOpen ? CC_FULLOPEN : 0) | (row.owned ? CC_ENABLEHOOK : 0);
        EXPECT_EQ(seen.Flags, flags);
        EXPECT_EQ(seen.rgbResult, RGB(row.initial.red(), row.initial.green(), row.initial.blue()));
        EXPECT_EQ(seen.hwndOwner, row.owned ? hwndOf(&window) : nullptr);
        EXPECT_TRUE(fake.blankCustomColours.back());
    });
    EXPECT_EQ(fake.modalDialogs, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(UIManager::instance()->countWindows(CountAddModalDialogs), UIManager::instance()->countWindows(0));
    // Both owned showings were centred over the window, 300x200 at (100, 100).
    EXPECT_EQ(fake.placed, (std::vector<Point>{{150, 150}, {150, 150}}));
}

// The system's dialog itself, shown over the window and answered by a timer.
TEST_F(ColourPickerTest, TheSystemDialogReturnsColoursOpaqueAndCancelKeepsTheColour)
{
    ColorDialog::setChooser(nullptr);
    showAt(window, 300, 300);
    UIColorPicker* picker = addPicker(10, Colour(128, 10, 20, 30));
    struct Row {
        WPARAM button;
        Colour before;
        Colour after;
    };
    const Row rows[] = {
        {IDOK, Colour(128, 10, 20, 30), Colour(255, 10, 20, 30)},
        {IDCANCEL, Colour(200, 1, 2, 3), Colour(200, 1, 2, 3)},
    };
    forEachRow(rows, [&](const Row& row) {
        picker->setColor(row.before);
        DialogDismisser::arm(row.button);
        click(picker, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON);
        DialogDismisser::disarm();
        EXPECT_EQ(picker->color(), row.after);
        const RECT& f = DialogDismisser::frame;
        ASSERT_GT(f.right - f.left, 0) << "the dialog never showed";
        const Rect centred = window.geometry().alignedRect(f.right - f.left, f.bottom - f.top, AlignCenter, true);
        EXPECT_EQ(Point(f.left, f.top), centred.topLeft());
    });
}

TEST_F(ColourPickerTest, ARightClickWithoutAContextMenuResetsToTheDefaultColour)
{
    showAt(window, 40, 40);
    UIColorPicker* picker = addPicker(10, Colour(1, 2, 3));
    picker->setDefaultColor(Colour(9, 8, 7));
    click(picker, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
    EXPECT_EQ(picker->color(), Colour(1, 2, 3));
    picker->menu()->hide();
    picker->setContextMenu(nullptr);
    click(picker, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON);
    EXPECT_EQ(picker->color(), Colour(9, 8, 7));
}

TEST_F(ColourPickerTest, TheSwatchShowsTheColourInsideADarkerEdgeAndGreyWhenDisabled)
{
    showAt(window, 40, 40);
    const Colour colour(40, 120, 200);
    UIColorPicker* picker = addPicker(10, colour);
    struct Row {
        bool enabled;
        Colour edge;
        Colour face;
    };
    const Row rows[] = {{true, colour.darker(0.3), colour}, {false, Colour(200, 200, 200), Colour(220, 220, 220)}};
    forEachRow(rows, [&](const Row& row) {
        picker->setEnabledRecursive(row.enabled);
        picker->repaint();
        const Bitmap pixels = picker->backBuffer()->toBitmap(false);
        const Size size = picker->colorCellSize();
        const Rect cell = picker->rect().alignedRect(size.width, size.height, AlignCenter);
        EXPECT_EQ(pixels.pixel(cell.x, cell.y), row.edge);
        EXPECT_EQ(pixels.pixel(cell.center().x, cell.center().y), row.face);
    });
}

TEST_F(ColourPickerTest, OnlyANewColourRepaintsAndTheAutomaticTipShowsItsText)
{
    showAt(window, 40, 40);
    PaintCounting<UIColorPicker>* picker = addPicker(10, Colour(0, 0, 0));
    picker->paints = 0;
    picker->setColor(Colour(0, 0, 0));
    EXPECT_EQ(picker->paints, 0);
    picker->setColor(Colour(0x7F, 0xAB, 0xCD, 0xEF));
    EXPECT_EQ(picker->paints, 1);
    struct Row {
        bool automatic;
        String own;
        String expected;
    };
    const Row rows[] = {{true, L"", L"#7FABCDEF"}, {false, L"", L""}, {true, L"Pick", L"Pick"}};
    forEachRow(rows, [&](const Row& row) {
        picker->setAutoToolTip(row.automatic);
        picker->setToolTip(row.own);
        EXPECT_EQ(picker->toolTip(Point()), row.expected);
    });
}

} // namespace
