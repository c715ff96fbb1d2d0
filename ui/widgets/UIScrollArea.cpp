#include "ui/widgets/UIScrollArea.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"

#include <algorithm>

namespace {

void fillWith(UIWidget& widget, const Brush& brush)
{
    if (!brush.isVisible())
        return;
    Graphics g(widget.backBuffer());
    g.fillRect(widget.rect(), brush);
}

Rect geometryOf(const UIWidget& widget)
{
    return Rect(widget.x(), widget.y(), widget.width(), widget.height());
}

// A bar shows by its policy: as needed only with something to scroll.
bool showsBar(UIScrollArea::ScrollBarPolicy policy, int maximum)
{
    return policy == UIScrollArea::ScrollBarAsNeeded ? maximum > 0 : true;
}

} // namespace

// ---- Viewport and corner ----

UIScrollAreaPart::UIScrollAreaPart(UIWidget* parent, const String& styleName, const Brush& background)
    : UIWidget(parent), m_background(background)
{
    setStyleName(styleName);
    setFlag(WidgetSeeThrough, false);
    setSizePolicy(SizeResizable, SizeResizable);
}

void UIScrollAreaPart::setStyleProperty(const String& name, const String& value)
{
    if (name == L"background")
        m_background = parseBrushValue(value);
}

void UIScrollAreaPart::paintEvent(UIPaintEvent*)
{
    fillWith(*this, m_background);
}

UIScrollAreaViewport::UIScrollAreaViewport(UIWidget* parent)
    : UIScrollAreaPart(parent, L"UIScrollAreaViewport", Brush())
{
    // The scroll area sizes the content; a grid here would fight it.
    setLayoutEnabled(false);
}

UIScrollAreaCorner::UIScrollAreaCorner(UIWidget* parent)
    : UIScrollAreaPart(parent, L"UIScrollAreaCorner", Brush(unsetStyleColour))
{
}

// ---- Scroll area ----

UIScrollArea::UIScrollArea(UIWidget* parent) : UIWidget(parent)
{
    // The area places its children itself.
    setLayoutEnabled(false);
    setStyleName(L"UIScrollArea");
    setSizePolicy(SizeResizable, SizeResizable);
    setFlag(WidgetSeeThrough, false);
    setUpdatesEnabled(false);
    m_viewport = new UIScrollAreaViewport(this);
    m_verticalBar = new UIScrollBar(this);
    m_verticalBar->setOrientation(Orientation::Vertical);
    m_verticalBar->setSingleStep(1);
    m_horizontalBar = new UIScrollBar(this);
    m_horizontalBar->setSingleStep(20);
    m_viewport->show();
    m_corner = new UIScrollAreaCorner(this);
    setUpdatesEnabled(true);
    for (UIScrollBar* bar : {m_verticalBar, m_horizontalBar}) {
        bar->valueChanged.connect(this, &UIScrollArea::updateContentPosition);
        bar->mousePressed.connect(this, &UIScrollArea::onBarPressed);
        bar->mouseReleased.connect(this, &UIScrollArea::onBarReleased);
    }
}

void UIScrollArea::setStyleProperty(const String& name, const String& value)
{
    if (name == L"background")
        m_background = parseBrushValue(value);
}

void UIScrollArea::setContentWidget(UIWidget* content)
{
    if (content != m_content)
        delete m_content;
    m_content = content;
    if (content) {
        content->setParent(m_viewport);
        content->mouseMoved.connect(this, &UIScrollArea::onContentMoved);
        content->mousePressed.connect(this, &UIScrollArea::onContentPressed);
        content->mouseReleased.connect(this, &UIScrollArea::onContentReleased);
    }
    relayout();
}

void UIScrollArea::updateContentPosition(int, int)
{
    if (m_content)
        m_content->setContentOffset(-m_horizontalBar->value(), -m_verticalBar->value());
}

Size UIScrollArea::viewportSize() const
{
    return m_viewport->size();
}

Size UIScrollArea::sizeHint() const
{
    const Size h = m_horizontalBar->sizeHint();
    const Size v = m_verticalBar->sizeHint();
    if (m_horizontalPolicy != ScrollBarNever && m_verticalPolicy != ScrollBarNever)
        return {v.width + h.width, h.height + v.height};
    if (m_horizontalPolicy != ScrollBarNever)
        return h;
    return m_verticalPolicy != ScrollBarNever ? v : Size{v.width, v.width};
}

// ---- Layout ----

void UIScrollArea::relayout()
{
    if (m_layoutDepth >= 2 || !m_content || !testFlag(WidgetVisible))
        return;
    ++m_layoutDepth;
    relayoutContent();
    --m_layoutDepth;
}

void UIScrollArea::relayoutContent()
{
    if (!m_scrollBarsEnabled) {
        giveContentWholeArea();
        return;
    }
    const Size area = size();
    const Rect contentBefore = geometryOf(*m_content);
    const Size needed = m_content->minimumSizeHint();
    const Size vertical = m_verticalBar->sizeHint();
    const Size horizontal = m_horizontalBar->sizeHint();
    const Decision d = decide(area, needed, vertical, horizontal);
    placeBars(d, area, vertical, horizontal);
    m_verticalBar->setDocumentLength(needed.height);
    m_horizontalBar->setDocumentLength(needed.width);
    // A new range re-clamps the value, which moves the content with it.
    if (d.canVertical)
        m_verticalBar->setRange(0, d.verticalMaximum);
    if (d.canHorizontal)
        m_horizontalBar->setRange(0, d.horizontalMaximum);
    showBars(d);
    m_content->setGeometry(m_viewport->rect());
    // Content whose needed height follows its width asks again once.
    if (geometryOf(*m_content) != contentBefore && m_content->minimumSizeHint() != needed)
        relayout();
    updatePageSteps();
}

UIScrollArea::Decision UIScrollArea::decide(Size area, Size content, Size vertical, Size horizontal) const
{
    const int W = area.width;
    const int H = area.height;
    Decision d;
    d.canVertical = m_verticalPolicy != ScrollBarNever && W >= vertical.width && H >= vertical.height + horizontal.height;
    d.canHorizontal = m_horizontalPolicy != ScrollBarNever && H >= horizontal.height && W >= horizontal.width + vertical.width;
    if (d.canVertical && d.canHorizontal) {
        d.verticalMaximum = std::max(content.height - (H - horizontal.height), 0);
        d.showVertical = showsBar(m_verticalPolicy, d.verticalMaximum);
        const int viewWidth = d.showVertical ? W - vertical.width : W;
        d.horizontalMaximum = std::max(content.width - viewWidth, 0);
        d.showHorizontal = showsBar(m_horizontalPolicy, d.horizontalMaximum);
        // Without the horizontal bar the vertical one may not be needed either.
        if (m_horizontalPolicy == ScrollBarAsNeeded && !d.showHorizontal && d.showVertical) {
            d.verticalMaximum = std::max(content.height - H, 0);
            d.showVertical = showsBar(m_verticalPolicy, d.verticalMaximum);
        }
    } else if (d.canVertical) {
        d.verticalMaximum = std::max(content.height - H, 0);
        d.showVertical = showsBar(m_verticalPolicy, d.verticalMaximum);
    } else if (d.canHorizontal) {
        d.horizontalMaximum = std::max(content.width - W, 0);
        d.showHorizontal = showsBar(m_horizontalPolicy, d.horizontalMaximum);
    }
    return d;
}

void UIScrollArea::placeBars(const Decision& d, Size area, Size vertical, Size horizontal)
{
    const int W = area.width;
    const int H = area.height;
    const int vw = vertical.width;
    const int hh = horizontal.height;
    if (d.showVertical && d.showHorizontal) {
        m_viewport->setGeometry(0, 0, W - vw, H - hh);
        m_verticalBar->setGeometry(W - vw, 0, vw, H - hh);
        m_horizontalBar->setGeometry(0, H - hh, W - vw, hh);
        m_corner->setGeometry(W - vw, H - hh, vw, hh);
    } else if (d.showVertical) {
        m_viewport->setGeometry(0, 0, W - vw, H);
        m_verticalBar->setGeometry(W - vw, 0, vw, H);
    } else if (d.showHorizontal) {
        m_viewport->setGeometry(0, 0, W, H - hh);
        m_horizontalBar->setGeometry(0, H - hh, W, hh);
    } else {
        m_viewport->setGeometry(0, 0, W, H);
    }
}

void UIScrollArea::showBars(const Decision& d)
{
    if (d.showVertical && d.showHorizontal) {
        m_verticalBar->show();
        m_horizontalBar->show();
        m_corner->show();
        return;
    }
    m_corner->hide();
    m_verticalBar->setVisible(d.showVertical);
    m_horizontalBar->setVisible(d.showHorizontal);
}

void UIScrollArea::updatePageSteps()
{
    const Size page = viewportSize();
    if (page.width > 0)
        m_horizontalBar->setPageStep(std::min(m_horizontalBar->documentLength(), page.width));
    if (page.height > 0)
        m_verticalBar->setPageStep(std::min(m_verticalBar->documentLength(), page.height));
}

void UIScrollArea::giveContentWholeArea()
{
    m_viewport->setGeometry(0, 0, width(), height());
    if (m_content)
        m_content->setGeometry(m_viewport->rect());
}

void UIScrollArea::resizeEvent(UIResizeEvent*)
{
    relayout();
}

void UIScrollArea::setHorizontalScrollBarPolicy(ScrollBarPolicy policy)
{
    m_horizontalPolicy = policy;
    updateLayout();
    relayout();
}

void UIScrollArea::setVerticalScrollBarPolicy(ScrollBarPolicy policy)
{
    m_verticalPolicy = policy;
    updateLayout();
    relayout();
}

void UIScrollArea::setScrollBarsEnabled(bool enabled)
{
    if (enabled == m_scrollBarsEnabled)
        return;
    m_scrollBarsEnabled = enabled;
    if (enabled) {
        relayout();
        return;
    }
    m_corner->hide();
    m_verticalBar->hide();
    m_horizontalBar->hide();
    giveContentWholeArea();
}

// ---- Scrolling ----

void UIScrollArea::scrollToTop()
{
    m_verticalBar->setToMinimum();
}

void UIScrollArea::scrollToBottom()
{
    m_verticalBar->setToMaximum();
}

void UIScrollArea::scrollToLeft()
{
    m_horizontalBar->setToMinimum();
}

void UIScrollArea::scrollToRight()
{
    m_horizontalBar->setToMaximum();
}

void UIScrollArea::scrollUp()
{
    m_verticalBar->stepDown();
}

void UIScrollArea::scrollDown()
{
    m_verticalBar->stepUp();
}

void UIScrollArea::scrollLeft()
{
    m_horizontalBar->stepDown();
}

void UIScrollArea::scrollRight()
{
    m_horizontalBar->stepUp();
}

void UIScrollArea::pageUp()
{
    m_verticalBar->setValue(m_verticalBar->value() - m_verticalBar->pageStep());
}

void UIScrollArea::pageDown()
{
    m_verticalBar->setValue(m_verticalBar->value() + m_verticalBar->pageStep());
}

void UIScrollArea::scrollToVerticalStep(int steps)
{
    m_verticalBar->setValue(m_verticalBar->singleStep() * steps);
}

void UIScrollArea::scrollToHorizontalStep(int steps)
{
    m_horizontalBar->setValue(m_horizontalBar->singleStep() * steps);
}

void UIScrollArea::setVerticalValue(int value)
{
    m_verticalBar->setValue(value);
}

void UIScrollArea::setHorizontalValue(int value)
{
    m_horizontalBar->setValue(value);
}

void UIScrollArea::setVerticalSingleStep(int step)
{
    m_verticalBar->setSingleStep(step);
}

void UIScrollArea::setHorizontalSingleStep(int step)
{
    m_horizontalBar->setSingleStep(step);
}

int UIScrollArea::verticalSingleStep() const
{
    return m_verticalBar->singleStep();
}

int UIScrollArea::horizontalSingleStep() const
{
    return m_horizontalBar->singleStep();
}

void UIScrollArea::setViewportBackground(const Brush& brush)
{
    m_viewport->setBackground(brush);
}

void UIScrollArea::setCornerBackground(const Brush& brush)
{
    m_corner->setBackground(brush);
}

// ---- Wheel and drag scrolling ----

bool UIScrollArea::isBarShown(const UIScrollBar* bar) const
{
    return bar->testFlag(WidgetVisible);
}

void UIScrollArea::wheelEvent(UIWheelEvent* event)
{
    scrollByWheel(event);
}

void UIScrollArea::scrollByWheel(UIWheelEvent* event)
{
    if (m_content && m_content->testFlag(WidgetKeyHeld))
        return;
    const int direction = event->direction();
    if (isBarShown(m_verticalBar)) {
        if (direction == WheelDown)
            m_verticalBar->stepUp();
        else if (direction == WheelUp)
            m_verticalBar->stepDown();
        return;
    }
    if (!isBarShown(m_horizontalBar))
        return;
    if (direction == WheelLeft || direction == WheelDown)
        m_horizontalBar->stepUp();
    else
        m_horizontalBar->stepDown();
}

void UIScrollArea::onBarPressed(UIMouseEvent*)
{
    if (m_content)
        m_content->repaint();
}

void UIScrollArea::onBarReleased(UIMouseEvent*)
{
    if (m_content)
        m_content->setFocus();
}

void UIScrollArea::onContentPressed(UIMouseEvent* event)
{
    if (!m_dragScrollEnabled || event->button() != RightButton)
        return;
    m_dragLastPoint = event->position();
    m_savedCursor = m_content->cursor();
    m_content->setCursor(m_dragCursor);
}

void UIScrollArea::onContentMoved(UIMouseEvent* event)
{
    const Point p = event->position();
    if (!m_dragScrollEnabled || !event->buttons().testFlag(RightButton) || p == m_dragLastPoint)
        return;
    // The content follows the pointer.
    if (isBarShown(m_horizontalBar))
        m_horizontalBar->setValue(m_dragLastPoint.x - p.x - m_content->contentOffsetX());
    if (isBarShown(m_verticalBar))
        m_verticalBar->setValue(m_dragLastPoint.y - p.y - m_content->contentOffsetY());
    m_dragLastPoint = p;
}

void UIScrollArea::onContentReleased(UIMouseEvent* event)
{
    if (m_dragScrollEnabled && event->button() == RightButton)
        m_content->setCursor(m_savedCursor);
}

void UIScrollArea::paintEvent(UIPaintEvent*)
{
    fillWith(*this, m_background);
}

UIScrollArea* holdingScrollArea(const UIWidget* content)
{
    UIWidget* viewport = content->parent();
    return viewport ? dynamic_cast<UIScrollArea*>(viewport->parent()) : nullptr;
}
