#include "ui/widgets/UIHotKey.h"

#include "foundation/Dispatcher.h"
#include "foundation/Shortcut.h"

#include "tests/support/RowTable.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class HotKeyFieldTest : public StyledWidgetTest {
protected:
    RecordingWidget host{nullptr, Colour(255, 255, 255), quickWindow};
};

constexpr int shift = 16;
constexpr int control = 17;
constexpr int keyF5 = 116;
constexpr int keyF7 = 118;
constexpr int space = 32;
constexpr int backspace = 8;

// Presses the keys in order, then releases them all as the key translator
// reports it: the held flag stays until the last key is up.
void press(UIHotKey& field, const std::vector<int>& keys)
{
    for (int key : keys) {
        field.setFlag(WidgetKeyHeld, true);
        UIKeyEvent event(KeyPressEventType, key, NoModifier, String());
        dispatcher()->sendEvent(&event, &field);
    }
}

void releaseAll(UIHotKey& field)
{
    field.setFlag(WidgetKeyHeld, false);
    UIKeyEvent event(KeyReleaseEventType, 0, NoModifier, String());
    dispatcher()->sendEvent(&event, &field);
}

struct Combination {
    std::vector<int> keys;
    String whileHeld;
    String afterRelease;
};

TEST_F(HotKeyFieldTest, RecordsCombinationsAsTheyArePressed)
{
    const String none = translate(L"None", L"UserInterface/UIHotKey");
    const String controlShiftF5 = L"Control + Shift + " + keyName(keyF5);
    forEachRow(
        std::vector<Combination>{
            {{control, shift, keyF5}, controlShiftF5, controlShiftF5},
            {{'A'}, L"Control + " + keyName('A'), L"Control + " + keyName('A')},
            {{keyF7}, keyName(keyF7), keyName(keyF7)},
            {{shift}, L"Shift + ", none},
            {{control, space}, L"Control + ", none},
            {{control, 'B', backspace}, none, none},
        },
        [&](const Combination& row) {
            UIHotKey field(&host);
            press(field, row.keys);
            EXPECT_EQ(field.text(), row.whileHeld);
            releaseAll(field);
            EXPECT_EQ(field.text(), row.afterRelease);
        });
}

TEST_F(HotKeyFieldTest, NextPressAfterAReleaseStartsAfresh)
{
    UIHotKey field(&host);
    press(field, {control, shift, keyF5});
    releaseAll(field);
    EXPECT_EQ(field.hotKey(), HotKey(0, keyF5, 1 | 2));
    press(field, {'Q'});
    EXPECT_EQ(field.hotKey(), HotKey(0, 'Q', 2));
    field.clear();
    EXPECT_EQ(field.hotKey(), HotKey());
}

// One real key message through the window procedure.
void keyMessage(const UIWidget& window, UINT message, int virtualKey)
{
    const LPARAM scan = LPARAM(MapVirtualKeyW(UINT(virtualKey), MAPVK_VK_TO_VSC)) << 16;
    const LPARAM up = message == WM_KEYUP ? LPARAM(3) << 30 : 0;
    SendMessageW(hwndOf(&window), message, WPARAM(virtualKey), scan | 1 | up);
    pumpUntil([] { return !pumpPending(); }, 500);
}

// Shift pressed alone used to replace the kept combination: "None" after
// its release, "Shift + " with no key when the focus left while it was
// held, and hotKey() returned Shift without a key meanwhile.
TEST_F(HotKeyFieldTest, ModifiersAloneNeverReplaceTheKeptCombination)
{
    showAt(host, 60, 60, 320, 200);
    UIHotKey field(&host);
    field.setGeometry(10, 10, 200, 24);
    field.show();
    UIHotKey other(&host);
    other.setGeometry(10, 50, 200, 24);
    other.show();
    const HotKey kept(0, keyF5, 2);
    const String keptText = L"Control + " + keyName(keyF5);
    for (const bool leave : {false, true}) {
        SCOPED_TRACE(leave ? "the focus leaves" : "Shift is released");
        field.setHotKey(kept);
        ASSERT_TRUE(focusForKeys(host, field));
        {
            const HeldModifiers held(ShiftModifier);
            keyMessage(host, WM_KEYDOWN, VK_SHIFT);
            EXPECT_EQ(field.text(), String(L"Shift + "));
            EXPECT_EQ(field.hotKey(), kept);
            if (leave)
                other.setFocus();
            else
                keyMessage(host, WM_KEYUP, VK_SHIFT);
        }
        EXPECT_EQ(field.text(), keptText);
        EXPECT_EQ(field.hotKey(), kept);
        keyMessage(host, WM_KEYUP, VK_SHIFT);
    }
    EXPECT_EQ(other.hotKey(), HotKey()) << "the release of a key pressed elsewhere records nothing";
}

} // namespace
