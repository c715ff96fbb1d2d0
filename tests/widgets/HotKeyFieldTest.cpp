#include "ui/widgets/UIHotKey.h"

#include "foundation/Dispatcher.h"
#include "foundation/Shortcut.h"

#include "tests/support/RowTable.h"
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

} // namespace
