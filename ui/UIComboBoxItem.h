#pragma once

// An entry of a combo box.

#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/StateImages.h"
#include "ui/UIItem.h"

class UIComboBoxItem : public UIItem {
public:
    explicit UIComboBoxItem(const String& text) : m_text(text), m_font(defaultFontDesc()) {}

    void setText(const String& text) { m_text = text; }
    const String& text() const { return m_text; }
    void setIcon(const StateImages& icon) { m_icon = icon; }
    const StateImages& icon() const { return m_icon; }
    // Separators never become current by being added.
    void setSeparator(bool on) { m_separator = on; }
    bool isSeparator() const { return m_separator; }
    // Shown as the pop-up list item's tool tip.
    void setSecondText(const String& text) { m_secondText = text; }
    const String& secondText() const { return m_secondText; }
    void setFont(const FontDesc& font) { m_font = font; }
    const FontDesc& font() const { return m_font; }
    void setBackground(const Brush& brush) { m_background = brush; }
    const Brush& background() const { return m_background; }

private:
    String m_text;
    StateImages m_icon;
    bool m_separator = false;
    String m_secondText;
    FontDesc m_font;
    Brush m_background;
};
