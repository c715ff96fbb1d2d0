#pragma once

// UIAbstractButton: the base of every clickable widget (push button, tool
// button, check box). It holds the text, its alignment and the checkable and
// checked flags, and turns a mouse click, Enter or Space into its own
// clicked signal.

#include "foundation/Geometry.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Font.h"
#include "graphics/Pen.h"
#include "ui/UIWidget.h"

class Graphics;

// Skin states of clickable widgets; widgets with a checked look add
// SkinChecked.
enum UIClickableSkinState : int {
    SkinNormal = 0,
    // Under the pointer or pressed, not both.
    SkinHot = 1,
    SkinPressedHot = 2,
    SkinDisabled = 3,
    SkinChecked = 4,
};

// SkinNormal to SkinDisabled from the widget's enabled, pressed and
// under-mouse flags: the look of anything that is clicked.
int clickableSkinState(const UIWidget& widget);

// The text look that every clickable widget reads from its style: the font,
// the text and shadow pens, the shadow's displacement and the disabled pens.
struct UIButtonTextStyle {
    Font font{FontDesc()};
    Pen foreground;
    Point shadowOffset;
    Pen shadowForeground;
    Pen disabledForeground;
    Pen disabledShadowForeground;

    // Takes one of the properties above; false for any other name.
    bool read(const String& name, const String& value);
};

class UIAbstractButton : public UIWidget {
public:
    explicit UIAbstractButton(UIWidget* parent);
    ~UIAbstractButton() override;

    // The button's own signal, without argument; it hides the widget's
    // event signal of the same name, which carries the mouse event and fires
    // only for mouse clicks.
    Signal clicked;

    // Relayouts and repaints when the text changes.
    void setText(const String& text);
    const String& text() const { return m_text; }
    // Alignment flags; repaints when they change.
    void setTextAlignment(int flags);
    int textAlignment() const { return m_textAlignment; }
    void setCheckable(bool checkable);
    bool isCheckable() const { return m_checkable; }
    // Only a checkable button takes a new state; it repaints and emits
    // nothing.
    virtual void setChecked(bool checked);
    bool isChecked() const { return m_checked; }

    // A text drawn twice, shadow first, never shortened; the other widgets
    // with shadowed titles draw theirs with it too.
    static void drawShadowedText(Graphics& g, const String& text, const Rect& box, int alignment, const Pen& pen,
                                 const Pen& shadowPen, Point shadowOffset);

protected:
    // Enter and Space emit clicked; other keys nothing.
    void keyPressEvent(UIKeyEvent* event) override;
    void mouseClickEvent(UIMouseEvent* event) override;
    // The look follows the pointer and the button: these repaint.
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;

    // SkinNormal to SkinDisabled from the enabled, pressed and under-mouse
    // flags.
    int clickableState() const;

    static bool isActivationKey(int key);

private:
    String m_text;
    int m_textAlignment = AlignLeft | AlignVCenter;
    bool m_checkable = false;
    bool m_checked = false;
};
