#pragma once

#include "foundation/Geometry.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/UIItem.h"

class UIListItem;

// What a list item tells the list that holds it.
class UIListItemOwner {
public:
    virtual ~UIListItemOwner() = default;
    // An item was shown or hidden: the list reports its visible item count.
    virtual void listItemVisibilityChanged(UIListItem* item) = 0;
};

// An item of a list: a label, a detail text, an icon and a tool tip, with
// the flags and rectangles the list's layout and paint keep.
class UIListItem : public UISelectableItem {
public:
    UIListItem();
    UIListItem(const String& label, const String& detailText, const Bitmap& image);

    void setOwner(UIListItemOwner* owner) { m_owner = owner; }
    UIListItemOwner* owner() const { return m_owner; }

    void setLabel(const String& label) { m_label = label; }
    const String& label() const { return m_label; }
    void setDetailText(const String& text) { m_detailText = text; }
    const String& detailText() const { return m_detailText; }
    void setToolTip(const String& text) { m_toolTip = text; }
    const String& toolTip() const { return m_toolTip; }
    void setImage(const Bitmap& image) { m_image = image; }
    const Bitmap& image() const { return m_image; }
    void setFont(const FontDesc& font) { m_font = font; }
    const FontDesc& font() const { return m_font; }
    void setTextPen(const Pen& pen) { m_textPen = pen; }
    const Pen& textPen() const { return m_textPen; }
    void setDetailPen(const Pen& pen) { m_detailPen = pen; }
    const Pen& detailPen() const { return m_detailPen; }
    void setBackground(const Brush& brush) { m_background = brush; }
    const Brush& background() const { return m_background; }
    void setAlignment(int alignment) { m_alignment = alignment; }
    int alignment() const { return m_alignment; }
    void setElideMode(int mode) { m_elideMode = mode; }
    int elideMode() const { return m_elideMode; }
    // A separator never becomes the list's current item.
    void setSeparator(bool on) { m_separator = on; }
    bool isSeparator() const { return m_separator; }

    void setEnabled(bool on) { m_enabled = on; }
    bool isEnabled() const { return m_enabled; }
    // Hiding resets the rectangle and deselects; a change reaches the owner.
    void setVisible(bool visible);
    void select() { setSelected(true); }
    void setLabelElided(bool on) { m_labelElided = on; }
    bool isLabelElided() const { return m_labelElided; }

    // Written by the list's layout.
    Rect* iconRect() { return &m_iconRect; }

private:
    UIListItemOwner* m_owner = nullptr;
    FontDesc m_font;
    Pen m_textPen = Pen(Colour(unsetItemColour));
    Brush m_background = Brush(Colour(unsetItemColour));
    Bitmap m_image;
    Rect m_iconRect;
    bool m_separator = false;
    Pen m_detailPen = Pen(Colour(unsetItemColour));
    int m_elideMode = 3;
    int m_alignment = itemAlignLeftCentred;
    String m_label;
    String m_detailText;
    String m_toolTip;
    bool m_enabled = true;
    bool m_labelElided = false;
};
