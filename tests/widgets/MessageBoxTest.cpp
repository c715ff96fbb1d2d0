#include "ui/widgets/UIMessageBox.h"

#include "foundation/DateTime.h"
#include "foundation/Dispatcher.h"
#include "foundation/Hooks.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Screen.h"
#include "ui/UITheme.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UICheck.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIPicture.h"
#include "ui/widgets/UIWidgetHooks.h"

#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/widgets/OneMonitor.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

std::vector<int> soundKinds;
std::int64_t firstSoundAt = 0;
// The last show before the first sound; a busy machine only lengthens the time.
std::int64_t shownAt = 0;

void recordSound(int kind)
{
    firstSoundAt = soundKinds.empty() ? preciseMilliseconds() : firstSoundAt;
    soundKinds.push_back(kind);
}

LRESULT CALLBACK noteShows(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (message->message == WM_SHOWWINDOW && message->wParam && soundKinds.empty())
        shownAt = preciseMilliseconds();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Visible or not, so that the driver's time limit ends it either way.
UIMessageBox* runningBox()
{
    for (UIWidget* widget : UIManager::instance()->widgets()) {
        auto* box = dynamic_cast<UIMessageBox*>(widget);
        if (box && box->isInModalLoop())
            return box;
    }
    return nullptr;
}

// One step of a modal run, done on the running box. A null step waits
// one tick.
using Step = std::function<void(UIMessageBox&)>;

// Drives the modal loop from inside it: a 10-ms timer runs one step per
// tick. After a minute, far beyond a busy machine's delays, it ends the box
// with -1, so that a lost click fails the test instead of hanging it.
class ModalDriver : public TimerClient {
public:
    explicit ModalDriver(std::vector<Step> steps) : m_steps(std::move(steps)), m_start(preciseMilliseconds())
    {
        startTimer(1, shortTimerInterval());
    }

    void timerEvent(int) override
    {
        UIMessageBox* box = runningBox();
        if (box && preciseMilliseconds() - m_start > 60000)
            box->done(-1);
        else if (box && m_next < m_steps.size() && m_steps[m_next++])
            m_steps[m_next - 1](*box);
    }

private:
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    std::int64_t m_start;
};

// A real press and release; the click comes posted.
void clickOn(UIMessageBox& box, const UIWidget* widget)
{
    const Point p = widget->mapToWindow(widget->rect().center());
    for (UINT message : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
        SendMessageW(hwndOf(&box), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
}

Step press(const wchar_t* text)
{
    return [text](UIMessageBox& box) {
        for (UIButton* button : box.buttonList()) {
            if (button->text() == text)
                clickOn(box, button);
        }
    };
}

const Step tickDoNotShowAgain = [](UIMessageBox& box) { clickOn(box, box.doNotShowAgain()); };
const Step closeButton = [](UIMessageBox& box) { SendMessageW(hwndOf(&box), WM_SYSCOMMAND, SC_CLOSE, 0); };

// Sent to a button: the box sees it first by its key preview.
Step typeKey(int key, std::uint32_t modifiers)
{
    return [key, modifiers](UIMessageBox& box) {
        dispatcher()->postEvent(new UIKeyEvent(KeyPressEventType, key, modifiers, String()),
                                box.buttonList().first()->value);
    };
}

// Real keyboard input, through the system's input queue to the focused
// window; a key with Shift holds Shift around it.
Step keyboard(WORD key, bool shift = false)
{
    return [key, shift](UIMessageBox&) {
        std::vector<INPUT> inputs;
        const auto add = [&](WORD vk, DWORD flags) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.wScan = WORD(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        };
        if (shift)
            add(VK_SHIFT, 0);
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
        if (shift)
            add(VK_SHIFT, KEYEVENTF_KEYUP);
        SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    };
}

// Records the text of the button with the focus ("" for none).
Step noteFocus(std::vector<String>& focused)
{
    return [&focused](UIMessageBox& box) {
        String text;
        for (UIButton* button : box.buttonList()) {
            if (button->hasFocus())
                text = button->text();
        }
        focused.push_back(text);
    };
}

class MessageBoxTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        installWidgetHooks();
        UIManager::instance()->setMessageSoundPlayer(&recordSound);
        soundKinds.clear();
        m_hook = SetWindowsHookExW(WH_CALLWNDPROC, noteShows, nullptr, GetCurrentThreadId());
    }

    void TearDown() override
    {
        UnhookWindowsHookEx(m_hook);
        UIManager::instance()->setMessageSoundPlayer(nullptr);
        StyledWidgetTest::TearDown();
    }

    // Through the kind's static function; MessageNone has none.
    static int run(std::vector<Step> steps, int kind, int buttons, int flags = 0, const String& more = String())
    {
        using Function = int (*)(UIWidget*, const String&, const String&, const String&, int, int);
        static const Function functions[] = {nullptr, &UIMessageBox::information, &UIMessageBox::question,
                                             &UIMessageBox::warning, &UIMessageBox::critical};
        ModalDriver driver(std::move(steps));
        if (functions[kind])
            return functions[kind](nullptr, L"Title", L"Text", more, buttons, flags);
        UIMessageBox box(kind, L"Title", L"Text", buttons);
        box.setFlags(flags);
        return box.exec();
    }

    HHOOK m_hook = nullptr;
};

// Each modal run costs about two seconds under Wine (a framed, active
// window waits that long to leave the screen), so each row checks much.
TEST_F(MessageBoxTest, EachKindShowsItsIconButtonsAndSound)
{
    struct Row {
        int kind, buttons, flags;
        std::vector<String> texts;
        std::vector<bool> defaults;
        int result;
        std::vector<int> sounds;
    };
    const Row rows[] = {
        {MessageNone, MessageBoxOk, MessageBoxDefaultLoneButton, {L"OK"}, {true}, MessageBoxOk, {}},
        {MessageInformation, MessageBoxOk | MessageBoxCancel, MessageBoxDefaultLoneButton, {L"OK", L"Cancel"},
         {false, false}, MessageBoxOk, {4}},
        {MessageQuestion, MessageBoxYes | MessageBoxNo | MessageBoxCancel, 0, {L"Yes", L"Cancel", L"No"},
         {false, false, false}, MessageBoxYes, {2}},
        {MessageWarning, MessageBoxIgnore | MessageBoxRetry | MessageBoxProceed, 0, {L"Proceed", L"Retry", L"Ignore"},
         {false, false, false}, MessageBoxProceed, {3}},
        {MessageCritical, MessageBoxHelp, 0, {L"Help"}, {false}, MessageBoxHelp, {5}},
    };
    forEachRow(rows, [&](const Row& row) {
        soundKinds.clear();
        std::vector<String> texts;
        std::vector<bool> defaults;
        std::vector<int> lefts;
        std::vector<UIPicture*> pictures;
        Size iconSize;
        const Step look = [&](UIMessageBox& box) {
            for (const UIButton* button : box.buttonList()) {
                texts.push_back(button->text());
                defaults.push_back(button->isDefault());
                lefts.push_back(button->mapToWindow(Point()).x);
            }
            pictures = widgetsOf<UIPicture>(box);
            iconSize = pictures.empty() ? Size() : pictures[0]->layerImage(0).size();
        };
        std::vector<Step> steps(12);
        steps.front() = look;
        steps.back() = press(row.texts.front().constData());
        EXPECT_EQ(run(steps, row.kind, row.buttons, row.flags), row.result);
        EXPECT_EQ(texts, row.texts);
        EXPECT_EQ(defaults, row.defaults);
        EXPECT_TRUE(std::is_sorted(lefts.begin(), lefts.end()));
        EXPECT_EQ(pictures.size(), row.kind == MessageNone ? 0u : 1u);
        if (row.kind != MessageNone) {
            EXPECT_EQ(iconSize, UIManager::instance()->theme()->image(ImageInformationBig + row.kind - 1).size());
        }
        EXPECT_EQ(soundKinds, row.sounds);
        if (!soundKinds.empty()) {
            // 5 ms for the timer's granularity.
            EXPECT_GE(firstSoundAt - shownAt, 50 - 5);
        }
    });
}

TEST_F(MessageBoxTest, DoNotShowAgainAddsItsBitToAPressedButtonOnly)
{
    const Step stillOpen = [](UIMessageBox& box) { EXPECT_TRUE(box.isVisible()) << "Escape closed it"; };
    const int yesNo = MessageBoxYes | MessageBoxNo;
    EXPECT_EQ(run({tickDoNotShowAgain, nullptr, press(L"Yes")}, MessageQuestion, yesNo, MessageBoxShowDoNotShowAgain),
              MessageBoxYes | MessageBoxDoNotShowAgain);
    EXPECT_EQ(run({tickDoNotShowAgain, typeKey(VK_ESCAPE, 0), nullptr, nullptr, stillOpen, closeButton},
                  MessageQuestion, yesNo, MessageBoxShowDoNotShowAgain),
              0);
}

// No button had the focus and none was in the Tab chain, so the box could
// not be answered from the keyboard.
TEST_F(MessageBoxTest, TheKeyboardFocusesTabsThroughAndPressesTheButtons)
{
    struct Row {
        int buttons, flags;
        std::vector<std::pair<WORD, bool>> keys;
        std::vector<String> focused;
        int result;
    };
    const int yesNoCancel = MessageBoxYes | MessageBoxNo | MessageBoxCancel;
    const Row rows[] = {
        {yesNoCancel, 0, {{VK_TAB, false}, {VK_TAB, false}, {VK_TAB, false}, {VK_TAB, true}, {VK_RETURN, false}},
         {L"Yes", L"Cancel", L"No", L"Yes", L"No"}, MessageBoxNo},
        {yesNoCancel, 0, {{VK_TAB, true}, {VK_SPACE, false}}, {L"Yes", L"No"}, MessageBoxNo},
        // The default button takes the focus; Escape still does nothing.
        {MessageBoxOk, MessageBoxDefaultLoneButton, {{VK_ESCAPE, false}, {VK_RETURN, false}}, {L"OK", L"OK"},
         MessageBoxOk},
        // Enter in the box that offers to save again used to press Cancel.
        {MessageBoxRetry | MessageBoxCancel, MessageBoxDefaultRetry, {{VK_RETURN, false}}, {L"Retry"},
         MessageBoxRetry},
    };
    forEachRow(rows, [&](const Row& row) {
        std::vector<String> focused;
        std::vector<Step> steps = {nullptr, noteFocus(focused)};
        for (const auto& [key, shift] : row.keys) {
            steps.push_back(keyboard(key, shift));
            steps.push_back(nullptr);
            steps.push_back(noteFocus(focused));
        }
        steps.pop_back();
        EXPECT_EQ(run(steps, MessageQuestion, row.buttons, row.flags), row.result);
        EXPECT_EQ(focused, row.focused);
    });
    // Activated later (shown while another program was active), no button
    // has the focus: Enter reaches the box and presses the first button.
    const Step loseFocus = [](UIMessageBox&) { UIWidget::focusWidget()->clearFocus(); };
    EXPECT_EQ(run({nullptr, loseFocus, keyboard(VK_RETURN)}, MessageQuestion, yesNoCancel), MessageBoxYes);
}

TEST_F(MessageBoxTest, TitleIsFollowedByTheApplicationName)
{
    const String product = Application::instance()->productName();
    UIMessageBox untitled(MessageNone, String(), L"Text", MessageBoxOk);
    EXPECT_EQ(untitled.title(), product);
    UIMessageBox titled(MessageNone, L"Oops", L"Text", MessageBoxOk);
    titled.setTitle(String());
    EXPECT_EQ(titled.title(), L"Oops" + UIManager::instance()->titleSeparator() + product);
}

TEST_F(MessageBoxTest, CtrlCCopiesTitleAndTextsJoinedByCrLf)
{
    const String title = L"Title" + UIManager::instance()->titleSeparator() + Application::instance()->productName();
    Clipboard& clipboard = UIManager::instance()->clipboard();
    const Step unchanged = [&](UIMessageBox&) { EXPECT_EQ(clipboard.text(), L"unchanged"); };
    const std::pair<String, String> rows[] = {{String(), title + L"\r\nText"},
                                              {L"More", title + L"\r\nText\r\nMore"}};
    forEachRow(rows, [&](const std::pair<String, String>& row) {
        ASSERT_TRUE(clipboard.setText(L"unchanged"));
        run({typeKey('C', NoModifier), typeKey('X', ControlModifier), nullptr, unchanged,
             typeKey('C', ControlModifier), nullptr, press(L"OK")},
            MessageInformation, MessageBoxOk, 0, row.first);
        EXPECT_EQ(clipboard.text(), row.second);
    });
}

TEST_F(MessageBoxTest, StaysInsideTheWorkAreaByTheDesktopPadding)
{
    const Rect area = Screen::primaryMonitorRect(true);
    const int padding = UIManager::instance()->theme()->metric(MetricWindowDesktopPadding);
    UIMessageBox box(MessageWarning, L"Title", L"A box placed at the corner of the screen", MessageBoxOk);
    box.move(area.x + area.width - 20, area.y + area.height - 20);
    Rect frame;
    ModalDriver driver({[&](UIMessageBox& shown) { frame = shown.frameGeometry(); }, press(L"OK")});
    box.exec();
    EXPECT_EQ(frame.x + frame.width, area.x + area.width - padding);
    // The screen's fitting ends an overflowing bottom one pixel lower.
    EXPECT_EQ(frame.y + frame.height, area.y + area.height - padding + 1);
}

// Whether rows [top, top + height) of r hold a pixel darker than
// mid-grey, as far as the shot reaches.
bool anyDark(const Bitmap& shot, const Rect& r, int top, int height)
{
    for (int y = r.y + top; y < std::min(r.y + top + height, shot.height()); ++y) {
        for (int x = r.x; x < std::min(r.x + r.width, shot.width()); ++x) {
            const Colour c = shot.pixel(x, y);
            if (c.red() + c.green() + c.blue() < 3 * 128)
                return true;
        }
    }
    return false;
}

// A message with a long path used to be wider than the screen, its OK
// button off it. Laid out unwrapped first, every widget of the box kept a
// buffer as wide as a long paragraph; from about 30,000 characters none
// could be made and the box showed blank, and a tall text pushed the
// buttons off the screen. A rule of box-drawing lines hung past its line
// as spaces do, and the box grew wider than 80% of the work area. Of two
// tall texts the taller is cut first, and each keeps a line.
TEST_F(MessageBoxTest, ALongPathWrapsAndTheBoxFitsTheScreen)
{
    String path = L"The copy beside it, C:";
    while (path.length() < 400)
        path.append(L"\\Pictures");
    const wchar_t* words[] = {L"library ", L"tag ", L"a ", L"pictures ", L"folder "};
    String paragraph;
    for (int i = 0; paragraph.length() < 30000; ++i)
        paragraph.append(words[i % 5]);
    const String shorter = paragraph.mid(0, 1000);
    const String rule = L"A rule follows.\n" + String(L'\x2500', 150) + L"\nA sentence follows it.";
    const OneMonitor screen;
    const Rect area = Screen::primaryMonitorRect(true);
    const int padding = UIManager::instance()->theme()->metric(MetricWindowDesktopPadding);
    const auto inWindow = [](const UIWidget* widget) {
        const Point p = widget->mapToWindow(Point());
        return Rect(p.x, p.y, widget->width(), widget->height());
    };
    struct Row {
        String text, informative;
        std::vector<bool> cut;
    };
    const Row rows[] = {
        {path, String(), {false}},
        {paragraph, String(), {true}},
        {rule, String(), {false}},
        {paragraph, shorter, {true, false}},
        {shorter, paragraph, {false, true}},
        {paragraph, paragraph, {true, true}},
    };
    forEachRow(rows, [&](const Row& row) {
        Rect frame;
        std::vector<bool> cut;
        const Step look = [&](UIMessageBox& box) {
            frame = box.frameGeometry();
            EXPECT_TRUE(box.rect().contains(inWindow(box.buttonList().first()->value))) << "OK is off the box";
            // 100: the slack a buffer keeps beyond its widget.
            for (const UIWidget* widget : box.descendants()) {
                EXPECT_LE(widget->backBuffer()->width(), box.width() + 100);
                EXPECT_LE(widget->backBuffer()->height(), box.height() + 100);
            }
            const Bitmap shot = box.windowSurface()->toBitmap(false);
            for (const UILabel* label : widgetsOf<UILabel>(box)) {
                cut.push_back(label->height() < label->sizeHint().height);
                const Rect shown = inWindow(label);
                const int lineHeight = Font(label->font()).height();
                EXPECT_GE(shown.height, lineHeight) << "no line left";
                EXPECT_TRUE(anyDark(shot, shown, 0, lineHeight)) << "the first line is blank";
                EXPECT_TRUE(anyDark(shot, shown, shown.height - lineHeight, lineHeight)) << "the last line is blank";
            }
        };
        UIMessageBox box(MessageInformation, L"Title", row.text, MessageBoxOk);
        box.setInformativeText(row.informative);
        ModalDriver driver({look, press(L"OK")});
        EXPECT_EQ(box.exec(), MessageBoxOk);
        EXPECT_EQ(cut, row.cut) << "cut, or a tall text not cut";
        EXPECT_LE(frame.width, area.width * 4 / 5);
        EXPECT_TRUE(area.adjusted(padding, padding, -padding, -padding).contains(frame))
            << testing::PrintToString(frame);
    });
}

TEST_F(MessageBoxTest, TheLibrarysInformationShowsTheBox)
{
    String text;
    int kind = -1;
    ModalDriver driver({[&](UIMessageBox& box) {
                            text = widgetsOf<UILabel>(box).at(0)->text();
                            kind = box.kind();
                        },
                        press(L"OK")});
    EXPECT_EQ(uiHooks().information(String(), L"Cannot open the library.", String(), UiHooks::OkButton, 0),
              MessageBoxOk);
    EXPECT_EQ(text, L"Cannot open the library.");
    EXPECT_EQ(kind, MessageInformation);
}

} // namespace
