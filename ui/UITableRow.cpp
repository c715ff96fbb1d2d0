#include "ui/UITableRow.h"

UIItemCell::UIItemCell() : UIItemLook(2) {}

void UIItemCell::setVisible(bool visible)
{
    m_visible = visible;
    if (!visible)
        m_rect = Rect();
}

UITableRow::~UITableRow()
{
    if (m_owner && !isVisible())
        m_owner->hiddenRowDeleted(this);
}

int UITableRow::addCell(UIItemCell* cell)
{
    cell->setOwner(this);
    m_cells.emplace_back(cell);
    return cellCount() - 1;
}

UIItemCell* UITableRow::addTextCell(const String& text)
{
    auto* cell = new UIItemCell;
    cell->setText(text);
    addCell(cell);
    return cell;
}

UIItemCell* UITableRow::addImageCell(const Bitmap& image)
{
    auto* cell = new UIItemCell;
    cell->setImage(image);
    cell->setKind(UIItemCell::ImageCell);
    cell->setAlignment(itemAlignCentred);
    addCell(cell);
    return cell;
}

void UITableRow::setVisible(bool visible)
{
    if (!storeVisible(visible))
        return;
    if (m_owner)
        m_owner->rowVisibilityChanged(this, !visible);
}
