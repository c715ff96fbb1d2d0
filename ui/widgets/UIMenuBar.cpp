#include "ui/widgets/UIMenuBar.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/widgets/ItemHitTest.h"
#include "ui/widgets/UIAbstractButton.h"
#include "ui/widgets/UIMenu.h"

namespace {

constexpr Size menuBarSizeHint(100, 24);

} // namespace

// ---- Entries ----

void UIMenuBarItem::setText(const String& text)
{
    if (text == this->text())
        return;
    UIItem::setText(text);
    repaintOwner();
}

void UIMenuBarItem::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    repaintOwner();
}

void UIMenuBarItem::setVisible(bool on)
{
    if (on == m_visible)
        return;
    m_visible = on;
    if (!on)
        m_rect = Rect();
    repaintOwner();
}

void UIMenuBarItem::repaintOwner()
{
    if (m_owner)
        m_owner->repaint();
}

// ---- The bar ----

UIMenuBar::UIMenuBar(UIWidget* parent) : UIWidget(parent), m_font(FontDesc())
{
    setStyleName(L"UIMenuBar");
    setFlag(WidgetSeeThrough, false);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(ClickFocus | TabFocus);
    setSizePolicy(SizeResizable, SizeFixed);
}

UIMenuBar::~UIMenuBar()
{
    killTimer(menuBarTimerId);
    for (UIMenuBarItem* item : m_items)
        delete item;
}

UIMenuBarItem* UIMenuBar::addItem(const String& text)
{
    auto* item = new UIMenuBarItem(this);
    item->UIItem::setText(text);
    m_items.append(item);
    return item;
}

UIMenuBarItem* UIMenuBar::item(int index) const
{
    auto* node = m_items.nodeAt(index);
    return node ? node->value : nullptr;
}

Size UIMenuBar::sizeHint() const
{
    return menuBarSizeHint;
}

void UIMenuBar::layoutItems()
{
    const int padding = m_style.itemPadding.left + m_style.itemPadding.right;
    int x = 0;
    for (UIMenuBarItem* item : m_items) {
        if (!item->isVisible())
            continue;
        const int width = padding + m_font.textSize(item->text()).width;
        item->setRect(Rect(x, 0, width, height()));
        x += width;
    }
}

UIMenuBarItem* UIMenuBar::itemAt(Point p) const
{
    return visibleItemAt(m_items, p);
}

// ---- Opening and closing ----

void UIMenuBar::setOpenItem(UIMenuBarItem* item)
{
    if (item == m_openItem)
        return;
    if (m_openItem && m_openItem->menu()) {
        killTimer(menuBarTimerId);
        m_openItem->menu()->hide();
    }
    if (!item || !item->menu() || !item->isEnabled()) {
        m_openItem = nullptr;
        repaint();
        return;
    }
    m_openItem = item;
    // Opened by a call before any paint, the entry has no rectangle yet.
    layoutItems();
    const Rect& r = item->rect();
    item->menu()->popup(mapToGlobal(Point(r.x, r.bottom())));
    startTimer(menuBarTimerId, TimerClient::shortTimerInterval());
    repaint();
}

bool UIMenuBar::anyMenuVisible() const
{
    for (const UIMenuBarItem* item : m_items) {
        if (item->menu() && item->menu()->isVisible())
            return true;
    }
    return false;
}

void UIMenuBar::closeOpenMenu()
{
    if (m_openItem && m_openItem->menu())
        m_openItem->menu()->hide();
    m_openItem = nullptr;
    repaint();
}

// ---- Painting ----

void UIMenuBar::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_style.background);
    if (!m_style.backgroundSkin.isNull())
        m_style.backgroundSkin.drawNineSlice(g, rect(), 0, SkinAllRegions);
    layoutItems();
    g.setFont(m_style.text.font);
    for (const UIMenuBarItem* item : m_items) {
        if (item->isVisible())
            paintItem(g, item);
    }
}

void UIMenuBar::paintItem(Graphics& g, const UIMenuBarItem* item)
{
    const Rect& r = item->rect();
    const Pen* pen = &m_style.text.foreground;
    const Pen* shadow = &m_style.text.shadowForeground;
    if (item == m_openItem) {
        g.fillRect(r, m_style.selectedItemBackground);
        pen = &m_style.selectedItemForeground;
        shadow = &m_style.selectedItemShadowForeground;
    } else if (item == m_hoveredItem) {
        g.fillRect(r, m_style.hoveredItemBackground);
        pen = &m_style.hoveredItemForeground;
        shadow = &m_style.hoveredItemShadowForeground;
    }
    UIAbstractButton::drawShadowedText(g, item->text(), r, AlignCenter, *pen, *shadow, m_style.text.shadowOffset);
}

// ---- Style ----

void UIMenuBar::setStyleProperty(const String& name, const String& value)
{
    Style& s = m_style;
    if (s.text.setProperty(name, value))
        m_font.setDesc(s.text.font);
    else if (name == L"background")
        s.background = parseBrushValue(value);
    else if (name == L"padding")
        s.padding = parseMarginsValue(value);
    else if (name == L"itemPadding")
        s.itemPadding = parseMarginsValue(value);
    else if (name == L"hoveredItemBackground")
        s.hoveredItemBackground = parseBrushValue(value);
    else if (name == L"hoveredItemForeground")
        s.hoveredItemForeground = parsePenValue(value);
    else if (name == L"hoveredItemShadowForeground")
        s.hoveredItemShadowForeground = parsePenValue(value);
    else if (name == L"selectedItemBackground")
        s.selectedItemBackground = parseBrushValue(value);
    else if (name == L"selectedItemForeground")
        s.selectedItemForeground = parsePenValue(value);
    else if (name == L"selectedItemShadowForeground")
        s.selectedItemShadowForeground = parsePenValue(value);
}

void UIMenuBar::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == L"UIMenuBar_Background")
        m_style.backgroundSkin = *skin;
}

// ---- Events ----

void UIMenuBar::mousePressEvent(UIMouseEvent* e)
{
    if (e->button() != LeftButton)
        return;
    layoutItems();
    setOpenItem(itemAt(e->position()));
}

void UIMenuBar::mouseMoveEvent(UIMouseEvent* e)
{
    layoutItems();
    UIMenuBarItem* under = itemAt(e->position());
    if (under && !under->isEnabled())
        under = nullptr;
    if (under != m_hoveredItem) {
        m_hoveredItem = under;
        repaint();
    }
    if (m_openItem && under && under != m_openItem && under->menu())
        setOpenItem(under);
}

void UIMenuBar::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIMenuBar::leaveEvent(UIMouseEvent*)
{
    m_hoveredItem = nullptr;
    repaint();
}

// The open menu closes itself on a choice, Escape, focus loss or a press
// elsewhere; the bar only learns of it here.
void UIMenuBar::customEvent(UICustomEvent* e)
{
    if (e->code() != menuBarTimerId || anyMenuVisible())
        return;
    killTimer(menuBarTimerId);
    closeOpenMenu();
}
