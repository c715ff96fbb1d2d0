#include "ui/widgets/UIHeader.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Pen.h"
#include "ui/widgets/SkinParts.h"

#include <algorithm>

namespace {

// Item background states.
constexpr int itemNormal = 0;
constexpr int itemHovered = 1;
constexpr int itemPressed = 2;

// At its minimum a column can only grow.
Cursor resizeCursor(bool atMinimum)
{
    return Cursor(atMinimum ? CursorSplitRight : CursorSplitLeftRight);
}

} // namespace

UIHeader::UIHeader(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, false);
    setFlag(WidgetHoverTracking, true);
    setSizePolicy(SizeResizable, SizeFixed);
    setStyleName(L"UIHeader");
}

UIHeader::~UIHeader()
{
    for (UIHeaderSection* section : m_sections)
        delete section;
}

UIHeaderSection* UIHeader::addSection(const String& text, int width, bool resizable)
{
    auto* section = new UIHeaderSection(text);
    section->setWidth(width);
    section->setResizable(resizable);
    section->setDefaultWidth(m_defaultSectionWidth);
    m_sections.append(section);
    visibleSectionCountChanged.emit(visibleSectionCount());
    return section;
}

int UIHeader::visibleSectionCount() const
{
    return int(std::count_if(m_sections.begin(), m_sections.end(),
                             [](const UIHeaderSection* s) { return s->isVisible(); }));
}

bool UIHeader::isSectionVisible(int i) const
{
    return isValidIndex(i) && m_sections[i]->isVisible();
}

UIHeaderSection* UIHeader::lastVisibleSection() const
{
    for (int i = sectionCount() - 1; i >= 0; --i) {
        if (m_sections[i]->isVisible())
            return m_sections[i];
    }
    return nullptr;
}

void UIHeader::setSectionVisible(int i, bool visible)
{
    if (!isValidIndex(i) || m_sections[i]->isVisible() == visible)
        return;
    m_sections[i]->setVisible(visible);
    updateStretchedSection();
    repaint();
    visibleSectionCountChanged.emit(visibleSectionCount());
}

void UIHeader::setSectionWidth(int i, int width)
{
    if (!isValidIndex(i))
        return;
    UIHeaderSection* section = m_sections[i];
    if (isStretchedSection(section) || !section->isResizable() || section->width() == width)
        return;
    section->setWidth(width);
    repaint();
    updateStretchedSection();
    sectionResized.emit(i);
}

void UIHeader::setSectionText(int i, const String& text)
{
    if (!isValidIndex(i))
        return;
    m_sections[i]->setText(text);
    repaint();
}

void UIHeader::clearSortIndicators()
{
    for (UIHeaderSection* section : m_sections)
        section->setSortOrder(UIHeaderSection::Unsorted);
}

void UIHeader::setMinimumSectionWidth(int width)
{
    m_minimumSectionWidth = width;
    for (UIHeaderSection* section : m_sections) {
        if (section->minimumWidth() < width)
            section->setMinimumWidth(width);
    }
}

void UIHeader::setDefaultSectionWidth(int width)
{
    m_defaultSectionWidth = width;
    for (UIHeaderSection* section : m_sections)
        section->setDefaultWidth(std::max(section->minimumWidth(), width));
}

void UIHeader::setStretchLastSection(bool on)
{
    if (on == m_stretchLastSection)
        return;
    m_stretchLastSection = on;
    if (on)
        updateStretchedSection();
}

void UIHeader::resizeSections(HeaderResizeMode mode)
{
    if (mode == HeaderResizeMode::Reset) {
        for (int i = 0; i < sectionCount() - 1; ++i) {
            const UIHeaderSection* s = m_sections[i];
            if (s->isVisible() && s->isResizable() && s->defaultWidth() > 0)
                setWidthAndNotify(i, std::max(s->defaultWidth(), s->minimumWidth()));
        }
    } else {
        // The last visible section keeps its width: it takes what is left.
        const Font font(m_style.font);
        const UIHeaderSection* last = lastVisibleSection();
        for (int i = 0; i < sectionCount(); ++i) {
            const UIHeaderSection* s = m_sections[i];
            if (!s->isVisible() || !s->isResizable() || s == last)
                continue;
            const int wanted = titleInset(s) + 1 + font.textSize(s->text()).width + m_style.itemPadding.right;
            setWidthAndNotify(i, std::max(wanted, s->minimumWidth()));
        }
    }
    updateStretchedSection();
    repaint();
}

void UIHeader::setWidthAndNotify(int i, int width)
{
    UIHeaderSection* section = m_sections[i];
    const int before = section->width();
    section->setWidth(width);
    if (section->width() != before)
        sectionResized.emit(i);
}

bool UIHeader::isStretchedSection(const UIHeaderSection* section) const
{
    return m_stretchLastSection && section == lastVisibleSection();
}

void UIHeader::updateStretchedSection()
{
    UIHeaderSection* last = lastVisibleSection();
    if (!m_stretchLastSection || !last || !last->isResizable())
        return;
    int others = 0;
    int lastIndex = -1;
    for (int i = 0; i < sectionCount(); ++i) {
        if (m_sections[i] == last)
            lastIndex = i;
        else if (m_sections[i]->isVisible())
            others += m_sections[i]->width();
    }
    const int wanted = width() - others;
    const int before = last->width();
    if (wanted <= 0 || wanted == before)
        return;
    last->setWidth(wanted);
    if (last->width() == before)
        return;
    repaint();
    // The list index, not the visible count less one, which names another
    // section as soon as one before the last is hidden.
    sectionResized.emit(lastIndex);
}

// ---- Geometry and hit tests ----

void UIHeader::placeSections() const
{
    int x = contentOffsetX();
    for (UIHeaderSection* section : m_sections) {
        if (!section->isVisible()) {
            *section->rect() = Rect();
            continue;
        }
        *section->rect() = Rect(x, 0, section->width(), m_style.minimumHeight);
        x += section->width();
    }
}

int UIHeader::sectionAt(Point p) const
{
    placeSections();
    for (int i = 0; i < sectionCount(); ++i) {
        UIHeaderSection* section = m_sections[i];
        const Rect r = *section->rect();
        if (!section->isVisible() || !r.contains(p))
            continue;
        const int left = i == 0 ? 0 : m_resizeMargin;
        const int right = isStretchedSection(section) ? 0 : m_resizeMargin + 1;
        return r.adjusted(left, 0, -right, 0).contains(p) ? i : -1;
    }
    return -1;
}

UIHeaderSection* UIHeader::sectionObjectAt(Point p) const
{
    return m_sections[sectionAt(p)];
}

int UIHeader::gripZoneSectionAt(int x) const
{
    placeSections();
    for (int i = 0; i < sectionCount(); ++i) {
        UIHeaderSection* section = m_sections[i];
        if (!section->isVisible())
            continue;
        const int right = section->rect()->right();
        if (x < right - m_resizeMargin - 1 || x >= right + m_resizeMargin)
            continue;
        if (isStretchedSection(section))
            return -1;
        if (section->isResizable())
            return i;
    }
    return -1;
}

Size UIHeader::sizeHint() const
{
    int minimum = 0;
    for (const UIHeaderSection* section : m_sections) {
        if (section->isVisible())
            minimum += section->minimumWidth();
    }
    return {std::max(minimum, 2 * m_resizeMargin + 20), m_style.minimumHeight};
}

String UIHeader::toolTip(Point p) const
{
    UIHeaderSection* section = sectionObjectAt(p);
    if (!section)
        return String();
    if (!section->toolTip().isEmpty())
        return section->toolTip();
    if (!section->isTitleElided() && rect().contains(*section->textRect()))
        return String();
    return section->text();
}

// ---- Style ----

void UIHeader::setStyleProperty(const String& name, const String& value)
{
    if (name == L"font")
        m_style.font = parseFontValue(value);
    else if (name == L"foreground")
        m_style.foreground = parseColourValue(value);
    else if (name == L"shadowForeground")
        m_style.shadowForeground = parseColourValue(value);
    else if (name == L"shadowOffset")
        m_style.shadowOffset = parsePointValue(value);
    else if (name == L"disabledForeground")
        m_style.disabledForeground = parseColourValue(value);
    else if (name == L"padding")
        m_style.padding = parseMarginsValue(value);
    else if (name == L"itemPadding")
        m_style.itemPadding = parseMarginsValue(value);
    else if (name == L"minimumHeight")
        m_style.minimumHeight = parseIntValue(value);
}

void UIHeader::setStyleImage(const String& skinName, UISkin* skin)
{
    static const SkinPart<Style> parts[] = {
        {L"UIHeader_Background", &Style::background},
        {L"UIHeader_ItemBackground", &Style::itemBackground},
        {L"UIHeader_ItemSeparator", &Style::itemSeparator},
        {L"UIHeader_SortIndicatorAsc", &Style::sortIndicatorAscending},
        {L"UIHeader_SortIndicatorDesc", &Style::sortIndicatorDescending},
        {L"UIHeader_SortIndicatorUp", &Style::sortIndicatorUp},
        {L"UIHeader_SortIndicatorDown", &Style::sortIndicatorDown},
    };
    takeSkinPart<Style>(parts, m_style, skinName, *skin);
}

// ---- Painting ----

bool UIHeader::showsSortIndicator(const UIHeaderSection* section) const
{
    return m_sortIndicatorsEnabled && section->isSortable() != UIHeaderSection::NotSortable &&
           section->sortOrder() != UIHeaderSection::Unsorted;
}

int UIHeader::titleInset(const UIHeaderSection* section) const
{
    return showsSortIndicator(section) ? m_sortIndicatorTextInset : m_style.itemPadding.left;
}

int UIHeader::itemState(int index) const
{
    if (index == m_resizeSection)
        return itemHovered;
    if (index != m_hoveredSection)
        return itemNormal;
    return index == m_pressedSection ? itemPressed : itemHovered;
}

void UIHeader::paintEvent(UIPaintEvent* event)
{
    Graphics g(backBuffer());
    const Rect r = event->rect();
    m_style.background.drawNineSlice(g, r, 0, SkinAllRegions);
    placeSections();
    for (int i = 0; i < sectionCount(); ++i) {
        UIHeaderSection* section = m_sections[i];
        *section->textRect() = Rect();
        section->setTitleElided(false);
        if (section->isVisible() && section->rect()->intersects(r))
            paintSection(g, section, i);
    }
    paintSeparators(g, r);
}

void UIHeader::paintSection(Graphics& g, UIHeaderSection* section, int index)
{
    const Rect& r = *section->rect();
    m_style.itemBackground.drawNineSlice(g, r, itemState(index), SkinAllRegions);
    if (showsSortIndicator(section)) {
        // The arrow points the way the values run down the column.
        const UISkin& indicator = section->sortOrder() == UIHeaderSection::Ascending ? m_style.sortIndicatorDown
                                                                                     : m_style.sortIndicatorUp;
        indicator.drawAligned(g, r, AlignLeft | AlignVCenter, 0);
    }
    if (!section->text().isEmpty())
        paintTitle(g, section);
}

void UIHeader::paintTitle(Graphics& g, UIHeaderSection* section)
{
    const Rect box = section->rect()->adjusted(titleInset(section), 0, -(m_style.itemPadding.right + 1), 0);
    g.setFont(m_style.font);
    Rect placed;
    if (isEnabled()) {
        if (m_style.shadowForeground.isVisible()) {
            g.setPen(Pen(m_style.shadowForeground));
            const Point o = m_style.shadowOffset;
            g.drawText(section->text(), box.adjusted(o.x, o.y, o.x, o.y), section->alignment(), ElideRightWithEllipsis,
                       1);
        }
        g.setPen(Pen(m_style.foreground));
    } else {
        g.setPen(Pen(m_style.disabledForeground));
    }
    const bool elided = g.drawText(section->text(), box, section->alignment(), ElideRightWithEllipsis, 1, &placed);
    *section->textRect() = placed;
    section->setTitleElided(elided);
}

void UIHeader::paintSeparators(Graphics& g, const Rect& r)
{
    for (UIHeaderSection* section : m_sections) {
        const Rect& s = *section->rect();
        if (!section->isVisible() || isStretchedSection(section) || !s.adjusted(0, 0, -1, 0).intersects(r))
            continue;
        m_style.itemSeparator.drawAt(g, Point{s.right() - 1, s.top() + 2}, 0, SkinAllRegions);
    }
}

void UIHeader::resizeEvent(UIResizeEvent*)
{
    updateStretchedSection();
}

// ---- Mouse ----

void UIHeader::mousePressEvent(UIMouseEvent* event)
{
    m_pressedSection = event->button() == LeftButton ? sectionAt(event->position()) : -1;
    repaint();
}

void UIHeader::mouseMoveEvent(UIMouseEvent* event)
{
    m_hoveredSection = sectionAt(event->position());
    repaint();
    if (!isPressed()) {
        hoverGripZone(event->x());
        return;
    }
    if (m_resizeSection >= 0 && event->buttons() == MouseButtons(LeftButton))
        dragResizeSection(event->x());
}

void UIHeader::dragResizeSection(int x)
{
    UIHeaderSection* section = m_sections[m_resizeSection];
    if (!section)
        return;
    const int wanted = std::max(x - section->rect()->left() + 2, section->minimumWidth());
    setCursor(resizeCursor(section->width() <= section->minimumWidth()));
    setSectionWidth(m_resizeSection, wanted);
}

void UIHeader::hoverGripZone(int x)
{
    m_resizeSection = gripZoneSectionAt(x);
    const UIHeaderSection* section = m_sections[m_resizeSection];
    if (!section) {
        setCursor(Cursor(CursorArrow));
        return;
    }
    setCursor(resizeCursor(section->width() == section->minimumWidth()));
}

void UIHeader::mouseReleaseEvent(UIMouseEvent* event)
{
    if (!rect().contains(event->position())) {
        m_hoveredSection = m_resizeSection = m_pressedSection = -1;
        repaint();
        return;
    }
    mouseMoveEvent(event);
    const int index = sectionAt(event->position());
    if (index >= 0 && index == m_pressedSection)
        sectionClicked.emit(index);
    m_pressedSection = -1;
    repaint();
}

void UIHeader::leaveEvent(UIMouseEvent*)
{
    if (!isPressed()) {
        setCursor(Cursor(CursorArrow));
        m_resizeSection = -1;
    }
    m_hoveredSection = -1;
    repaint();
}
