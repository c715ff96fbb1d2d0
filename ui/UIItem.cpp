#include "ui/UIItem.h"

bool UISelectableItem::storeVisible(bool visible)
{
    if (m_visible == visible)
        return false;
    m_visible = visible;
    if (!visible) {
        m_rect = Rect();
        m_selected = false;
    }
    return true;
}

UIItemLook::UIItemLook(int elideMode) : m_font(defaultFontDesc()), m_elideMode(elideMode) {}
