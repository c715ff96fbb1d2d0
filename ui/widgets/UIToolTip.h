#pragma once

// UIToolTip: the small pop-up that shows a widget's tool-tip text near the
// pointer. At most one exists at a time, the current tool tip; the widget
// layer asks for it with showText when the pointer rests on a widget that
// has a tip. It waits for its show delay, shows below the pointer inside
// the monitor's work area (above it near the bottom), follows the pointer
// while it stays over the tool rectangle, and hides after its hide delay,
// when the pointer leaves the rectangle, when a mouse button goes down,
// when the owner's window is no longer active, or when the owner is hidden.
// Its parent is the owner widget. UI thread only.

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/Screen.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UITextStyle.h"

#include <cstdint>

// What the tip reads of the platform for its timing and tracking: the
// clock, the pointer and the mouse buttons. Tests install their own.
class UIToolTipSource {
public:
    UIToolTipSource() = default;
    virtual ~UIToolTipSource() = default;
    UIToolTipSource(const UIToolTipSource&) = delete;
    UIToolTipSource& operator=(const UIToolTipSource&) = delete;

    // preciseMilliseconds.
    virtual std::int64_t milliseconds() const;
    // The pointer's screen position.
    virtual Point cursorPosition() const;
    virtual bool isMouseButtonHeld() const;
};

// Bits of UIToolTip::options.
enum UIToolTipOption : std::uint32_t {
    ToolTipHidesAfterDelay = 1,
    ToolTipHidesOutsideTool = 2,
};

class UIToolTip : public UIWidget {
public:
    // Use showText; a tip made directly is not the current one.
    explicit UIToolTip(UIWidget* owner);
    ~UIToolTip() override;

    // ---- The current tool tip ----

    // The request of the widget layer. Ignored while a mouse button is held,
    // for a tool rectangle without area and while a tip is pending or
    // visible. Otherwise the current tip goes, and a text that is not empty
    // gets a new current tip that shows after the delay. A delay below 1
    // keeps the default; key 0 is none; a maximum length below 1 is none.
    static void showText(UIWidget* owner, const String& text, Point position, const Rect& toolRect,
                         int showDelay = 0, int hideDelay = 0, int key = 0, int maxLength = -1);
    // Hides and deletes the current tip.
    static void hideCurrent();
    // Hides and deletes the current tip when it is pending or visible and
    // belongs to the widget.
    static void hideFor(const UIWidget* widget);
    // Hides and deletes the current tip unless it belongs to the widget.
    static void hideUnlessFor(const UIWidget* widget);
    // A current tip exists and is pending or visible.
    static bool isShowing();
    // isShowing, for the owner, with the text a request for this text would
    // show (compared after cleaning, so a tip of several lines does not
    // count as another text at every pointer move).
    static bool isShowingFor(const UIWidget* owner, const String& text);
    static UIToolTip* current();
    // The current tip's owner; null without one.
    static UIWidget* currentOwner();
    // The current tip's text while it is pending or visible, else empty.
    static String currentText();
    // The current tip gets the text and, when asked, its preferred size.
    static void updateText(const String& text, bool resize);

    // Null puts the platform's source back. Not owned.
    static void setSource(UIToolTipSource* source);

    // The text as the tip shows it: cut to maxLength (when at least 1),
    // every run of carriage returns and line feeds one line feed, every
    // other character that is not printable or is a space a space, and
    // " ... " after a text that was cut.
    static String cleanedText(const String& text, int maxLength);
    // Where a tip of the size goes for the pointer: below it by the
    // vertical offset, kept inside the work area of the monitor under it
    // less the padding, above the pointer when it would leave the bottom.
    static Rect placement(Point cursor, Size size, const Margins& desktopPadding, int verticalOffset);

    // ---- This tip ----

    // Cleans the text by the maximum length and repaints.
    void setText(const String& text);
    const String& text() const { return m_text; }
    // Alignment flags of the text block; left and top at first.
    void setAlignment(int flags) { m_alignment = flags; }
    int alignment() const { return m_alignment; }
    // Applies to the next setText; -1 (none) at first.
    void setMaximumLength(int length) { m_maximumLength = length; }
    int maximumLength() const { return m_maximumLength; }
    void setDelays(int showMs, int hideMs);
    void setShowDelay(int ms) { m_showDelay = ms; }
    int showDelay() const { return m_showDelay; }
    void setHideDelay(int ms) { m_hideDelay = ms; }
    int hideDelay() const { return m_hideDelay; }
    // UIToolTipOption bits; both at first.
    void setOptions(std::uint32_t options) { m_options = options; }
    std::uint32_t options() const { return m_options; }
    // Moves the tip there and starts the show timer.
    void setPosition(Point position);
    Point position() const { return m_position; }
    // The tool's screen rectangle; empty while hidden.
    const Rect& toolRect() const { return m_toolRect; }
    // The show timer runs.
    bool isPending() const;

    Size sizeHint() const override;
    // The text style's keys and "background", "borderColor", "padding",
    // "desktopPadding", "desktopVerticalOffset".
    void setStyleProperty(const String& name, const String& value) override;
    // "UIToolTip_Background".
    void setStyleImage(const String& skinName, UISkin* skin) override;
    // Hiding stops the timers and, for the current tip while it is pending
    // or visible, remembers the time and place of the hiding.
    void setVisible(bool visible) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    struct Style {
        UITextStyle text;
        Brush background;
        Colour borderColor = Colour(0x00FFFFFFu);
        Margins padding;
        Margins desktopPadding;
        int desktopVerticalOffset = 0;
    };

    bool isPendingOrVisible() const;
    int chosenShowDelay(int showDelay, int key) const;
    void place(Point position, const Rect& toolRect);
    void showNow();
    void track();
    // False, after hiding the tip, when it must go.
    bool staysFor(Point cursor);
    Rect rectFor(Point cursor, Size size) const;
    Size textBlockSize() const;

    Style m_style;
    UISkin m_background;
    String m_text;
    int m_alignment = AlignLeft | AlignTop;
    int m_maximumLength = -1;
    Rect m_toolRect;
    Point m_position;
    int m_showDelay;
    int m_hideDelay;
    std::uint32_t m_options = ToolTipHidesAfterDelay | ToolTipHidesOutsideTool;
};
