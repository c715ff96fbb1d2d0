#include "ui/UITableRow.h"

UIItemCell::UIItemCell() : m_font(defaultFontDesc()) {}

void UIItemCell::setVisible(bool visible)
{
    m_visible = visible;
    if (!visible)
        m_rect = Rect();
}

UITableRow::~UITableRow()
{
    if (m_owner && !m_visible)
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
    if (m_visible == visible)
        return;
    m_visible = visible;
    if (!visible) {
        m_rect = Rect();
        m_selected = false;
    }
    if (m_owner)
        m_owner->rowVisibilityChanged(this, !visible);
}
