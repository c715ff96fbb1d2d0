#include "ui/widgets/UITabBar.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

#include <algorithm>
#include <utility>

namespace {

constexpr int separatorNormal = 0;
constexpr int separatorDisabled = 1;

constexpr int backgroundNormal = 0;
constexpr int backgroundHover = 1;
constexpr int backgroundPressed = 2;
constexpr int backgroundDisabled = 3;
constexpr int backgroundCurrent = 4;

// Neighbouring tabs share their inner edges: only the outer tabs draw the
// rounded ends.
constexpr int loneTabMask = SkinAllRegions;
constexpr int firstTabMask = SkinTopLeft | SkinTop | SkinBottom | SkinBottomLeft | SkinLeft | SkinCentre;
constexpr int lastTabMask = SkinTop | SkinTopRight | SkinRight | SkinBottomRight | SkinBottom | SkinCentre;
constexpr int middleTabMask = SkinTop | SkinBottom | SkinCentre;

bool showsIcon(UITabBar::DisplayMode mode)
{
    return mode != UITabBar::TextOnly;
}

bool showsText(UITabBar::DisplayMode mode)
{
    return mode != UITabBar::IconOnly;
}

} // namespace

UITabBar::UITabBar(UIWidget* parent) : UIWidget(parent)
{
    setSizePolicy(SizeFixed, SizeFixed);
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(ClickFocus | TabFocus);
    setLayoutAlignment(AlignCenter);
    setStyleName(L"UITabBar");
}

UITabBar::~UITabBar()
{
    for (UITabBarItem* tab : m_tabs)
        delete tab;
}

void UITabBar::addTab(const String& text, const StateImages& icon)
{
    m_tabs.append(new UITabBarItem(text, icon));
    if (m_keepOneCurrent && m_currentIndex == -1)
        setCurrentIndex(count() - 1);
}

void UITabBar::removeTab(int index)
{
    auto* node = m_tabs.nodeAt(index);
    if (index < 0 || !node)
        return;
    delete node->value;
    m_tabs.removeNode(node);
    // The hover index may now name another tab or none at all; the next
    // move sets it again.
    m_hoverIndex = -1;
    if (index == m_currentIndex)
        currentTabRemoved(index);
    else if (index < m_currentIndex)
        --m_currentIndex;
    repaint();
}

void UITabBar::currentTabRemoved(int index)
{
    if (m_keepOneCurrent && canBeCurrent(0)) {
        // The removed tab was tab 0: the index still names tab 0, now the
        // former second one, so it does not change and nothing is emitted.
        if (index != 0)
            changeCurrent(0);
        return;
    }
    // No tab may take its place: an index left behind would name another
    // tab or none at all.
    changeCurrent(-1);
}

int UITabBar::visibleCount() const
{
    int visible = 0;
    for (const UITabBarItem* item : m_tabs)
        visible += item->isVisible() ? 1 : 0;
    return visible;
}

UITabBarItem* UITabBar::tab(int index) const
{
    if (index < 0)
        return nullptr;
    const auto* node = m_tabs.nodeAt(index);
    return node ? node->value : nullptr;
}

Rect UITabBar::tabRect(int index) const
{
    UITabBarItem* item = tab(index);
    if (!item)
        return Rect();
    layoutTabs();
    return *item->rect();
}

void UITabBar::setTabText(int index, const String& text)
{
    if (UITabBarItem* item = tab(index)) {
        item->setText(text);
        repaint();
    }
}

String UITabBar::tabText(int index) const
{
    const UITabBarItem* item = tab(index);
    return item ? item->text() : String();
}

void UITabBar::setTabIcon(int index, const StateImages& icon)
{
    if (UITabBarItem* item = tab(index)) {
        item->setIcon(icon);
        repaint();
    }
}

StateImages UITabBar::tabIcon(int index) const
{
    const UITabBarItem* item = tab(index);
    return item ? item->icon() : StateImages();
}

void UITabBar::setTabToolTip(int index, const String& text)
{
    if (UITabBarItem* item = tab(index))
        item->setToolTip(text);
}

String UITabBar::tabToolTip(int index) const
{
    const UITabBarItem* item = tab(index);
    return item ? item->toolTip() : String();
}

void UITabBar::changeTabFlag(int index, bool on, TabFlag flag)
{
    UITabBarItem* item = tab(index);
    if (!item || (item->*flag.read)() == on)
        return;
    (item->*flag.write)(on);
    repaint();
}

bool UITabBar::tabFlag(int index, TabFlag flag) const
{
    const UITabBarItem* item = tab(index);
    return item && (item->*flag.read)();
}

void UITabBar::setTabVisible(int index, bool visible)
{
    changeTabFlag(index, visible, visibleFlag);
}

bool UITabBar::isTabVisible(int index) const
{
    return tabFlag(index, visibleFlag);
}

void UITabBar::setTabEnabled(int index, bool enabled)
{
    changeTabFlag(index, enabled, enabledFlag);
}

bool UITabBar::isTabEnabled(int index) const
{
    return tabFlag(index, enabledFlag);
}

void UITabBar::setTabCheckable(int index, bool checkable)
{
    if (UITabBarItem* item = tab(index))
        item->setCheckable(checkable);
}

void UITabBar::setTabChecked(int index, bool checked)
{
    if (UITabBarItem* item = tab(index))
        item->setChecked(checked);
}

void UITabBar::setTabId(int index, std::uint32_t low, std::uint32_t high)
{
    if (UITabBarItem* item = tab(index))
        item->setId(low, high);
}

UITabBarItem* UITabBar::tabAt(Point p) const
{
    return tab(tabIndexAt(p));
}

int UITabBar::tabIndexAt(Point p) const
{
    layoutTabs();
    int index = 0;
    for (UITabBarItem* item : m_tabs) {
        if (item->isVisible() && item->rect()->contains(p))
            return index;
        ++index;
    }
    return -1;
}

bool UITabBar::canBeCurrent(int index) const
{
    const UITabBarItem* item = tab(index);
    return item && item->isCheckable() && item->isEnabled();
}

void UITabBar::setCurrentIndex(int index)
{
    if (index != -1 && !canBeCurrent(index))
        return;
    if (!m_keepOneCurrent && index == m_currentIndex) {
        changeCurrent(-1);
        return;
    }
    changeCurrent(index);
}

void UITabBar::changeCurrent(int index)
{
    if (index == m_currentIndex)
        return;
    m_currentIndex = index;
    repaint();
    currentChanged.emit(index);
}

void UITabBar::setHoverIndex(int index)
{
    if (index == m_hoverIndex)
        return;
    m_hoverIndex = index;
    repaint();
}

int UITabBar::tabWidth(const UITabBarItem& tab, const Font& font) const
{
    int width = m_itemPadding.left + m_itemPadding.right;
    const bool hasIcon = !tab.icon().isNull();
    if (showsIcon(m_displayMode) && hasIcon)
        width += tab.icon().width();
    if (showsText(m_displayMode) && !tab.text().isEmpty()) {
        width += font.textWidth(tab.text().c_str(), tab.text().length());
        if (m_displayMode == IconAndText && hasIcon)
            width += m_itemIconAndTextSpacing;
    }
    return width;
}

int UITabBar::contentHeight(const Font& font) const
{
    int tallestIcon = 0;
    for (const UITabBarItem* item : m_tabs)
        tallestIcon = std::max(tallestIcon, item->icon().height());
    switch (m_displayMode) {
    case IconOnly:
        return tallestIcon;
    case IconAndText:
        return std::max(tallestIcon, font.height());
    default:
        return font.height();
    }
}

Size UITabBar::sizeHint() const
{
    const Font& font = m_text.font;
    int width = 0;
    int visible = 0;
    for (const UITabBarItem* item : m_tabs) {
        if (!item->isVisible())
            continue;
        width += tabWidth(*item, font);
        ++visible;
    }
    width += (visible - 1) * m_itemSpacing;
    const int height = contentHeight(font) + m_itemPadding.top + m_itemPadding.bottom;
    return Size{std::max(width, 0), std::max(height, m_minimumHeight)};
}

Rect UITabBar::stripRect() const
{
    const Size hint = sizeHint();
    return rect().alignedRect(hint.width, hint.height, m_stripAlignment);
}

void UITabBar::layoutTabs() const
{
    const Font& font = m_text.font;
    const Rect strip = stripRect();
    int x = strip.x;
    for (UITabBarItem* item : m_tabs) {
        if (!item->isVisible()) {
            *item->rect() = Rect();
            continue;
        }
        const int width = tabWidth(*item, font);
        *item->rect() = Rect(x, strip.y, width, strip.height);
        x += width + std::max(m_itemSpacing, 0);
    }
}

int UITabBar::tabBackgroundState(int index) const
{
    const UITabBarItem* item = tab(index);
    if (!item)
        return backgroundNormal;
    if (!isEnabled() || !item->isEnabled())
        return backgroundDisabled;
    if (index == m_currentIndex && item->isCheckable())
        return backgroundCurrent;
    if (index == m_hoverIndex)
        return isPressed() ? backgroundPressed : backgroundHover;
    return backgroundNormal;
}

int UITabBar::tabBackgroundMask(int index) const
{
    // Positions count every tab, hidden ones too.
    if (count() == 1)
        return loneTabMask;
    if (index == 0)
        return firstTabMask;
    if (index == count() - 1)
        return lastTabMask;
    return middleTabMask;
}

int UITabBar::iconState(int index, const UITabBarItem& item) const
{
    if (!isEnabled() || !item.isEnabled())
        return StateImages::Disabled;
    const bool pressedHere = isPressed() && index == m_hoverIndex;
    return pressedHere || index == m_currentIndex ? StateImages::Pressed : StateImages::Normal;
}

int UITabBar::separatorState(const List<UITabBarItem*>::Node* node) const
{
    const bool bothDisabled = !node->value->isEnabled() && !node->next->value->isEnabled();
    return !isEnabled() || bothDisabled ? separatorDisabled : separatorNormal;
}

void UITabBar::paintEvent(UIPaintEvent*)
{
    layoutTabs();
    Graphics g(backBuffer());
    UITabBarItem* current = nullptr;
    int index = 0;
    for (auto* node = m_tabs.first(); node; node = node->next, ++index) {
        UITabBarItem* item = node->value;
        if (!item->isVisible())
            continue;
        const Rect& r = *item->rect();
        if (index == m_currentIndex)
            current = item;
        else
            paintTab(g, index, *item);
        if (node->next && m_itemSpacing >= 1)
            m_separator.drawNineSlice(g, Rect(r.right(), r.y, m_itemSpacing, r.height), separatorState(node),
                                      SkinAllRegions);
    }
    // Over its neighbours.
    if (current)
        paintTab(g, m_currentIndex, *current);
}

void UITabBar::paintTab(Graphics& g, int index, UITabBarItem& item) const
{
    const Rect& r = *item.rect();
    m_itemBackground.drawNineSlice(g, r, tabBackgroundState(index), tabBackgroundMask(index));
    const int top = r.y + m_itemPadding.top;
    const int height = r.height - m_itemPadding.top - m_itemPadding.bottom;
    int x = r.x + m_itemPadding.left;
    const auto content = [&] { return Rect(x, top, r.right() - m_itemPadding.right - x, height); };
    if (showsIcon(m_displayMode) && !item.icon().isNull()) {
        item.icon().draw(g, content(), AlignLeft | AlignVCenter, iconState(index, item));
        x += item.icon().width();
    }
    if (!showsText(m_displayMode) || item.text().isEmpty())
        return;
    if (m_displayMode == IconAndText)
        x += m_itemIconAndTextSpacing;
    drawTabText(g, item, content());
}

void UITabBar::drawTabText(Graphics& g, const UITabBarItem& item, const Rect& box) const
{
    const bool enabled = isEnabled() && item.isEnabled();
    g.setFont(m_text.font.desc());
    UIAbstractButton::drawShadowedText(g, item.text(), box, AlignLeft | AlignVCenter,
                                       enabled ? m_text.foreground : m_text.disabledForeground,
                                       enabled ? m_text.shadowForeground : m_text.disabledShadowForeground,
                                       m_text.shadowOffset);
}

void UITabBar::mousePressEvent(UIMouseEvent*)
{
    repaint();
}

void UITabBar::mouseClickEvent(UIMouseEvent* event)
{
    const int index = tabIndexAt(event->position());
    const UITabBarItem* item = tab(index);
    if (!item || !item->isEnabled())
        return;
    if (item->isCheckable())
        setCurrentIndex(index);
    else
        repaint();
    tabClicked.emit(index);
}

void UITabBar::enterEvent(UIMouseEvent* event)
{
    setHoverIndex(tabIndexAt(event->position()));
}

void UITabBar::mouseMoveEvent(UIMouseEvent* event)
{
    setHoverIndex(tabIndexAt(event->position()));
}

void UITabBar::leaveEvent(UIMouseEvent*)
{
    setHoverIndex(-1);
}

String UITabBar::toolTip(Point p) const
{
    const UITabBarItem* item = tabAt(p);
    return item && item->isEnabled() ? item->toolTip() : String();
}

void UITabBar::setStyleProperty(const String& name, const String& value)
{
    if (m_text.read(name, value))
        return;
    const std::pair<const wchar_t*, int*> ints[] = {
        {L"itemIconAndTextSpacing", &m_itemIconAndTextSpacing},
        {L"itemSpacing", &m_itemSpacing},
        {L"itemHorizontalShift", &m_itemHorizontalShift},
        {L"itemVerticalShift", &m_itemVerticalShift},
        {L"itemOverlapSize", &m_itemOverlapSize},
        {L"minimumHeight", &m_minimumHeight},
    };
    for (const auto& [key, target] : ints) {
        if (name == String(key))
            *target = parseIntValue(value);
    }
    if (name == String(L"itemPadding"))
        m_itemPadding = parseMarginsValue(value);
    else if (name == String(L"padding"))
        m_padding = parseMarginsValue(value);
}

void UITabBar::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UITabBar_Separator"))
        m_separator = *skin;
    else if (skinName == String(L"UITabBar_ItemBackground"))
        m_itemBackground = *skin;
}
