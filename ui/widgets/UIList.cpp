#include "ui/widgets/UIList.h"

#include "ui/widgets/UIScrollArea.h"
#include "ui/widgets/UIToolTip.h"

#include <algorithm>

UIList::UIList(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, false);
    setSizePolicy(SizeResizable, SizeResizable);
    setFocusPolicy(ClickFocus | WheelFocus);
    setStyleName(L"UIList");
    itemCountChanged.connect(this, &UIList::onItemCountChanged);
}

UIList::~UIList()
{
    m_items.deleteAll();
}

void UIList::onItemCountChanged()
{
    visibleItemCountChanged.emit(visibleItemCount());
}

// ---- Items ----

void UIList::linkItem(int index, UIListItem* item)
{
    m_items.link(index, item, static_cast<UIListItemOwner*>(this));
    // The next paint clears it, as it would walking every item.
    if (item->isLabelElided())
        m_elided.push_back(item);
}

void UIList::unlinkItem(int index)
{
    forgetItem(m_items.unlink(index));
}

void UIList::itemsChanged()
{
    itemCountChanged.emit(count());
    if (!m_updatesSuspended)
        repaint();
}

void UIList::setUpdatesSuspended(bool on)
{
    if (on == m_updatesSuspended)
        return;
    m_updatesSuspended = on;
    // The view left its relayouts for the end of the mass update.
    if (UIScrollArea* area = scrollArea(); !on && area)
        area->relayout();
    repaint();
}

int UIList::addItem(UIListItem* item)
{
    linkItem(count(), item);
    itemsChanged();
    return count() - 1;
}

UIListItem* UIList::addItem(const String& label)
{
    return addItem(label, String(), Bitmap());
}

UIListItem* UIList::addItem(const String& label, const String& detailText, const Bitmap& image)
{
    auto* item = new UIListItem(label, detailText, image);
    addItem(item);
    return item;
}

void UIList::insertItem(int index, UIListItem* item)
{
    index = std::clamp(index, 0, count());
    linkItem(index, item);
    if (m_currentIndex >= 0 && index <= m_currentIndex) {
        // The same item stays current under its new index.
        ++m_currentIndex;
        currentItemChanged.emit(m_currentIndex);
    }
    itemsChanged();
}

UIListItem* UIList::insertItem(int index, const String& label)
{
    return insertItem(index, label, String(), Bitmap());
}

UIListItem* UIList::insertItem(int index, const String& label, const String& detailText, const Bitmap& image)
{
    auto* item = new UIListItem(label, detailText, image);
    insertItem(index, item);
    return item;
}

void UIList::insertItems(int index, const StringList& labels)
{
    for (const String& label : labels)
        insertItem(index++, label);
}

void UIList::removeItem(UIListItem* item)
{
    const int index = indexOf(item);
    if (index < 0)
        return;
    unlinkItem(index);
    delete item;
    if (m_currentIndex != -1)
        setCurrentPair(-1, nullptr, false);
    itemsChanged();
}

void UIList::removeItemAt(int index)
{
    removeItem(item(index));
}

UIListItem* UIList::takeItem(int index)
{
    UIListItem* taken = item(index);
    if (!taken)
        return nullptr;
    // It leaves with the rectangle the last paint gave it.
    *taken->rect() = rectOf(taken);
    unlinkItem(index);
    rederiveCurrentAfterTake(index);
    return taken;
}

void UIList::rederiveCurrentAfterTake(int index)
{
    if (m_currentIndex > index) {
        // The same item, one place up.
        --m_currentIndex;
        currentItemChanged.emit(m_currentIndex);
        return;
    }
    if (m_currentIndex != index)
        return;
    // The taken item was current: only when it was the last does another
    // item (the new last) take its place.
    if (!isEmpty() && index == count()) {
        setCurrentItem(count() - 1, true);
        return;
    }
    setCurrentPair(-1, nullptr, false);
}

void UIList::clear()
{
    if (isEmpty())
        return;
    m_items.clear();
    m_placement = Placement();
    m_onScreen.clear();
    m_elided.clear();
    if (m_currentIndex != -1)
        setCurrentPair(-1, nullptr, false);
    repaint();
    itemCountChanged.emit(0);
}

void UIList::listItemVisibilityChanged(UIListItem* item)
{
    m_items.visibilityChanged(item, !item->isVisible());
    visibleItemCountChanged.emit(visibleItemCount());
}

// ---- Queries ----

UIListItem* UIList::item(int index) const
{
    return m_items.at(index);
}

int UIList::indexOf(const UIListItem* item) const
{
    return m_items.indexOf(item);
}

UIListItem* UIList::itemByData(int data) const
{
    return item(indexOfItemByData(data));
}

int UIList::indexOfItemByData(int data) const
{
    return m_items.indexOfData(data);
}

int UIList::indexAt(Point p) const
{
    int index = -1;
    itemAt(p, &index);
    return index;
}

bool UIList::isItemOnScreen(int index) const
{
    const UIListItem* target = item(index);
    return target && target->isVisible() && m_onScreen.contains(target);
}

Rect UIList::itemRect(int index) const
{
    UIListItem* target = item(index);
    return target ? rectOf(target) : Rect();
}

int UIList::currentItemData() const
{
    return m_currentItem ? m_currentItem->data() : 0;
}

// ---- Current item ----

bool UIList::isUsable(const UIListItem* item) const
{
    return item && item->isVisible() && item->isEnabled() && !item->isSeparator();
}

void UIList::setCurrentItem(int index, bool scroll)
{
    UIListItem* candidate = item(index);
    if (index == m_currentIndex && candidate == m_currentItem) {
        if (scroll)
            ensureItemVisible(index);
        return;
    }
    const bool usable = isUsable(candidate);
    const int newIndex = usable ? index : -1;
    UIListItem* newItem = usable ? candidate : nullptr;
    if (newIndex == m_currentIndex && newItem == m_currentItem)
        return;
    setCurrentPair(newIndex, newItem, scroll);
}

void UIList::setCurrentPair(int index, UIListItem* item, bool scroll)
{
    m_currentIndex = index;
    m_currentItem = item;
    if (scroll)
        ensureItemVisible(index);
    currentItemChanged.emit(index);
}

void UIList::setCurrentItemAndSelect(int index)
{
    setCurrentItem(index, true);
    selectCurrentItem();
}

UIScrollArea* UIList::scrollArea() const
{
    return holdingScrollArea(this);
}

bool UIList::ensureItemVisible(int index)
{
    UIListItem* target = item(index);
    UIScrollArea* area = scrollArea();
    if (!target || !area)
        return false;
    Rect r = rectOf(target);
    const bool iconMode = m_viewMode == IconMode;
    const int extent = iconMode ? m_style.iconModeItemSize.height : m_style.listModeItemHeight;
    if (r.isEmpty() || height() <= extent)
        return false;
    if (iconMode) {
        const UIMargins& m = m_style.iconModeItemMargin;
        r = r.adjusted(-m.left, -m.top, m.right, m.bottom);
    }
    UIScrollBar* bar = area->verticalScrollBar();
    if (r.top() < 0) {
        bar->setValue(bar->value() + r.top());
        return true;
    }
    if (r.bottom() > height()) {
        bar->setValue(bar->value() + r.bottom() - height());
        return true;
    }
    return false;
}

// ---- Selection ----

void UIList::selectItem(UIListItem* item, int flags)
{
    if (!item || m_selectionMode == NoSelection || isEmpty())
        return;
    const bool select = (flags & SelectFlag) != 0;
    if (m_selectionMode == SingleSelection && select)
        m_items.selectOnly(item);
    else
        item->setSelected(select);
    if (flags & RepaintFlag)
        repaint();
}

void UIList::selectItemAt(int index, int flags)
{
    selectItem(item(index), flags);
}

void UIList::selectItems(const std::vector<UIListItem*>& items, int flags)
{
    if (m_selectionMode != MultiSelection || isEmpty())
        return;
    const bool changed = m_items.selectEach(items, (flags & SelectFlag) != 0);
    if (changed && (flags & RepaintFlag))
        repaint();
}

void UIList::selectItemByData(int data)
{
    selectItem(itemByData(data), SelectFlag | RepaintFlag);
}

void UIList::selectCurrentItem()
{
    if (m_currentItem)
        selectItem(m_currentItem, SelectFlag | RepaintFlag);
}

void UIList::selectAll()
{
    if (m_selectionMode != MultiSelection || isEmpty())
        return;
    m_items.selectAll(true);
    repaint();
}

void UIList::clearSelection()
{
    if (m_selectionMode == NoSelection || isEmpty())
        return;
    m_items.selectAll(false);
    repaint();
}

void UIList::selectItemsInRect(const Rect& r)
{
    if (m_selectionMode != MultiSelection || isEmpty())
        return;
    m_items.selectTouched(itemsTouching(r), m_band.modifiers.testFlag(ShiftModifier));
    repaint();
}

void UIList::selectIndexRange(int lo, int hi)
{
    m_items.selectIndexRange(lo, hi);
    repaint();
}

bool UIList::isItemSelected(int index) const
{
    return m_items.isSelected(index);
}

bool UIList::hasSelection() const
{
    return m_items.anySelected();
}

int UIList::selectedItemCount() const
{
    return m_items.selectedCount();
}

std::vector<UIListItem*> UIList::selectedItems() const
{
    return m_items.selected();
}

// ---- Modes and options ----

void UIList::setHoverSelect(bool on)
{
    m_hoverSelect = on;
    if (on)
        setFlag(WidgetHoverTracking, true);
}

void UIList::setDefaultImage(const Bitmap& image)
{
    // Drawn scaled over the item backgrounds, so kept premultiplied.
    m_defaultImage = image.copy();
    if (!m_defaultImage.isNull())
        m_defaultImage.setPremultiplied(true);
}

void UIList::setBlankText(const String& text)
{
    m_blankText = text;
    if (isEmpty())
        repaint();
}

void UIList::setBlankImage(const Bitmap& image)
{
    m_blankImage = image;
    if (isEmpty())
        repaint();
}

void UIList::setBlankTextVisible(bool on)
{
    setBlankSwitch(m_blankTextVisible, on);
}

void UIList::setBlankImageVisible(bool on)
{
    setBlankSwitch(m_blankImageVisible, on);
}

// The blank content shows only in an empty list.
void UIList::setBlankSwitch(bool& flag, bool on)
{
    if (on == flag)
        return;
    flag = on;
    if (isEmpty())
        repaint();
}

void UIList::setItemSize(Size size)
{
    UIToolTip::hideFor(this);
    if (m_viewMode == IconMode)
        m_style.iconModeItemSize = size;
    else
        m_style.listModeItemHeight = size.height;
    if (UIScrollArea* area = scrollArea())
        area->relayout();
    repaint();
}

Size UIList::itemSize() const
{
    return m_viewMode == IconMode ? m_style.iconModeItemSize : Size{0, m_style.listModeItemHeight};
}

// ---- Grid ----

int UIList::columnCount() const
{
    if (isEmpty() || m_viewMode != IconMode)
        return 1;
    const int step = iconColumnStep();
    // A step below one pixel would divide by zero or go negative.
    int columns = step >= 1 ? width() / step : 1;
    if (m_maximumColumns >= 1)
        columns = std::min(columns, m_maximumColumns);
    return std::max(columns, 1);
}

int UIList::rowCount() const
{
    if (isEmpty())
        return 1;
    const int columns = columnCount();
    return std::max((count() + columns - 1) / columns, 1);
}

int UIList::visibleRowCount() const
{
    if (isEmpty())
        return 1;
    const int columns = columnCount();
    return std::max((visibleItemCount() + columns - 1) / columns, 1);
}

Size UIList::sizeHint() const
{
    return {70, 70};
}

Size UIList::minimumSizeHint() const
{
    if (isEmpty())
        return {70, 70};
    if (m_viewMode != IconMode)
        return {70, visibleItemCount() * m_style.listModeItemHeight};
    const UIMargins& m = m_style.iconModeItemMargin;
    return {iconColumnStep() * columnCount(), (m_style.iconModeItemSize.height + m.top + m.bottom) * visibleRowCount()};
}

// The width one icon column takes, both when counting the columns that fit
// and when asking for room: two different steps made a view whose items
// fit scroll sideways.
int UIList::iconColumnStep() const
{
    const UIMargins& m = m_style.iconModeItemMargin;
    return m_style.iconModeItemSize.width + (m.left + m.right) / 2;
}
