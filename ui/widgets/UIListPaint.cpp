#include "ui/widgets/UIList.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Pen.h"
#include "ui/widgets/SkinParts.h"

#include <algorithm>

namespace {

// The places k in [0, n) of a lattice base + k x step whose extent may
// reach into [lo, hi); all of them when the step does not advance.
std::pair<long long, long long> latticeRange(long long base, long long step, long long extent, long long lo,
                                             long long hi, long long n)
{
    if (step <= 0)
        return {0, n};
    const long long first = std::max(0LL, floorDiv(lo - extent - base, step) + 1);
    const long long last = std::min(n, ceilDiv(hi - base, step));
    return {first, std::max(first, last)};
}

void eraseValue(std::vector<UIListItem*>& items, const UIListItem* item)
{
    items.erase(std::remove(items.begin(), items.end(), item), items.end());
}

const Colour separatorColour(164, 164, 164);
// The icon area leaves this much room left and right in icon mode.
constexpr int iconSideInset = 7;

} // namespace

// ---- Style ----

void UIList::setStyleProperty(const String& name, const String& value)
{
    Style& s = m_style;
    if (name == L"font")
        s.font = parseFontValue(value);
    else if (name == L"background")
        s.background = parseBrushValue(value);
    else if (name == L"detailedFont")
        s.detailedFont = parseFontValue(value);
    else if (name == L"detailedForeground")
        s.detailedForeground = parseColourValue(value);
    else if (name == L"selectedDetailedForeground")
        s.selectedDetailedForeground = parseColourValue(value);
    else if (name == L"disabledDetailedForeground")
        s.disabledDetailedForeground = parseColourValue(value);
    else if (name == L"disabledForeground")
        s.disabledForeground = parseColourValue(value);
    else if (name == L"defaultItemBackground")
        s.defaultItemBackground = parseBrushValue(value);
    else if (name == L"alternateItemBackground")
        s.alternateItemBackground = parseBrushValue(value);
    else if (name == L"selectedItemBackground")
        s.selectedItemBackground = parseBrushValue(value);
    else if (name == L"defaultItemForeground")
        s.defaultItemForeground = parseColourValue(value);
    else if (name == L"alternateItemForeground")
        s.alternateItemForeground = parseColourValue(value);
    else if (name == L"selectedItemForeground")
        s.selectedItemForeground = parseColourValue(value);
    else if (name == L"gridColor")
        s.gridColor = parseColourValue(value);
    else if (name == L"borderColor")
        s.borderColor = parseColourValue(value);
    else if (name == L"listModeItemHeight")
        s.listModeItemHeight = parseIntValue(value);
    else if (name == L"listModeItemPadding")
        s.listModeItemPadding = parseMarginsValue(value);
    else if (name == L"listModeItemSpacing")
        s.listModeItemSpacing = parseIntValue(value);
    else if (name == L"iconModeItemSize")
        s.iconModeItemSize = parseSizeValue(value);
    else if (name == L"iconModeItemPadding")
        s.iconModeItemPadding = parseMarginsValue(value);
    else if (name == L"iconModeItemMargin")
        s.iconModeItemMargin = parseMarginsValue(value);
    else if (name == L"isDrawGrid")
        s.drawGrid = parseSwitchValue(value);
    else if (name == L"blankForeground")
        s.blankForeground = parseColourValue(value);
    else if (name == L"shadowBlankForeground")
        s.shadowBlankForeground = parseColourValue(value);
    else if (name == L"blankFont")
        s.blankFont = parseFontValue(value);
    else if (name == L"spacingBetweenIconAndText")
        s.spacingBetweenIconAndText = parseIntValue(value);
    else if (name == L"spacingBetweenTextAndDetailedText")
        s.spacingBetweenTextAndDetailedText = parseIntValue(value);
}

void UIList::setStyleImage(const String& skinName, UISkin* skin)
{
    static const SkinPart<Style> parts[] = {
        {L"UIList_Background", &Style::backgroundSkin},
        {L"UIList_Selection", &Style::selectionSkin},
        {L"UIList_SelectionRect", &Style::selectionRectSkin},
        {L"UIList_Shadow", &Style::shadowSkin},
    };
    takeSkinPart<Style>(parts, m_style, skinName, *skin);
    // Stretching a see-through middle over the whole list changes no pixel
    // but resamples the list's whole area on every paint.
    const Rect middle = m_style.backgroundSkin.region(0, SkinCentre);
    const bool clearMiddle = !middle.isEmpty() && !m_style.backgroundSkin.copyRect(middle).hasNonZeroAlpha();
    m_style.backgroundRegions = clearMiddle ? SkinAllRegions & ~SkinCentre : SkinAllRegions;
}

// ---- Where items are ----

// The items' sequence forgets the item as it unlinks it.
void UIList::forgetItem(UIListItem* item)
{
    m_onScreen.erase(item);
    eraseValue(m_elided, item);
}

// The grid of this paint: list mode stacks full-width rows from the
// content offsets; icon mode steps by the left margin and the item width
// across and by the item height and both margins down.
void UIList::placeGrid()
{
    Placement& p = m_placement;
    p.iconMode = m_viewMode == IconMode;
    if (!p.iconMode) {
        const int h = m_style.listModeItemHeight;
        p.first = Rect(contentOffsetX(), contentOffsetY(), width(), h);
        p.columnStep = 0;
        p.rowStep = h;
        p.columns = 1;
        return;
    }
    const Size item = m_style.iconModeItemSize;
    const UIMargins& m = m_style.iconModeItemMargin;
    p.first = Rect(contentOffsetX() + m.left, contentOffsetY() + m.top, item.width, item.height);
    p.columnStep = m.left + item.width;
    p.rowStep = item.height + m.top + m.bottom;
    p.columns = columnCount();
}

Rect UIList::placedRect(int rank) const
{
    const Placement& p = m_placement;
    const int row = rank / p.columns;
    const int column = rank % p.columns;
    return Rect(p.first.x + column * p.columnStep, p.first.y + row * p.rowStep, p.first.width, p.first.height);
}

Rect UIList::rectOf(UIListItem* item) const
{
    const int rank = m_placement.valid ? m_items.placedRank(item) : -1;
    return rank >= 0 ? placedRect(rank) : *item->rect();
}

std::vector<int> UIList::ranksNear(const Rect& r) const
{
    std::vector<int> ranks;
    const Placement& p = m_placement;
    if (!p.valid)
        return ranks;
    const long long n = (long long)m_items.byRank().size();
    const long long rowCount = (n + p.columns - 1) / p.columns;
    const auto [firstRow, lastRow] = latticeRange(p.first.y, p.rowStep, p.first.height, r.top(), r.bottom(), rowCount);
    auto columns = std::pair<long long, long long>(0, 1);
    if (p.iconMode)
        columns = latticeRange(p.first.x, p.columnStep, p.first.width, r.left(), r.right(), p.columns);
    for (long long row = firstRow; row < lastRow; ++row) {
        for (long long column = columns.first; column < columns.second; ++column) {
            const long long rank = row * p.columns + column;
            if (rank < n)
                ranks.push_back(int(rank));
        }
    }
    return ranks;
}

std::vector<UIListItem*> UIList::itemsTouching(const Rect& r) const
{
    std::vector<UIListItem*> result;
    const auto consider = [&](UIListItem* item) {
        if (item && item->isVisible() && rectOf(item).intersects(r))
            result.push_back(item);
    };
    for (int rank : ranksNear(r))
        consider(m_items.byRank()[std::size_t(rank)]);
    for (UIListItem* item : m_items.strays())
        consider(item);
    return result;
}

UIListItem* UIList::itemAt(Point p, int* index) const
{
    int best = -1;
    for (UIListItem* hit : itemsTouching(Rect(p.x, p.y, 1, 1))) {
        const int i = indexOf(hit);
        if (i >= 0 && (best < 0 || i < best))
            best = i;
    }
    if (index)
        *index = best;
    return item(best);
}

// ---- Painting ----

void UIList::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.resetClip();
    if (m_viewMode == IconMode)
        g.setRenderHint(Graphics::SmoothScaling, true);
    g.fillRect(rect(), m_style.background);
    m_style.backgroundSkin.drawNineSlice(g, rect(), 0, m_style.backgroundRegions);
    g.setFont(m_style.font);
    paintItems(g);
    if (m_viewMode == IconMode && m_band.active && !m_band.rect.isEmpty())
        m_style.selectionRectSkin.drawNineSlice(g, m_band.rect, 0, SkinAllRegions);
    g.setPen(Pen(m_style.borderColor));
    g.drawRect(Rect(0, 0, width() - 1, height() - 1));
    if (isEmpty())
        paintBlank(g);
}

// Only the items on screen are drawn; every other item keeps its flags
// clear and has its rectangle worked out from this placement when read.
void UIList::paintItems(Graphics& g)
{
    const bool iconMode = m_viewMode == IconMode;
    m_onScreen.clear();
    // List mode clears the label flag of every visible item.
    if (!iconMode) {
        std::erase_if(m_elided, [](UIListItem* item) {
            if (item->isVisible())
                item->setLabelElided(false);
            return !item->isLabelElided();
        });
    }
    m_items.rankForPaint();
    // A hidden item keeps its own rectangle, which holds once it shows again.
    m_items.dropStraysIf([](const UIListItem* item) { return item->isVisible(); });
    m_placement.valid = true;
    placeGrid();
    TextHeights heights;
    if (iconMode) {
        heights.label = Font(m_style.font).height();
        heights.detail = Font(m_style.detailedFont).height();
    }
    const int h = m_style.listModeItemHeight;
    for (int rank : ranksNear(rect())) {
        UIListItem* item = m_items.byRank()[std::size_t(rank)];
        const Rect r = placedRect(rank);
        if (!iconMode && r.y > -h && r.y < height())
            paintListItem(g, item, r);
        else if (iconMode && r.intersects(rect()))
            paintIconItem(g, item, r, heights);
    }
}

void UIList::paintListItem(Graphics& g, UIListItem* item, const Rect& r)
{
    *item->rect() = r;
    m_onScreen.insert(item);
    if (item->isSeparator()) {
        const int y = r.y + r.height / 2;
        g.setPen(Pen(separatorColour));
        g.drawLine(r.x, y, r.width, y);
        return;
    }
    // Parity counts every item, hidden ones too: the first is even.
    const bool odd = indexOf(item) % 2 == 1;
    if (item->isSelected())
        g.fillRect(r, m_style.selectedItemBackground);
    else if (!item->background().isTranslucent())
        g.fillRect(r, item->background());
    else
        g.fillRect(r, odd ? m_style.alternateItemBackground : m_style.defaultItemBackground);
    const UIMargins& padding = m_style.listModeItemPadding;
    Rect content = r.adjusted(padding.left, 0, -padding.right, 0);
    if (!item->image().isNull()) {
        g.drawBitmapAligned(item->image(), content, itemAlignLeftCentred);
        content.setLeft(content.x + item->image().width() + m_style.listModeItemSpacing);
    }
    if (item->label().isEmpty())
        return;
    Colour pen = odd ? m_style.alternateItemForeground : m_style.defaultItemForeground;
    if (!item->isEnabled())
        pen = m_style.disabledForeground;
    else if (item->isSelected())
        pen = m_style.selectedItemForeground;
    else if (!item->textPen().isTranslucent())
        pen = item->textPen().colour();
    g.setFont(item->font());
    g.setPen(Pen(pen));
    const bool elided = g.drawText(item->label(), content, item->alignment(), item->elideMode(), 1);
    item->setLabelElided(elided);
    if (elided)
        m_elided.push_back(item);
}

void UIList::paintIconItem(Graphics& g, UIListItem* item, const Rect& r, const TextHeights& heights)
{
    *item->rect() = r;
    m_onScreen.insert(item);
    const bool selected = item->isSelected();
    if (selected) {
        g.fillRect(r, m_style.selectedItemBackground);
        if (!m_style.selectionSkin.isNull())
            m_style.selectionSkin.drawNineSlice(g, r, 0, SkinAllRegions);
    } else {
        g.fillRect(r, item->background().isTranslucent() ? m_style.defaultItemBackground : item->background());
    }
    const TextHeights shown{item->label().isEmpty() ? 0 : heights.label,
                            item->detailText().isEmpty() ? 0 : heights.detail};
    drawIcon(g, item, r, shown);
    const UIMargins& pad = m_style.iconModeItemPadding;
    const int below = m_style.spacingBetweenTextAndDetailedText + pad.bottom;
    if (!item->label().isEmpty()) {
        g.setFont(m_style.font);
        g.setPen(Pen(selected ? m_style.selectedItemForeground : m_style.defaultItemForeground));
        g.drawText(item->label(), r.adjusted(pad.left, 0, -pad.right, -(below + shown.detail)),
                   AlignBottom | AlignHCenter, ElideRightWithEllipsis, 1);
    }
    if (!item->detailText().isEmpty()) {
        g.setFont(m_style.detailedFont);
        g.setPen(Pen(selected ? m_style.selectedDetailedForeground : m_style.detailedForeground));
        g.drawText(item->detailText(), r.adjusted(pad.left, 0, -pad.right, -pad.bottom), AlignBottom | AlignHCenter,
                   ElideRightWithEllipsis, 1);
    }
}

// The icon fits the room above the texts, never scaled up.
void UIList::drawIcon(Graphics& g, UIListItem* item, const Rect& r, const TextHeights& heights)
{
    const Bitmap& image = item->image().isNull() ? m_defaultImage : item->image();
    *item->iconRect() = Rect();
    if (image.isNull())
        return;
    const UIMargins& pad = m_style.iconModeItemPadding;
    const int textRoom = pad.bottom + m_style.spacingBetweenIconAndText + m_style.spacingBetweenTextAndDetailedText +
                         heights.label + heights.detail;
    const Rect area = r.adjusted(iconSideInset, pad.top, -iconSideInset, -textRoom);
    Size size = image.size();
    if (size.width > area.width || size.height > area.height)
        size = size.scaledToFit(area.size());
    if (size.isEmpty())
        return;
    const Rect placed = area.alignedRect(size.width, size.height, AlignCenter);
    *item->iconRect() = placed;
    g.drawBitmapInRect(image, placed);
}

void UIList::paintBlank(Graphics& g)
{
    if (m_blankImageVisible && !m_blankImage.isNull())
        g.drawBitmapAligned(m_blankImage, rect(), AlignCenter);
    if (!m_blankTextVisible || m_blankText.isEmpty())
        return;
    g.setFont(m_style.blankFont);
    g.setPen(Pen(m_style.shadowBlankForeground));
    g.drawText(m_blankText, rect().adjusted(0, 2, 0, 0), AlignCenter, ElideNone, 1);
    g.setPen(Pen(m_style.blankForeground));
    g.drawText(m_blankText, rect(), AlignCenter, ElideNone, 1);
}

// ---- Tool tip ----

String UIList::toolTip(Point p) const
{
    const UIListItem* hit = itemAt(p);
    if (!hit)
        return String();
    if (!hit->toolTip().isEmpty())
        return hit->toolTip();
    if (m_viewMode == ListMode && hit->isLabelElided())
        return hit->label();
    return String();
}
