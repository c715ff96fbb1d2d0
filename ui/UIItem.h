#pragma once

// The base of the item records that lists, tables, headers, combo boxes and
// tab bars keep: an id, a text and an int for the application. Records are
// plain data: the owning widget creates, lays out, paints and deletes them.

#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"

#include <cstdint>

class UIItem {
public:
    UIItem() = default;
    virtual ~UIItem() = default;
    UIItem(const UIItem&) = delete;
    UIItem& operator=(const UIItem&) = delete;

    void setId(std::uint32_t low, std::uint32_t high)
    {
        m_id = static_cast<std::int64_t>(static_cast<std::uint64_t>(high) << 32 | low);
    }
    std::int64_t id() const { return m_id; }
    void setText(const String& text) { m_text = text; }
    const String& text() const { return m_text; }
    void setData(int data) { m_data = data; }
    int data() const { return m_data; }

private:
    std::int64_t m_id = 0;
    String m_text;
    int m_data = 0;
};

// Colours, pens and brushes of records start as this: white with alpha 0,
// which painters read as not set, so the widget's style colour applies.
constexpr std::uint32_t unsetItemColour = 0x00FFFFFFu;

// Alignment flags: left (1) and vertically centred (16); centred both ways.
constexpr int itemAlignLeftCentred = 17;
constexpr int itemAlignCentred = 48;

// A record that its widget lays out in a rectangle, shows or hides and
// selects: list items and table rows.
class UISelectableItem : public UIItem {
public:
    bool isVisible() const { return m_visible; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool on) { m_selected = on; }
    void deselect() { m_selected = false; }
    // Written by the widget's layout.
    Rect* rect() { return &m_rect; }

protected:
    // False when unchanged; hiding resets the rectangle and deselects.
    bool storeVisible(bool visible);

    Rect m_rect;

private:
    bool m_visible = true;
    bool m_selected = false;
};

// The look a list item and a table cell share: tool tip, image, font,
// text pen, background, alignment and elide mode. Colours start unset.
class UIItemLook {
public:
    explicit UIItemLook(int elideMode);

    void setToolTip(const String& text) { m_toolTip = text; }
    const String& toolTip() const { return m_toolTip; }
    void setImage(const Bitmap& image) { m_image = image; }
    const Bitmap& image() const { return m_image; }
    void setFont(const FontDesc& font) { m_font = font; }
    const FontDesc& font() const { return m_font; }
    void setTextPen(const Pen& pen) { m_textPen = pen; }
    const Pen& textPen() const { return m_textPen; }
    void setBackground(const Brush& brush) { m_background = brush; }
    const Brush& background() const { return m_background; }
    void setAlignment(int alignment) { m_alignment = alignment; }
    int alignment() const { return m_alignment; }
    void setElideMode(int mode) { m_elideMode = mode; }
    int elideMode() const { return m_elideMode; }

protected:
    FontDesc m_font;

private:
    String m_toolTip;
    Bitmap m_image;
    Pen m_textPen = Pen(Colour(unsetItemColour));
    Brush m_background = Brush(Colour(unsetItemColour));
    int m_alignment = itemAlignLeftCentred;
    int m_elideMode;
};
