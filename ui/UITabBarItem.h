#pragma once

// A tab of a tab bar.

#include "foundation/Geometry.h"
#include "graphics/StateImages.h"
#include "ui/UIItem.h"

class UIWidget;

class UITabBarItem : public UIItem {
public:
    UITabBarItem() = default;
    explicit UITabBarItem(const String& text) : m_text(text) {}
    UITabBarItem(const String& text, const StateImages& icon) : m_text(text), m_icon(icon) {}

    // The widget repainted when the text or the icon changes; may be null.
    void setOwner(UIWidget* owner) { m_owner = owner; }
    UIWidget* owner() const { return m_owner; }

    void setText(const String& text);
    const String& text() const { return m_text; }
    void setToolTip(const String& text) { m_toolTip = text; }
    const String& toolTip() const { return m_toolTip; }
    void setIcon(const StateImages& icon);
    const StateImages& icon() const { return m_icon; }
    Rect* rect() { return &m_rect; }
    void setEnabled(bool on) { m_enabled = on; }
    bool isEnabled() const { return m_enabled; }
    void setVisible(bool on) { m_visible = on; }
    bool isVisible() const { return m_visible; }
    void setCheckable(bool on) { m_checkable = on; }
    bool isCheckable() const { return m_checkable; }
    // Ignored unless checkable.
    void setChecked(bool on);
    bool isChecked() const { return m_checked; }

private:
    void repaintOwner();

    bool m_checkable = true;
    bool m_checked = false;
    UIWidget* m_owner = nullptr;
    String m_text;
    String m_toolTip;
    StateImages m_icon;
    Rect m_rect;
    bool m_enabled = true;
    bool m_visible = true;
};
