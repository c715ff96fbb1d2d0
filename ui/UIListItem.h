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
class UIListItem : public UISelectableItem, public UIItemLook {
public:
    UIListItem();
    UIListItem(const String& label, const String& detailText, const Bitmap& image);

    void setOwner(UIListItemOwner* owner) { m_owner = owner; }
    UIListItemOwner* owner() const { return m_owner; }

    void setLabel(const String& label) { m_label = label; }
    const String& label() const { return m_label; }
    void setDetailText(const String& text) { m_detailText = text; }
    const String& detailText() const { return m_detailText; }
    void setDetailPen(const Pen& pen) { m_detailPen = pen; }
    const Pen& detailPen() const { return m_detailPen; }
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
    Rect m_iconRect;
    bool m_separator = false;
    Pen m_detailPen = Pen(Colour(unsetItemColour));
    String m_label;
    String m_detailText;
    bool m_enabled = true;
    bool m_labelElided = false;
};
