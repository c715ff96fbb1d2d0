#pragma once

// UIButton: the push button, drawn from a skin in one of four colour
// schemes, with an optional icon beside or above its text, a pressed
// offset, a flat mode without background, the default-button mark a dialog
// reads, and an optional drop-down menu that a press opens below it. While
// it has the keyboard focus it wears the style's focus mark.

#include "graphics/StateImages.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/UIAbstractButton.h"

// Colour schemes of setBackgroundKind; other values are kept and change
// nothing.
enum UIButtonBackgroundKind : int {
    ButtonBackgroundPlain = 0,
    ButtonBackgroundGreen = 1,
    ButtonBackgroundBlue = 2,
    ButtonBackgroundYellow = 3,
};

// Where the icon goes: 0 and 1 left of the text, 2 and 3 above it.
enum UIButtonIconPosition : int {
    ButtonIconLeft = 1,
    ButtonIconTop = 2,
};

class UIMenu;

class UIButton : public UIAbstractButton {
public:
    explicit UIButton(UIWidget* parent, const String& text = String());
    ~UIButton() override;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    // Takes only "UIButton_Background": the style hands every skin of the
    // family to each button, and the colour schemes fetch theirs by name.
    void setStyleImage(const String& skinName, UISkin* skin) override;

    void setDefault(bool isDefault);
    bool isDefault() const { return m_default; }
    // Flat buttons draw no background and lose the padding and the minimum
    // size.
    void setFlat(bool flat);
    bool isFlat() const { return m_flat; }
    void setIcon(const StateImages& icon);
    const StateImages& icon() const { return m_icon; }
    void setIconPosition(int position);
    int iconPosition() const { return m_iconPosition; }
    void setForegroundColour(Colour colour);
    Colour foregroundColour() const { return m_text.foreground.colour(); }
    void setShadowColour(Colour colour);
    Colour shadowColour() const { return m_text.shadowForeground.colour(); }
    // Kinds 0-3 take the scheme's skin from the current style and its text
    // and shadow colours; nothing when the kind does not change.
    void setBackgroundKind(int kind);
    int backgroundKind() const { return m_backgroundKind; }
    const UISkin& backgroundSkin() const { return m_background; }
    const UIMargins& padding() const { return m_padding; }
    int iconAndTextSpacing() const { return m_iconAndTextSpacing; }

    // The menu (not owned; it must outlive the button or be unset first)
    // opens on a press; the button is checkable and stays checked while its
    // menu is open. Null unsets it.
    void setMenu(UIMenu* menu);
    UIMenu* menu() const { return m_menu; }
    // Unchecks the button and ignores presses for a moment, so that the
    // press that closed the menu does not open it again.
    virtual void menuHidden();

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    // A checkable button without a menu toggles before clicked is emitted.
    void mouseClickEvent(UIMouseEvent* event) override;
    // The end of the menu's re-open guard.
    void customEvent(UICustomEvent* event) override;
    // Show or take away the focus mark.
    void focusInEvent(UIFocusEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    bool isIconAbove() const { return m_iconPosition >= ButtonIconTop; }
    Size contentSize() const;
    int backgroundState() const;
    int iconState() const;
    void paintContent(Graphics& g, Rect content);
    void paintFocusMark(Graphics& g) const;

    UIButtonTextStyle m_text;
    Point m_downOffset;
    UIMargins m_padding;
    Size m_minimumSize;
    int m_iconAndTextSpacing = 0;
    UISkin m_background;
    StateImages m_icon;
    bool m_default = false;
    bool m_flat = false;
    int m_iconPosition = ButtonIconLeft;
    int m_backgroundKind = ButtonBackgroundPlain;
    UIMenu* m_menu = nullptr;
    bool m_menuReady = true;
};
