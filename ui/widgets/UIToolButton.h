#pragma once

// UIToolButton: the button of a tool bar. An icon with an optional caption
// below it, a hover and pressed look from its skin, and an optional
// drop-down menu marked by an arrow. A click emits clicked and does not
// toggle the button: its owner checks it.

#include "graphics/StateImages.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/UIAbstractButton.h"

// What a tool button shows; the tool bar sets it for all its buttons.
// Modes 1 and 2 draw the caption like 3 but leave it out of the size hint.
enum UIToolButtonDisplayMode : int {
    ToolButtonIconOnly = 0,
    ToolButtonIconAndCaption = 3,
};

class UIMenu;

class UIToolButton : public UIAbstractButton {
public:
    UIToolButton(UIWidget* parent, const StateImages& icon = StateImages(), const String& text = String());
    ~UIToolButton() override;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

    // The setters that change the size hint relayout; all repaint.
    void setDisplayMode(int mode);
    int displayMode() const { return m_displayMode; }
    void setPadding(const UIMargins& padding);
    const UIMargins& padding() const { return m_padding; }
    void setIcon(const StateImages& icon);
    const StateImages& icon() const { return m_icon; }
    // A flat button draws neither background nor arrow.
    void setFlat(bool flat);
    bool isFlat() const { return m_flat; }
    // The caption's font.
    const Font& font() const { return m_text.font; }

    // The menu (not owned; it must outlive the button or be unset first)
    // opens on a press below the button, which is checkable and stays
    // checked while the menu is open. Null unsets it.
    void setMenu(UIMenu* menu);
    UIMenu* menu() const { return m_menu; }
    // False for a moment after the menu hid.
    bool isMenuReady() const { return m_menuReady; }
    // Unchecks the button and ignores presses for a moment, so that the
    // press that closed the menu does not open it again.
    virtual void menuHidden();

    // The skin state of the background and the arrow, and the icon's
    // state, for the button as it is now.
    int backgroundState() const;
    int iconState() const;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    // The end of the menu's re-open guard.
    void customEvent(UICustomEvent* event) override;

private:
    bool isMenuVisible() const;
    bool isPressedUnderMouse() const { return isPressed() && isUnderMouse(); }
    // The room the arrow takes from the icon's box and adds to the width.
    int arrowRoom() const;
    void paintCaption(Graphics& g) const;

    UIButtonTextStyle m_text;
    UIMargins m_padding;
    UISkin m_background;
    UISkin m_arrow;
    int m_displayMode = ToolButtonIconOnly;
    UIMenu* m_menu = nullptr;
    bool m_menuReady = true;
    StateImages m_icon;
    bool m_flat = false;
};
