#include "foundation/Dispatcher.h"
#include "graphics/DrawingSurface.h"
#include "ui/PlatformServices.h"
#include "ui/TimerService.h"
#include "ui/UIDialog.h"
#include "ui/UIToolkitHooks.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const Colour white(255, 255, 255);
const Colour black(0, 0, 0);

using WindowDialogTest = WidgetTest;

// Ends itself with a chosen result as soon as it is shown, noting whether
// the pointer-snap timer was started.
class SelfEndingDialog : public UIDialog {
public:
    explicit SelfEndingDialog(int endWith) : UIDialog(nullptr, quickWindow), m_endWith(endWith) {}

    bool snapTimerStarted = false;

protected:
    void showEvent(UIShowEvent* e) override
    {
        UIDialog::showEvent(e);
        snapTimerStarted = isTimerActive(DialogDefaultButtonTimerId);
        if (m_endWith >= 0)
            done(m_endWith);
    }

private:
    int m_endWith;
};

// Default buttons are the widgets whose user value is 1.
class DefaultButtonHooks : public UIToolkitHooks {
public:
    bool isDefaultButton(const UIWidget* widget) override { return widget->userValue() == 1; }
};

UIWidget* addWidget(UIWidget* parent, const wchar_t* styleName, bool isDefault = false)
{
    auto* w = new UIWidget(parent);
    w->setStyleName(styleName);
    w->setUserValue(isDefault ? 1 : 0);
    w->resize(30, 20);
    w->show();
    return w;
}

} // namespace

TEST_F(WindowDialogTest, BorderIsDrawnOnlyInAVisibleColour)
{
    forEachRow(std::vector<String>{L"", L"0,0,0"}, [](const String& borderColor) {
        UIWindow window(nullptr, quickWindow);
        window.setStyleProperty(L"background", L"255,255,255");
        window.setStyleProperty(L"borderColor", borderColor);
        showAt(window, 60, 60, 40, 30);
        window.repaint();
        const Bitmap pixels = window.backBuffer()->toBitmap(false);
        const Colour frame = borderColor.isEmpty() ? white : black;
        EXPECT_EQ(pixels.pixel(0, 0), frame);
        EXPECT_EQ(pixels.pixel(window.width() - 1, window.height() - 1), frame);
        EXPECT_EQ(pixels.pixel(window.width() - 2, window.height() - 2), white);
        EXPECT_EQ(pixels.pixel(window.width() / 2, window.height() / 2), white);
    });
}

TEST_F(WindowDialogTest, DimmingDarkensTheWholeWindowUntilUndone)
{
    UIWindow window(nullptr, quickWindow);
    window.setBackground(Brush(white));
    showAt(window, 60, 60, 40, 30);
    window.setDimmed(true);
    window.repaint();
    EXPECT_TRUE(window.isDimmed());
    EXPECT_EQ(window.windowSurface()->toBitmap(false).pixel(20, 15), white.blended(Colour(150, 0, 0, 0)));
    window.setDimmed(false);
    window.repaint();
    EXPECT_FALSE(window.isDimmed());
    EXPECT_EQ(window.windowSurface()->toBitmap(false).pixel(20, 15), white);
}

TEST_F(WindowDialogTest, DoneEndsTheModalLoopWithItsResult)
{
    SelfEndingDialog dialog(7);
    dialog.show();
    EXPECT_EQ(dialog.result(), 7);
    EXPECT_FALSE(dialog.isInModalLoop());
    EXPECT_EQ(dialog.snapTimerStarted, snapToDefaultButton());
}

TEST_F(WindowDialogTest, EscapeRejectsWhicheverWidgetHasTheFocus)
{
    for (bool toChild : {false, true}) {
        SelfEndingDialog dialog(-1);
        dialog.setResult(5);
        auto* child = new RecordingWidget(&dialog, white);
        dispatcher()->postEvent(new UIKeyEvent(KeyPressEventType, 27, 0, String()),
                                toChild ? static_cast<UIWidget*>(child) : &dialog);
        // Ends the loop with the old result if the Escape went astray.
        dialog.close();
        dialog.show();
        EXPECT_EQ(dialog.result(), 0) << (toChild ? "sent to a child" : "sent to the dialog");
    }
}

TEST_F(WindowDialogTest, PointerSnapLooksTwoLevelsDeep)
{
    DefaultButtonHooks hooks;
    setToolkitHooks(&hooks);
    UIDialog dialog(nullptr, quickWindow);
    dialog.nativeWindow()->setModal(false);
    showAt(dialog, 60, 60, 200, 100);
    EXPECT_EQ(dialog.snapTarget(), nullptr);
    addWidget(&dialog, L"UIButton");
    UIWidget* box = addWidget(&dialog, L"TestBox");
    UIWidget* inner = addWidget(box, L"TestBox");
    addWidget(inner, L"UIButton", true);
    EXPECT_EQ(dialog.snapTarget(), nullptr) << "three levels down is not searched";
    UIWidget* hidden = addWidget(box, L"UIButton", true);
    hidden->hide();
    EXPECT_EQ(dialog.snapTarget(), nullptr);
    UIWidget* nested = addWidget(box, L"UIButton", true);
    EXPECT_EQ(dialog.snapTarget(), nested);
    UIWidget* direct = addWidget(&dialog, L"UIButton", true);
    EXPECT_EQ(dialog.snapTarget(), nested) << "the box comes first among the children";
    nested->setEnabledRecursive(false);
    EXPECT_EQ(dialog.snapTarget(), direct);
    setToolkitHooks(nullptr);
}
