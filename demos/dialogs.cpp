// The composite pop-ups: four combo boxes (plain, sorted, editable, and one
// with icons and separators); four buttons that aim a balloon tip at a
// point near each corner of the screen; and buttons that open message
// boxes of every kind, together using every standard button, one of them
// with "Do not show again.". Each message box's result is printed to
// stdout and shown under the buttons.
//
// --script NAME shows one state and holds it for screenshots: "combo" (the
// pop-up of the icon combo open), "balloon" (a balloon near the top-right
// corner), "message" (a Yes/No/Cancel question), "longpath" (a message
// naming a path of 400 characters, which wraps at its separators to fit
// the screen) or "longmessage" (a paragraph of 30,000 characters, still
// taller than the screen once wrapped: the box shows the lines that fit).
// --script alone shows the five in that order. Each state is
// reached about a second after it begins; the program then prints "ready:
// NAME", keeps the state for four seconds, undoes it (the message box is
// cancelled) and goes on, or quits after the last one. A state that does
// not come about is reported as "not reached: NAME" and ends the run with
// exit code 1.

#include "demos/WidgetDemo.h"
#include "foundation/Dispatcher.h"
#include "graphics/Screen.h"
#include "ui/UITheme.h"
#include "ui/widgets/UIBalloonTip.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UIComboBox.h"
#include "ui/widgets/UIGroup.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIMessageBox.h"
#include "ui/widgets/UISpacer.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

const wchar_t* const tagNames[] = {L"Holiday", L"Family", L"Receipts", L"Music", L"Work", L"Archive", L"Drafts",
                                   L"Screenshots", L"Taxes 2023", L"Garden", L"Recipes", L"Travel plans"};

// What the library says when its session went back in place from a copy
// kept deep in folders: a path of 400 characters without a space.
const String longPathMessage = [] {
    String path = L"C:";
    while (path.length() < 389)
        path.append(L"\\Pictures");
    return L"This session's library was saved in its place again; the copy beside it, " + path +
           L"\\lib.db.new, was removed.";
}();

const String longParagraphMessage = [] {
    const wchar_t* words[] = {L"The ", L"library ", L"kept ", L"every ", L"tag ", L"of ", L"a ", L"holiday. "};
    String text;
    for (int i = 0; text.length() < 30000; ++i)
        text.append(words[i % 8]);
    return text;
}();

// One message box the demo opens. Together the rows use each kind and each
// standard button at least once.
struct MessageCase {
    const wchar_t* caption;
    int kind;
    int buttons;
    int flags;
    const wchar_t* title;
    const wchar_t* text;
    const wchar_t* informativeText;
};

const MessageCase messageCases[] = {
    {L"Information: OK", MessageInformation, MessageBoxOk, MessageBoxDefaultLoneButton, L"Scan finished",
     L"The scan found 1,284 new files.", L"They are tagged \"New\" until you tag them yourself."},
    {L"Question: Yes, No, Cancel", MessageQuestion, MessageBoxYes | MessageBoxNo | MessageBoxCancel, 0,
     L"Unsaved changes", L"Save the changes to the library \"Photos\"?",
     L"Tags added since the last save are lost otherwise."},
    {L"Question: Yes, No, with \"Do not show again.\"", MessageQuestion, MessageBoxYes | MessageBoxNo,
     MessageBoxShowDoNotShowAgain, L"Remove tag", L"Remove the tag \"Holiday\" from 12 files?", L""},
    {L"Question: Yes To All, No To All", MessageQuestion,
     MessageBoxYes | MessageBoxYesToAll | MessageBoxNo | MessageBoxNoToAll, 0, L"Replace file",
     L"\"beach.jpg\" already exists in \"Holiday\".", L"Replace it with the file being moved?"},
    {L"Warning: Abort, Retry, Ignore", MessageWarning, MessageBoxAbort | MessageBoxRetry | MessageBoxIgnore, 0,
     L"Drive not ready", L"The drive E: does not answer.", L"Insert the disc and retry, or skip its files."},
    {L"Warning: Save, Save All, Cancel", MessageWarning, MessageBoxSave | MessageBoxSaveAll | MessageBoxCancel, 0,
     L"Closing", L"Two libraries have unsaved changes.", L""},
    {L"Critical: OK, Cancel", MessageCritical, MessageBoxOk | MessageBoxCancel, 0, L"Damaged library",
     L"The library file cannot be read.", L"OK restores the backup copy made at the last save."},
    {L"Critical: Close, Help", MessageCritical, MessageBoxClose | MessageBoxHelp, 0, L"Out of disk space",
     L"The library could not be saved.", L""},
    {L"Information: Open, Apply, Reset", MessageInformation, MessageBoxOpen | MessageBoxApply | MessageBoxReset, 0,
     L"Settings", L"A settings file was found beside the program.", L""},
    {L"No icon: Restore Defaults, Restart Now, Proceed", MessageNone,
     MessageBoxRestoreDefaults | MessageBoxRestartNow | MessageBoxProceed, 0, L"", L"The language was changed.",
     L"It takes effect once the program restarts."},
    {L"Information: a path of 400 characters", MessageInformation, MessageBoxOk | MessageBoxCancel, 0,
     L"Library saved", longPathMessage.c_str(), L""},
    {L"Information: a paragraph of 30,000 characters", MessageInformation, MessageBoxOk | MessageBoxCancel, 0,
     L"Long message", longParagraphMessage.c_str(), L""},
};

// Where each balloon points: a corner of the work area, this far inside.
constexpr int cornerInset = 24;

struct BalloonCorner {
    const wchar_t* caption;
    // As the balloon's text names it.
    const wchar_t* name;
    bool right;
    bool bottom;
    // A theme message icon: 1 to 4 big, 5 to 8 medium, 9 to 12 small.
    int iconKind;
};

const BalloonCorner balloonCorners[] = {
    {L"Top left", L"top-left", false, false, 1},
    {L"Top right", L"top-right", true, false, 2},
    {L"Bottom left", L"bottom-left", false, true, 7},
    {L"Bottom right", L"bottom-right", true, true, 12},
};

UIGroup* addGroup(UIWidget* parent, const wchar_t* title, int columns)
{
    auto* group = shown(new UIGroup(parent));
    group->setTitle(title);
    group->setSizePolicy(SizeExpanding, SizeFixed);
    group->setLayoutVertical(false);
    group->setLayoutColumns(columns);
    group->applyLayoutSpacingMetrics();
    return group;
}

class Demo;

// A button that opens one message box.
class MessageButton : public UIButton {
public:
    MessageButton(UIWidget* parent, Demo* demo, const MessageCase& messageCase)
        : UIButton(parent, messageCase.caption), m_demo(demo), m_case(messageCase)
    {
        clicked.connect(this, &MessageButton::open);
    }

private:
    void open();

    Demo* m_demo;
    const MessageCase& m_case;
};

// A button that shows a balloon near one corner of the screen.
class BalloonButton : public UIButton {
public:
    BalloonButton(UIWidget* parent, const BalloonCorner& corner) : UIButton(parent, corner.caption), m_corner(corner)
    {
        clicked.connect(this, &BalloonButton::showBalloon);
    }

private:
    void showBalloon()
    {
        const Rect area = Screen::monitorRectAt(topLevelWidget()->globalRect().center(), true);
        const Point anchor(m_corner.right ? area.right() - cornerInset : area.left() + cornerInset,
                           m_corner.bottom ? area.bottom() - cornerInset : area.top() + cornerInset);
        wchar_t text[160];
        swprintf(text, 160, L"This balloon points at (%d, %d),\nnear the %ls corner of the screen.", anchor.x,
                 anchor.y, m_corner.name);
        UIBalloonTip::showBalloon(this, anchor, String(m_corner.caption) + L" corner", String(text), m_corner.iconKind,
                                  Bitmap(), BalloonAboveAnchor, 0, 0, 0, 0);
    }

    const BalloonCorner& m_corner;
};

class Demo : public SignalReceiver {
public:
    Demo()
    {
        window = newDemoWindow(L"Combo boxes, balloon tips and message boxes", Rect(20, 20, 900, 450));
        addComboBoxes();
        addBalloonButtons();
        addMessageButtons();
        result = shown(new UILabel(window));
        result->setSizePolicy(SizeExpanding, SizeFixed);
        result->setText(L"No message box was answered yet.");
        shown(new UIExpander(window));
        window->show();
    }

    // Runs the case's box modally and reports what it returned.
    void openMessage(const MessageCase& c)
    {
        UIMessageBox box(c.kind, c.title, c.text, c.buttons, window);
        box.setInformativeText(c.informativeText);
        box.setFlags(c.flags);
        runningBox = &box;
        const int code = box.exec();
        runningBox = nullptr;
        report(c, code);
    }

    UIWindow* window = nullptr;
    UIComboBox* iconCombo = nullptr;
    std::vector<BalloonButton*> balloonButtons;
    std::vector<MessageButton*> messageButtons;
    UIMessageBox* runningBox = nullptr;

private:
    void addComboBoxes()
    {
        UIGroup* group = addGroup(window, L"Combo boxes", 4);
        for (const wchar_t* caption : {L"Plain", L"Sorted", L"Editable", L"Icons and separators"})
            shown(new UILabel(group))->setText(caption);
        UIComboBox* plain = addCombo(group);
        plain->setDefaultText(L"Music");
        UIComboBox* sorted = addCombo(group);
        sorted->setSorted(true);
        addCombo(group)->setEditable(true);
        iconCombo = shown(new UIComboBox(group));
        iconCombo->setSizePolicy(SizeExpanding, SizeFixed);
        addIconEntries(iconCombo);
    }

    static UIComboBox* addCombo(UIWidget* parent)
    {
        auto* combo = shown(new UIComboBox(parent));
        combo->setSizePolicy(SizeExpanding, SizeFixed);
        for (const wchar_t* name : tagNames)
            combo->addItem(name);
        return combo;
    }

    static void addIconEntries(UIComboBox* combo)
    {
        combo->addItem(L"Information", standardImage(ImageInformationSmall));
        combo->addItem(L"Question", standardImage(ImageQuestionSmall));
        combo->addItem(L"Warning", standardImage(ImageWarningSmall));
        combo->addItem(L"Critical", standardImage(ImageCriticalSmall));
        combo->addSeparator();
        combo->addItem(L"Folder", standardImage(ImageDirectorySmall));
        combo->addSeparator();
        combo->addItem(L"Without an icon");
    }

    void addBalloonButtons()
    {
        UIGroup* group = addGroup(window, L"Balloon tips", 5);
        for (const BalloonCorner& corner : balloonCorners)
            balloonButtons.push_back(shown(new BalloonButton(group, corner)));
        shown(new UIExpander(group));
    }

    void addMessageButtons()
    {
        UIGroup* group = addGroup(window, L"Message boxes", 2);
        for (const MessageCase& c : messageCases) {
            auto* button = shown(new MessageButton(group, this, c));
            button->setSizePolicy(SizeExpanding, SizeFixed);
            messageButtons.push_back(button);
        }
    }

    void report(const MessageCase& c, int code)
    {
        wchar_t line[200];
        const bool ticked = (code & MessageBoxDoNotShowAgain) != 0;
        swprintf(line, 200, L"%ls returned %d (0x%X)%ls", c.caption, code, unsigned(code),
                 ticked ? L", \"Do not show again.\" ticked" : L"");
        wprintf(L"%ls\n", line);
        fflush(stdout);
        result->setText(line);
    }

    UILabel* result = nullptr;
};

void MessageButton::open()
{
    m_demo->openMessage(m_case);
}

Demo* demo = nullptr;

// ---- Script ----

// Posts a left click on the widget's centre to its window.
void clickOn(UIWidget* widget)
{
    const Point p = widget->mapToWindow(widget->rect().center());
    postPointer(widget->topLevelWidget(), WM_MOUSEMOVE, 0, p);
    clickAt(widget->topLevelWidget(), p.x, p.y);
}

void pressCancel(UIMessageBox* box)
{
    if (!box)
        return;
    for (UIButton* button : box->buttonList()) {
        if (button->text() == L"Cancel")
            clickOn(button);
    }
}

struct Scene {
    const wchar_t* name;
    void (*enter)();
    bool (*reached)();
    void (*leave)();
};

const Scene scenes[] = {
    {L"combo", [] { clickOn(demo->iconCombo); }, [] { return demo->iconCombo->isPopupVisible(); },
     [] { demo->iconCombo->hidePopup(); }},
    {L"balloon", [] { clickOn(demo->balloonButtons[1]); }, [] { return UIBalloonTip::isShowing(); },
     [] { UIBalloonTip::hideCurrent(); }},
    {L"message", [] { clickOn(demo->messageButtons[1]); },
     [] { return demo->runningBox != nullptr && demo->runningBox->isVisible(); },
     [] { pressCancel(demo->runningBox); }},
    {L"longpath", [] { clickOn(demo->messageButtons.end()[-2]); },
     [] { return demo->runningBox != nullptr && demo->runningBox->isVisible(); },
     [] { pressCancel(demo->runningBox); }},
    {L"longmessage", [] { clickOn(demo->messageButtons.back()); },
     [] { return demo->runningBox != nullptr && demo->runningBox->isVisible(); },
     [] { pressCancel(demo->runningBox); }},
};

// Half-second steps of one scene: enter, report ready, leave.
constexpr int enterStep = 1;
constexpr int readyStep = 3;
constexpr int leaveStep = 11;
constexpr int sceneSteps = 13;

std::vector<const Scene*> scriptScenes;
int step = 0;

// A state that did not come about ends the run with 1.
void reportReady(const Scene& scene)
{
    const bool reached = scene.reached();
    wprintf(L"%ls: %ls\n", reached ? L"ready" : L"not reached", scene.name);
    fflush(stdout);
    if (!reached)
        dispatcher()->quitAll(1);
}

void CALLBACK scriptStep(HWND, UINT, UINT_PTR, DWORD)
{
    const int current = step++;
    const std::size_t index = std::size_t(current / sceneSteps);
    if (index >= scriptScenes.size()) {
        dispatcher()->quitAll(0);
        return;
    }
    const Scene& scene = *scriptScenes[index];
    switch (current % sceneSteps) {
    case enterStep:
        scene.enter();
        break;
    case readyStep:
        reportReady(scene);
        break;
    case leaveStep:
        scene.leave();
        break;
    default:
        break;
    }
}

// The scenes --script runs: the one named after it, or all of them.
bool chooseScenes(int argc, wchar_t** argv)
{
    if (argc < 2 || wcscmp(argv[1], L"--script") != 0)
        return true;
    for (const Scene& scene : scenes) {
        if (argc < 3 || wcscmp(argv[2], scene.name) == 0)
            scriptScenes.push_back(&scene);
    }
    return !scriptScenes.empty();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (!chooseScenes(argc, argv)) {
        wprintf(L"Unknown script \"%ls\": use combo, balloon, message, longpath or longmessage.\n", argv[2]);
        return 2;
    }
    return runWidgetDemo(demo, argc, argv, scriptStep);
}
