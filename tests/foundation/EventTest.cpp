#include "foundation/Event.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

namespace {

// Sets the calling thread's key state for the listed keys (high bit: held)
// and restores the previous state when it goes out of scope.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys)
    {
        GetKeyboardState(m_saved);
        BYTE state[256] = {};
        for (int key : keys)
            state[key] = 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256] = {};
};

} // namespace

TEST(EventTest, BaseStartsWithAllFlagsClear)
{
    UIEvent event(CloseEventType);
    EXPECT_EQ(event.type(), 113);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_FALSE(event.isFromNativeWindow());
    EXPECT_FALSE(event.isInput());
    event.accept();
    EXPECT_TRUE(event.isAccepted());
    event.ignore();
    EXPECT_FALSE(event.isAccepted());
    event.setAccepted(true);
    EXPECT_TRUE(event.isAccepted());
    event.setFromNativeWindow(true);
    EXPECT_TRUE(event.isFromNativeWindow());
}

TEST(EventTest, OnlyPressReleaseAndClicksAreMouseInput)
{
    struct Row {
        int type;
        bool input;
    };
    const Row rows[] = {
        {MousePressEventType, true},  {MouseReleaseEventType, true}, {MouseClickEventType, true},
        {MouseDoubleClickEventType, true}, {MouseMoveEventType, false}, {MouseLeaveEventType, false},
        {MouseEnterEventType, false},
    };
    for (const Row& row : rows) {
        UIMouseEvent event(row.type, Point{3, 4}, LeftButton, LeftButton, NoModifier);
        EXPECT_EQ(event.isInput(), row.input) << "type " << row.type;
        EXPECT_EQ(event.type(), row.type);
    }
}

TEST(EventTest, MouseEventKeepsItsFields)
{
    UIMouseEvent event(MousePressEventType, Point{-5, 17}, RightButton, LeftButton | RightButton,
                       ShiftModifier | AltModifier);
    EXPECT_EQ(event.position(), (Point{-5, 17}));
    EXPECT_EQ(event.x(), -5);
    EXPECT_EQ(event.y(), 17);
    EXPECT_EQ(event.button(), 2);
    EXPECT_EQ(event.buttons().value, 3u);
    EXPECT_TRUE(event.buttons().testFlag(RightButton));
    EXPECT_FALSE(event.buttons().testFlag(MiddleButton));
    EXPECT_EQ(event.modifiers(), KeyboardModifiers(5));
    EXPECT_FALSE(event.isAccepted());
}

TEST(EventTest, CustomAndParamEvents)
{
    UICustomEvent custom(100000);
    EXPECT_EQ(custom.type(), 100);
    EXPECT_EQ(custom.code(), 100000);
    EXPECT_FALSE(custom.isInput());

    UIParamEvent hotKey(7);
    EXPECT_EQ(hotKey.type(), 117);
    EXPECT_EQ(hotKey.value(), 7);
    EXPECT_TRUE(hotKey.isInput());
}

TEST(EventTest, KeyEventKeepsItsFieldsAndDeletesThroughTheBase)
{
    std::unique_ptr<UIEvent> event = std::make_unique<UIKeyEvent>(
        KeyReleaseEventType, 9, ControlModifier, String(L"\t"), true, 15, 9, NativeLeftControl | NativeExtendedKey);
    auto* key = static_cast<UIKeyEvent*>(event.get());
    EXPECT_EQ(key->type(), 123);
    EXPECT_TRUE(key->isInput());
    EXPECT_EQ(key->key(), 9);
    EXPECT_EQ(key->modifiers(), KeyboardModifiers(ControlModifier));
    EXPECT_EQ(key->text(), L"\t");
    EXPECT_TRUE(key->isAutoRepeat());
    EXPECT_EQ(key->nativeScanCode(), 15);
    EXPECT_EQ(key->nativeVirtualKey(), 9);
    EXPECT_EQ(key->nativeModifiers(), 0x1000002);
}

TEST(EventTest, CurrentKeyboardModifiersReadTheKeyState)
{
    {
        HeldKeys held({VK_CONTROL, VK_MENU});
        EXPECT_EQ(currentKeyboardModifiers(), KeyboardModifiers(6));
        EXPECT_TRUE(isKeyDown(VK_CONTROL));
        EXPECT_FALSE(isKeyDown(VK_SHIFT));
    }
    {
        HeldKeys held({VK_SHIFT});
        EXPECT_EQ(currentKeyboardModifiers(), KeyboardModifiers(ShiftModifier));
    }
    HeldKeys none({});
    EXPECT_EQ(currentKeyboardModifiers(), KeyboardModifiers(NoModifier));
}

TEST(EventTest, CurrentMouseButtonsReadTheButtonState)
{
    {
        HeldKeys held({VK_LBUTTON, VK_XBUTTON2});
        EXPECT_EQ(currentMouseButtons(), MouseButtons(LeftButton | ExtraButton2));
    }
    {
        HeldKeys held({VK_RBUTTON, VK_MBUTTON, VK_XBUTTON1});
        EXPECT_EQ(currentMouseButtons(), MouseButtons(2 | 4 | 8));
    }
}

TEST(EventTest, ShowCursorReachesTheStateInOneCall)
{
    showCursor(true);
    ShowCursor(FALSE);
    ShowCursor(FALSE);
    ShowCursor(FALSE);
    showCursor(true);
    // One more hide from exactly 0 gives -1.
    EXPECT_EQ(ShowCursor(FALSE), -1);
    ShowCursor(TRUE);
    ShowCursor(TRUE);
    showCursor(false);
    EXPECT_EQ(ShowCursor(TRUE), 0);
    showCursor(true);
}

TEST(EventTest, ClipCursorConfinesAndReleases)
{
    Rect clip(10, 20, 100, 50);
    clipCursor(clip);
    EXPECT_EQ(cursorClipRect(), clip);
    clipCursor(Rect(10, 20, 0, 50));
    Rect released = cursorClipRect();
    EXPECT_NE(released, clip);
    EXPECT_TRUE(released.contains(clip));
}

TEST(EventTest, CursorPositionFollowsSetCursorPosition)
{
    if (isWorkstationLocked()) {
        EXPECT_EQ(cursorPosition(), (Point{0, 0}));
        return;
    }
    setCursorPosition(Point{37, 41});
    EXPECT_EQ(cursorPosition(), (Point{37, 41}));
}
