#include "ui/widgets/UIComboBox.h"

#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "ui/UIPopupRegistry.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UILineEdit.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/OneMonitor.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

namespace {

std::int64_t fakeNow = 0;

std::int64_t fakeClock()
{
    return fakeNow;
}

void sendKey(UIWidget& target, int key, const String& text = String())
{
    UIKeyEvent event(KeyPressEventType, key, KeyboardModifiers(), text);
    dispatcher()->sendEvent(&event, &target);
}

void sendWheel(UIWidget& target, int direction)
{
    UIWheelEvent event(1, Point(5, 5), direction == WheelUp ? 120 : -120, KeyboardModifiers(), direction);
    dispatcher()->sendEvent(&event, &target);
}

class ComboBoxTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        showAt(host, 60, 60, 320, 200);
        combo = new UIComboBox(&host);
        combo->setGeometry(10, 10, 160, 24);
        combo->show();
        combo->currentIndexChanged.connect(&changes, &SignalRecorder::onValue);
        pumpPending();
    }
    void TearDown() override
    {
        delete combo;
        UIComboBox::setClock(nullptr);
        StyledWidgetTest::TearDown();
    }

    void addTexts(const wchar_t* texts) { combo->addItems(StringList::split(texts, L",")); }

    void pressAt(UIWidget& window, Point p)
    {
        sendPointerMessage(window, WM_MOUSEMOVE, 0, p);
        sendPointerMessage(window, WM_LBUTTONDOWN, MK_LBUTTON, p);
        sendPointerMessage(window, WM_LBUTTONUP, 0, p);
    }

    RecordingWidget host{nullptr, Colour(255, 255, 255), quickWindow};
    UIComboBox* combo = nullptr;
    SignalRecorder changes;
};

// ---- Current entry ----

struct CurrentRow {
    std::function<void(UIComboBox&)> build;
    int current;
    const wchar_t* text;
    std::vector<int> signals;
};

TEST_F(ComboBoxTest, CurrentEntryFollowsAddsRemovesAndSorting)
{
    const CurrentRow rows[] = {
        {[](UIComboBox& c) { c.addItem(L"b"); }, 0, L"b", {0}},
        {[](UIComboBox& c) { c.addSeparator(); }, -1, L"", {}},
        // A text entry after a separator used to make the separator current.
        {[](UIComboBox& c) { c.addSeparator(); c.addItem(L"a"); }, 1, L"a", {1}},
        {[](UIComboBox& c) { c.setSorted(true); c.addItem(L"b"); c.addItem(L"a"); }, 1, L"b", {0}},
        {[](UIComboBox& c) { c.addItems(StringList::split(L"c,a,b", L",")); c.setSorted(true); }, 2, L"c", {0}},
        // Removing an earlier entry used to leave the index past the current one.
        {[](UIComboBox& c) { c.addItems(StringList::split(L"a,b,c", L",")); c.setCurrentIndex(2); c.removeItem(0); },
         1, L"c", {0, 2}},
        {[](UIComboBox& c) { c.addItems(StringList::split(L"a,b", L",")); c.removeItem(0); }, -1, L"", {0, -1}},
        {[](UIComboBox& c) { c.addItems(StringList::split(L"a,b", L",")); c.removeItem(1); }, 0, L"a", {0}},
        {[](UIComboBox& c) { c.addItems(StringList::split(L"a,b", L",")); c.setCurrentIndex(2); c.setCurrentIndex(-2); c.setCurrentIndex(0); },
         0, L"a", {0}},
        {[](UIComboBox& c) { c.addItems(StringList::split(L"a,b", L",")); c.clear(); }, -1, L"", {0, -1}},
        {[](UIComboBox& c) { c.addItems(StringList::split(L"a,b,c", L",")); c.selectByText(L"B", false); }, 1, L"b",
         {0, 1}},
    };
    forEachRow(rows, [&](const CurrentRow& row) {
        delete combo;
        combo = new UIComboBox(&host);
        SignalRecorder recorder;
        combo->currentIndexChanged.connect(&recorder, &SignalRecorder::onValue);
        row.build(*combo);
        EXPECT_EQ(combo->currentIndex(), row.current);
        EXPECT_EQ(combo->currentText(), String(row.text));
        EXPECT_EQ(recorder.values, row.signals);
    });
}

TEST_F(ComboBoxTest, TypeAheadJoinsKeysWithinTwoSeconds)
{
    UIComboBox::setClock(&fakeClock);
    addTexts(L"alpha,beta,bravo,charlie");
    struct Key {
        std::int64_t at;
        wchar_t key;
        int current;
    };
    const Key keys[] = {{10000, L'b', 1}, {10500, L'R', 2}, {13000, L'c', 3}, {15001, L'b', 1}, {15100, L'x', 1}};
    forEachRow(keys, [&](const Key& k) {
        fakeNow = k.at;
        sendKey(*combo, towupper(k.key), String(k.key, 1));
        EXPECT_EQ(combo->currentIndex(), k.current);
    });
    EXPECT_EQ(combo->searchText(), String(L"bx"));
}

TEST_F(ComboBoxTest, EditableWheelStepsWithinTheEntries)
{
    addTexts(L"a,b,c");
    combo->setEditable(true);
    EXPECT_EQ(combo->lineEdit()->text(), String(L"a"));
    std::vector<int> seen;
    for (int direction : {WheelUp, WheelDown, WheelDown, WheelDown, WheelUp}) {
        sendWheel(*combo->lineEdit(), direction);
        seen.push_back(combo->currentIndex());
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 2, 1}));
    EXPECT_EQ(combo->lineEdit()->text(), String(L"b"));
}

TEST_F(ComboBoxTest, RightClickReturnsToTheDefaultEntry)
{
    addTexts(L"alpha,beta,gamma");
    struct Row {
        const wchar_t* defaultText;
        int current;
    };
    const Row rows[] = {{L"beta", 1}, {L"", 0}, {L"Beta", 0}};
    forEachRow(rows, [&](const Row& row) {
        combo->setCurrentIndex(2);
        combo->setDefaultText(row.defaultText);
        clickCentre(host, *combo, WM_RBUTTONDOWN, WM_RBUTTONUP);
        EXPECT_EQ(combo->currentIndex(), row.current);
    });
}

// ---- Pop-up ----

TEST(ComboBoxPlacement, PopupStaysOnTheMonitorAndOpensAboveNearItsBottom)
{
    const Rect monitor(0, 0, 1000, 800);
    struct Row {
        Rect box;
        Rect monitor;
        Point expected;
    };
    const Size popup(150, 100);
    const Row rows[] = {
        {{100, 100, 150, 24}, monitor, {100, 124}},
        {{100, 700, 150, 24}, monitor, {100, 600}},
        {{-30, 100, 150, 24}, monitor, {0, 124}},
        {{900, 100, 150, 24}, monitor, {850, 124}},
        {{900, 700, 150, 24}, Rect(), {900, 724}},
    };
    forEachRow(rows, [&](const Row& row) {
        EXPECT_EQ(UIComboBox::popupPlacement(row.box, popup, row.monitor), Rect(row.expected.x, row.expected.y, 150, 100));
    });
}

TEST_F(ComboBoxTest, PressOpensThePopupAndAPressElsewhereClosesIt)
{
    addTexts(L"alpha,beta,gamma");
    clickCentre(host, *combo);
    ASSERT_TRUE(combo->isPopupVisible());
    EXPECT_TRUE(UIPopupRegistry::contains(combo->popup()));
    EXPECT_EQ(combo->popup()->geometry().y, combo->globalRect().bottom());
    EXPECT_EQ(combo->popupView()->list()->count(), 3);
    pressAt(host, Point(250, 150));
    EXPECT_FALSE(combo->isPopupVisible());
    EXPECT_FALSE(UIPopupRegistry::contains(combo->popup()));
}

TEST_F(ComboBoxTest, PressOnTheBoxClosesThePopupWithoutReopeningIt)
{
    addTexts(L"alpha,beta");
    clickCentre(host, *combo);
    ASSERT_TRUE(combo->isPopupVisible());
    clickCentre(host, *combo);
    EXPECT_FALSE(combo->isPopupVisible());
    EXPECT_TRUE(pumpUntil([&] { return combo->popupMayOpen(); }, 1000));
    clickCentre(host, *combo);
    EXPECT_TRUE(combo->isPopupVisible());
    combo->hidePopup();
}

TEST_F(ComboBoxTest, ClickOnAPopupRowChoosesIt)
{
    addTexts(L"alpha,beta,gamma");
    SignalRecorder hovered;
    combo->itemHovered.connect(&hovered, &SignalRecorder::onValue);
    clickCentre(host, *combo);
    ASSERT_TRUE(combo->isPopupVisible());
    UIList* list = combo->popupView()->list();
    const Point row = list->mapToWindow(list->itemRect(2).center());
    sendPointerMessage(*combo->popup(), WM_MOUSEMOVE, 0, row);
    sendPointerMessage(*combo->popup(), WM_LBUTTONDOWN, MK_LBUTTON, row);
    // The reopen guard ends at its timer's first tick, which a busy machine
    // may deliver while the release's messages are pumped: look before.
    SendMessageW(hwndOf(combo->popup()), WM_LBUTTONUP, 0, MAKELPARAM(row.x, row.y));
    EXPECT_FALSE(combo->popupMayOpen());
    pumpUntil([] { return !pumpPending(); }, 500);
    EXPECT_FALSE(combo->isPopupVisible());
    EXPECT_EQ(combo->currentIndex(), 2);
    EXPECT_EQ(changes.values, (std::vector<int>{0, 2}));
    EXPECT_FALSE(hovered.values.empty());
}

// A click on a separator's row used to make it current (the pop-up closed
// on a blank box), and the wheel stepped onto separators.
TEST_F(ComboBoxTest, SeparatorsNeverBecomeCurrentByClickOrWheel)
{
    combo->addItem(L"alpha");
    combo->addSeparator();
    combo->addSeparator();
    combo->addItem(L"beta");
    clickCentre(host, *combo);
    ASSERT_TRUE(combo->isPopupVisible());
    UIList* list = combo->popupView()->list();
    pressAt(*combo->popup(), list->mapToWindow(list->itemRect(1).center()));
    EXPECT_TRUE(combo->isPopupVisible()) << "a separator is no choice";
    EXPECT_EQ(combo->currentIndex(), 0);
    combo->hidePopup();
    ASSERT_TRUE(combo->hasFocus());
    const Point centre = combo->mapToWindow(combo->rect().center());
    // The pointer comes back over the box from elsewhere: the wheel acts
    // only there.
    sendPointerMessage(host, WM_MOUSEMOVE, 0, Point(250, 150));
    sendPointerMessage(host, WM_MOUSEMOVE, 0, centre);
    POINT screen = {centre.x, centre.y};
    ClientToScreen(hwndOf(&host), &screen);
    std::vector<int> seen;
    for (const short delta : {-120, -120, 120, 120}) {
        SendMessageW(hwndOf(&host), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)), MAKELPARAM(screen.x, screen.y));
        pumpUntil([] { return !pumpPending(); }, 500);
        seen.push_back(combo->currentIndex());
    }
    EXPECT_EQ(seen, (std::vector<int>{3, 3, 0, 0}));
    EXPECT_EQ(changes.values, (std::vector<int>{0, 3, 0}));
    combo->setCurrentIndex(1);
    EXPECT_EQ(combo->currentIndex(), 0);
}

TEST_F(ComboBoxTest, DeletingTheBoxWithItsPopupOpenLeavesTheRegistry)
{
    addTexts(L"alpha,beta");
    combo->showPopup();
    ASSERT_TRUE(UIPopupRegistry::contains(combo->popup()));
    const UIWidget* popup = combo->popup();
    // The closing pop-up used to call back into the half-destroyed box.
    delete combo;
    combo = nullptr;
    EXPECT_FALSE(UIPopupRegistry::contains(popup));
}

TEST_F(ComboBoxTest, PopupKeysChooseOrCancel)
{
    addTexts(L"alpha,beta,gamma");
    struct Row {
        int key;
        int current;
    };
    const Row rows[] = {{VK_ESCAPE, 0}, {VK_RETURN, 1}};
    forEachRow(rows, [&](const Row& row) {
        combo->setCurrentIndex(0);
        sendKey(*combo, VK_DOWN);
        ASSERT_TRUE(combo->isPopupVisible());
        combo->popupView()->list()->setCurrentItem(1, false);
        sendKey(*combo->popupView()->list(), row.key);
        EXPECT_FALSE(combo->isPopupVisible());
        EXPECT_EQ(combo->currentIndex(), row.current);
        EXPECT_TRUE(combo->popupMayOpen());
    });
}

TEST_F(ComboBoxTest, PopupOpensAboveTheBoxNearTheMonitorBottom)
{
    OneMonitor monitor;
    host.move(60, 740);
    pumpPending();
    addTexts(L"alpha,beta,gamma,delta");
    combo->showPopup();
    ASSERT_TRUE(combo->isPopupVisible());
    const Rect popup = combo->popup()->geometry();
    EXPECT_EQ(popup.bottom(), combo->globalRect().y);
    combo->hidePopup();
}

// The box's top and bottom rows across the line edit, as the window shows them.
std::vector<Colour> borderRows(const UIComboBox& combo, UIWidget& window)
{
    const Bitmap shot = window.windowSurface()->toBitmap(false);
    const Rect box = combo.geometry();
    std::vector<Colour> rows;
    for (int x = box.x + 20; x < box.x + 100; ++x) {
        rows.push_back(shot.pixel(x, box.y));
        rows.push_back(shot.pixel(x, box.bottom() - 1));
    }
    return rows;
}

TEST_F(ComboBoxTest, EditableBoxKeepsItsBorderAroundTheLineEdit)
{
    addTexts(L"alpha");
    combo->repaint();
    const std::vector<Colour> plain = borderRows(*combo, host);
    combo->setEditable(true);
    combo->repaint();
    // The frameless line edit used to cover the border with its blank buffer.
    EXPECT_EQ(borderRows(*combo, host), plain);
}

TEST_F(ComboBoxTest, SizeHintKeepsWithinTheStyleWidths)
{
    addTexts(L"a");
    const int narrow = combo->sizeHint().width;
    combo->addItem(String(L'W', 200));
    EXPECT_GE(narrow, 60);
    EXPECT_EQ(combo->sizeHint().width, 400);
    combo->setStyleProperty(L"maximumWidth", L"0");
    // A style without a maximum used to make every preferred width 0.
    EXPECT_GT(combo->sizeHint().width, 400);
}

} // namespace
