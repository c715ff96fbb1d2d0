#include "ui/UIListItem.h"

UIListItem::UIListItem() : UIItemLook(3) {}

UIListItem::UIListItem(const String& label, const String& detailText, const Bitmap& image)
    : UIItemLook(3), m_label(label), m_detailText(detailText)
{
    setImage(image);
}

void UIListItem::setVisible(bool visible)
{
    if (!storeVisible(visible))
        return;
    // An item not yet added to a list has nobody to tell.
    if (m_owner)
        m_owner->listItemVisibilityChanged(this);
}
