#include "ui/UIListItem.h"

UIListItem::UIListItem() : m_font(defaultFontDesc()) {}

UIListItem::UIListItem(const String& label, const String& detailText, const Bitmap& image)
    : m_font(defaultFontDesc()), m_image(image), m_label(label), m_detailText(detailText)
{
}

void UIListItem::setVisible(bool visible)
{
    if (!storeVisible(visible))
        return;
    // An item not yet added to a list has nobody to tell.
    if (m_owner)
        m_owner->listItemVisibilityChanged(this);
}
