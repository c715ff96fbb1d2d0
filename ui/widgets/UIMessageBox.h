#pragma once

// UIMessageBox: the toolkit's modal message dialog. An icon for the kind of
// message, a bold main text, an optional second text, an optional "Do not
// show again." box and a row of standard buttons chosen by a bit mask.
// exec and the static functions block until the user presses a button and
// return its bit, with MessageBoxDoNotShowAgain added when the box was
// ticked; closing the window returns 0. The kind's system sound plays 50 ms
// after the box shows, the box keeps inside the work area, no wider than
// 80% of it (a longer text wraps, a path at its "\" or "/"; a text still
// taller than the work area is cut), and Ctrl+C copies its title and
// texts. It shows with the focus on the default button (or the first); Tab
// and Shift+Tab move it through the buttons (and the "Do not show again."
// box), Enter and Space press the focused one.

#include "foundation/List.h"
#include "foundation/String.h"
#include "ui/UIDialog.h"

#include <memory>
#include <vector>

class UIButton;
class UICheck;
class UILabel;

// The kinds of message; each but MessageNone has its icon and sound.
enum UIMessageBoxKind : int {
    MessageNone = 0,
    MessageInformation = 1,
    MessageQuestion = 2,
    MessageWarning = 3,
    MessageCritical = 4,
};

// The standard buttons: the bit set in the button mask, and returned when
// the button is pressed. They stand left to right in the order of
// UIMessageBox's table, not in the order of their bits.
enum UIMessageBoxButton : int {
    MessageBoxRestoreDefaults = 0x1,
    MessageBoxRestartNow = 0x2,
    MessageBoxOk = 0x4,
    MessageBoxOpen = 0x8,
    MessageBoxSave = 0x10,
    MessageBoxCancel = 0x20,
    MessageBoxClose = 0x40,
    MessageBoxApply = 0x80,
    MessageBoxReset = 0x100,
    MessageBoxHelp = 0x200,
    MessageBoxSaveAll = 0x400,
    MessageBoxYes = 0x800,
    MessageBoxYesToAll = 0x1000,
    MessageBoxNo = 0x2000,
    MessageBoxNoToAll = 0x4000,
    MessageBoxAbort = 0x8000,
    MessageBoxRetry = 0x10000,
    MessageBoxIgnore = 0x20000,
    MessageBoxProceed = 0x40000,
};

// Added to the pressed button's bit when "Do not show again." was ticked.
constexpr int MessageBoxDoNotShowAgain = 0x100000;

// Option flags of UIMessageBox::setFlags.
enum UIMessageBoxFlag : int {
    // A lone button becomes the default button, and the pointer moves onto
    // it when the system's snap option is on.
    MessageBoxDefaultLoneButton = 1,
    MessageBoxShowDoNotShowAgain = 4,
    // Retry is the default button: Enter in a box that offers to try again
    // never gives up by chance.
    MessageBoxDefaultRetry = 8,
};

class UIMessageBox : public UIDialog {
public:
    explicit UIMessageBox(UIWidget* parent = nullptr);
    // A title that is not empty becomes the window title before the
    // application name.
    UIMessageBox(int kind, const String& title, const String& text, int buttons, UIWidget* parent = nullptr);
    ~UIMessageBox() override;

    // Each builds a box of its kind, runs it like exec and returns its result.
    static int information(UIWidget* parent, const String& title, const String& text,
                           const String& informativeText, int buttons, int flags);
    static int question(UIWidget* parent, const String& title, const String& text, const String& informativeText,
                        int buttons, int flags);
    static int warning(UIWidget* parent, const String& title, const String& text, const String& informativeText,
                       int buttons, int flags);
    static int critical(UIWidget* parent, const String& title, const String& text, const String& informativeText,
                        int buttons, int flags);

    // An empty title is ignored: the window keeps the application name
    // alone. title() is the whole window title.
    void setTitle(const String& title);
    String title() const;
    void setText(const String& text) { m_text = text; }
    const String& text() const { return m_text; }
    void setInformativeText(const String& text) { m_informativeText = text; }
    const String& informativeText() const { return m_informativeText; }
    // A UIMessageBoxKind; other kinds show an empty picture and play nothing.
    void setKind(int kind) { m_kind = kind; }
    int kind() const { return m_kind; }
    // UIMessageBoxButton bits.
    void setButtons(int buttons) { m_buttons = buttons; }
    int buttons() const { return m_buttons; }
    // UIMessageBoxFlag bits.
    void setFlags(int flags) { m_flags = flags; }
    int flags() const { return m_flags; }

    // Builds the content on the first call, shows the box modally and
    // returns the result once it closes. The setters above take effect
    // only before the first call.
    int exec();

    // Adds MessageBoxDoNotShowAgain when that box is ticked.
    void done(int result) override;

    // Null until exec built the box, and without MessageBoxShowDoNotShowAgain.
    UICheck* doNotShowAgain() const { return m_doNotShowAgain; }
    // The buttons exec made, left to right.
    const List<UIButton*>& buttonList() const { return m_buttonList; }

protected:
    // Ctrl+C copies the title and the texts; Enter or Space while no
    // button has the focus press the default (or first) one; Escape
    // does nothing.
    void keyPressEvent(UIKeyEvent* event) override;
    // The sound's timer; the pointer snap only with MessageBoxDefaultLoneButton.
    void customEvent(UICustomEvent* event) override;
    // Starts the sound's timer, keeps the box inside the work area and
    // focuses the default button.
    void showEvent(UIShowEvent* event) override;

private:
    class ButtonHandler;

    static int run(int kind, UIWidget* parent, const String& title, const String& text,
                   const String& informativeText, int buttons, int flags);
    void buildContent();
    void addTopRow();
    void addBottomRow();
    void addButton(UIWidget* row, int bit, const wchar_t* text);
    void wrapTextsToFit();
    void cutTextsToFit();
    Rect workAreaShownOn() const;
    void keepInsideWorkArea();
    void focusDefaultButton();
    // The default button, else the first; null without buttons.
    UIButton* defaultButton() const;
    String copiedText() const;

    int m_kind = MessageNone;
    String m_text;
    String m_informativeText;
    int m_flags = 0;
    int m_buttons = 0;
    UICheck* m_doNotShowAgain = nullptr;
    List<UIButton*> m_buttonList;
    std::vector<UILabel*> m_labels;
    std::vector<std::unique_ptr<ButtonHandler>> m_handlers;
    bool m_built = false;
};
