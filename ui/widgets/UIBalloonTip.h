#pragma once

// UIBalloonTip: a small pop-up with an optional title, a text of one or
// more lines, an optional icon and a close button, drawn as a rounded body
// with an arrow pointing at a screen point. At most one exists: showing a
// new one deletes the old. It places itself on the side of the anchor where
// it fits on the monitor, clips its window to the body-plus-arrow shape,
// shows after a short delay and goes away on any click, Escape, focus loss,
// an optional time-out, or when its parent is hidden.

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Font.h"
#include "graphics/Pen.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UITextStyle.h"

constexpr int balloonShowTimerId = 100005;
constexpr int balloonTimeoutTimerId = 100006;
constexpr int balloonWatchTimerId = 100007;

// Where the arrow sits on the body, and so where the balloon lies.
enum BalloonSide : int {
    BalloonLeftOfAnchor = 1,  // arrow on the right edge
    BalloonRightOfAnchor = 2, // arrow on the left edge
    BalloonAboveAnchor = 3,   // arrow on the bottom edge
    BalloonBelowAnchor = 4,   // arrow on the top edge
};

// A balloon's outline: the body and the arrow in window coordinates.
struct BalloonLayout {
    Rect body;
    Rect arrow;
    bool operator==(const BalloonLayout&) const = default;
};

// The result of placing a balloon: the side chosen, the outline and the
// window's screen position.
struct BalloonPlacement {
    int side = BalloonAboveAnchor;
    BalloonLayout layout;
    Point position;
    bool operator==(const BalloonPlacement&) const = default;
};

// The arrow's measures, from the style.
struct BalloonArrow {
    int length = 0;
    int thickness = 0;
    int borderSpacing = 0;
};

class UIBalloonTip : public UIWidget {
public:
    explicit UIBalloonTip(UIWidget* parent = nullptr);
    ~UIBalloonTip() override;

    // ---- The one balloon of the process ----

    // Replaces any balloon by a new one aimed at the screen point. iconKind
    // 0 shows image; 1 to 12 a theme message icon (information, question,
    // warning, critical in the big, medium and small size). A delay or
    // time-out of 0 keeps the default (the short interval, none).
    static void showBalloon(UIWidget* parent, Point anchor, const String& title, const String& text, int iconKind,
                            const Bitmap& image, int side, int showDelay, int timeout, int sound,
                            int backgroundKind);
    // Closes the balloon when it is pending or shown for this parent.
    static void hideFor(const UIWidget* parent);
    // The pending or shown balloon's text; empty otherwise.
    static String currentText();
    // Sets the balloon's text when there is a balloon and the text is not
    // empty; with resize the balloon takes the size of its new contents
    // and is placed again so that its arrow still points at the anchor
    // (the show delay, when pending, is not restarted).
    static void updateText(const String& text, bool resize);
    static bool isCurrent(const UIBalloonTip* balloon);
    static void hideCurrent();
    // A balloon exists and is pending or visible.
    static bool isShowing();
    static UIWidget* currentParent();

    // ---- Contents ----

    // CR and LF become one line feed, breaks right after a break are
    // dropped, other white space becomes a space and anything not
    // printable a space too; a surrogate pair (a letter beyond the first
    // plane) stays whole.
    void setText(const String& text);
    const String& text() const { return m_text; }
    static String normalisedText(const String& text);
    void setTitle(const String& title) { m_title = title; }
    const String& title() const { return m_title; }
    void setIconKind(int kind) { m_iconKind = kind; }
    int iconKind() const { return m_iconKind; }
    void setImage(const Bitmap& image) { m_image = image; }
    const Bitmap& image() const { return m_image; }
    // 0 icon left of the text, 1 above it.
    void setIconPosition(int position) { m_iconPosition = position; }
    int iconPosition() const { return m_iconPosition; }
    void setIconAlignment(int alignment) { m_iconAlignment = alignment; }
    int iconAlignment() const { return m_iconAlignment; }
    void setShowDelay(int ms) { m_showDelay = ms; }
    int showDelay() const { return m_showDelay; }
    void setTimeout(int ms) { m_timeout = ms; }
    int timeout() const { return m_timeout; }
    void setDelays(int showDelay, int timeout);
    // Kind 0 restores the style's background skin.
    void setBackgroundKind(int kind);
    int backgroundKind() const { return m_backgroundKind; }
    // The side chosen at the last showing (a BalloonSide).
    int side() const { return m_side; }
    // The screen point the arrow points at.
    const Point& anchor() const { return m_anchor; }

    // ---- Showing ----

    // Places the balloon at the anchor, shapes its window and starts the
    // show delay; nothing while disabled.
    void showAt(Point anchor);

    // ---- Geometry, pure ----

    // Body and arrow of a balloon of the window size at an origin.
    static BalloonLayout layoutAt(Size window, int side, Point origin, const BalloonArrow& arrow);
    // The side, outline and position for a balloon whose contents (the
    // size hint less the arrow) take content, aimed at the anchor inside
    // the desktop area.
    static BalloonPlacement place(Size content, int side, Point anchor, const Rect& desktop, const BalloonArrow& arrow);

    // ---- Widget overrides ----

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    void setVisible(bool visible) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mouseClickEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    struct Style {
        UITextStyle text;
        // Read from the same keys led by "title".
        UITextStyle title;
        Brush background;
        int horizontalSpacing = 0;
        int verticalSpacing = 0;
        UIMargins padding;
        UIMargins desktopPadding;
        int cornerDiametr = 0;
        int arrowLength = 0;
        int arrowThickness = 0;
        int arrowBorderSpacing = 0;
    };

    BalloonArrow arrowMeasures() const;
    // The size hint without the arrow.
    Size contentSize() const;
    const Bitmap& iconImage() const;
    void placeAt(Point anchor);
    void shapeWindow();
    void onShowTimer();
    bool hidesByWatch();
    void copyToClipboard() const;
    void setParentWindowFlag(std::uint32_t flag, bool on);
    Rect extendedArrowRect(const UISkin& skin) const;
    const UISkin& arrowSkin() const;
    void paintContents(Graphics& g);

    Style m_style;
    Font m_font;
    Font m_titleFont;
    UISkin m_loadedBackgroundSkin;
    UISkin m_backgroundSkin;
    UISkin m_borderSkin;
    UISkin m_closeSkin;
    UISkin m_arrowLeftSkin;
    UISkin m_arrowTopSkin;
    UISkin m_arrowRightSkin;
    UISkin m_arrowBottomSkin;
    String m_title;
    String m_text;
    int m_iconKind = 0;
    Bitmap m_image;
    int m_iconPosition = 0;
    int m_iconAlignment = 5;
    Point m_anchor;
    int m_showDelay;
    int m_timeout = 0;
    int m_sound = 0;
    int m_backgroundKind = 0;
    Rect m_closeRect;
    bool m_closeHovered = false;
    int m_side = BalloonAboveAnchor;
    Rect m_bodyRect;
    Rect m_arrowRect;
    Point m_position;
};
