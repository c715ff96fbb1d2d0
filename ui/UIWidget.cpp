#include "ui/UIWidget.h"

#include "foundation/Dispatcher.h"
#include "graphics/Font.h"
#include "graphics/Screen.h"
#include "ui/UIDragManager.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"
#include "ui/UINativeWindow.h"
#include "ui/UIToolkitHooks.h"
#include "ui/UIWidgetPrivate.h"

#include <algorithm>

UIWidget::UIWidget(UIWidget* parent, std::uint32_t windowFlags)
    : m_private(new UIWidgetPrivate(this, windowFlags))
{
    ensureBackBuffer(1, 1);
    m_private->parent = parent;
    UIManager::instance()->registerWidget(this);
    if (parent)
        parent->m_children.append(this);
}

UIWidget::~UIWidget()
{
    destroy();
    // destroy does nothing for a widget that was never created, yet the
    // parent must not keep a dangling child nor the children leak.
    setBeingDestroyed();
    releaseMouse();
    clearFocus();
    // Before the children: a context menu that is also a child is read for
    // its parent here and deleted with the children.
    deleteOwnedContextMenu();
    unlinkAndDeleteChildren();
    UIDragManager::forgetWidget(this);
    UIManager::instance()->unregisterWidget(this);
    delete m_private;
}

// The widget took the menu with setContextMenu, so it goes with the widget;
// a menu that lives in some widget tree is that tree's to delete.
void UIWidget::deleteOwnedContextMenu()
{
    UIWidget* menu = m_private->contextMenu;
    m_private->contextMenu = nullptr;
    if (menu && !menu->parent())
        delete menu;
}

// ---- Virtual defaults ----

void UIWidget::retranslate() {}

Size UIWidget::sizeHint() const
{
    return {};
}

Size UIWidget::minimumSizeHint() const
{
    return {};
}

void UIWidget::setStyleProperty(const String&, const String&) {}

void UIWidget::setStyleOption(const String&, const String&) {}

void UIWidget::setStyleImage(const String&, UISkin*) {}

Cursor UIWidget::cursorAt(Point) const
{
    return m_private->cursor;
}

void UIWidget::setContentOffset(int horizontal, int vertical)
{
    if (storeContentOffset(horizontal, vertical))
        repaint();
}

bool UIWidget::storeContentOffset(int horizontal, int vertical)
{
    if (horizontal == m_contentOffsetX && vertical == m_contentOffsetY)
        return false;
    toolkitHooks().hideToolTipFor(this);
    m_contentOffsetX = horizontal;
    m_contentOffsetY = vertical;
    return true;
}

void UIWidget::move(int x, int y)
{
    if (x == m_x && y == m_y)
        return;
    if (isWindow()) {
        nativeWindow()->move(x, y);
        return;
    }
    UIMoveEvent moveEvent({x, y}, pos());
    dispatcher()->sendEvent(&moveEvent, this);
}

void UIWidget::resize(int width, int height)
{
    if ((width == m_width && height == m_height) || !testFlag(WidgetCreated))
        return;
    if (isWindow()) {
        nativeWindow()->resize(width, height);
        return;
    }
    UIResizeEvent resizeEvent({width, height}, size());
    dispatcher()->sendEvent(&resizeEvent, this);
}

Rect UIWidget::inputMethodRect() const
{
    return Rect::empty;
}

Font UIWidget::inputMethodFont() const
{
    return Font(FontDesc());
}

String UIWidget::toolTip(Point) const
{
    return m_private->toolTip;
}

namespace {

// The largest monitor, so a resizable window never outgrows its surface.
Size largestMonitorSize()
{
    Size best;
    for (const Rect& r : Screen::monitorRects(false)) {
        if (r.width > best.width || r.height > best.height)
            best = r.size();
    }
    return best;
}

} // namespace

void UIWidget::setStyleName(const String& name)
{
    storeStyleName(name);
    if (isWindow() && !testFlag(WidgetCreated)) {
        // A second setStyleName must not make a second platform window.
        m_private->ensureNativeWindow();
        if (!nativeHandle())
            m_private->nativeWindow->create();
        const Size surface = testWindowFlag(WindowResizable) ? largestMonitorSize() : frameSize();
        ensureWindowSurface(surface.width, surface.height);
    }
    setFlagBit(WidgetCreated, true);
    setVisible(false);
    setCursor(Cursor(CursorArrow));
    const UITheme* theme = UIManager::instance()->theme();
    if (!theme)
        return;
    applyModelProperties(theme->models());
    const String prefix = name + L'_';
    // Only the skins this class takes get decoded. Widgets copy what they
    // are handed; the theme's own skins stay as loaded.
    for (int i = 0; i < theme->skinCount(); ++i) {
        if (!theme->skinName(i).startsWith(prefix))
            continue;
        const auto& [skinName, skin] = theme->skinAt(i);
        setStyleImage(skinName, const_cast<UISkin*>(&skin));
    }
}

void UIWidget::applyModelProperties(const XmlElement* models)
{
    if (!models)
        return;
    const String& name = styleName();
    const XmlElement* style = models->attribute(L"name") == name ? models : models->findChildByAttribute(L"name", name);
    if (!style)
        return;
    for (const XmlElement* property : style->children())
        setStyleProperty(property->attribute(L"name"), property->attribute(L"data"));
}

// ---- Tree ----

UIWidget* UIWidget::parent() const
{
    return m_private->parent;
}

void UIWidget::setParent(UIWidget* newParent)
{
    UIWidget* old = parent();
    if (newParent == old)
        return;
    forgetTopLevel();
    if (old) {
        old->m_children.removeValue(this);
        old->updateLayout();
        m_private->parent = nullptr;
    }
    if (!newParent)
        return;
    m_private->parent = newParent;
    if (!newParent->testFlag(WidgetCreated))
        return;
    newParent->m_children.append(this);
    newParent->updateLayout();
}

UIWidget* UIWidget::child(int i) const
{
    return m_children.nodeAt(std::max(i, 0))->value;
}

// The descendants cached the same window and move with this widget.
void UIWidget::forgetTopLevel()
{
    m_private->topLevel = nullptr;
    for (UIWidget* child : m_children) {
        if (!child->isWindow())
            child->forgetTopLevel();
    }
}

UIWidget* UIWidget::topLevelWidget() const
{
    if (m_private->topLevel)
        return m_private->topLevel;
    const UIWidget* w = this;
    while (w && !w->isWindow())
        w = w->parent();
    m_private->topLevel = const_cast<UIWidget*>(w);
    return m_private->topLevel;
}

UIWidget* UIWidget::nativeParentWidget() const
{
    for (UIWidget* w = parent(); w; w = w->parent()) {
        if (w->isWindow())
            return w;
    }
    return nullptr;
}

bool UIWidget::isDescendantOf(const UIWidget* widget) const
{
    if (!widget)
        return false;
    for (const UIWidget* w = parent(); w; w = w->parent()) {
        if (w == widget)
            return true;
    }
    return false;
}

bool UIWidget::isAncestorOf(const UIWidget* widget) const
{
    return widget && widget->isDescendantOf(this);
}

int UIWidget::depth() const
{
    if (!parent())
        return -1;
    int count = 0;
    for (const UIWidget* w = parent(); w; w = w->parent()) {
        if (w->isWindow())
            return count;
        ++count;
    }
    return count - 1;
}

UIWidget* UIWidget::childAt(Point p) const
{
    if (!hasChildren() || !isVisible())
        return nullptr;
    // The walk only enters visible plain children of a visible widget, so a
    // child's own flag tells whether it is visible, and the point moves
    // into each child by its position: no walk up the tree per child, which
    // made deep trees quadratic.
    UIWidget* found = nullptr;
    const UIWidget* current = this;
    while (current) {
        UIWidget* hit = nullptr;
        for (UIWidget* c : current->m_children) {
            if (c->isWindow() || c->testFlag(WidgetMouseTransparent) || !c->testFlag(WidgetVisible))
                continue;
            const Point inChild = c->mapFromParent(p);
            if (c->rect().contains(inChild)) {
                hit = c;
                p = inChild;
                break;
            }
        }
        if (!hit)
            break;
        found = hit;
        current = hit->hasChildren() ? hit : nullptr;
    }
    return found;
}

namespace {

void appendDescendants(const List<UIWidget*>& children, List<UIWidget*>& out)
{
    for (UIWidget* c : children) {
        out.append(c);
        appendDescendants(c->children(), out);
    }
}

} // namespace

List<UIWidget*> UIWidget::descendants() const
{
    List<UIWidget*> out;
    appendDescendants(m_children, out);
    return out;
}

List<UIWidget*> UIWidget::ancestors(bool stopAtWindow) const
{
    List<UIWidget*> out;
    for (UIWidget* w = parent(); w; w = w->parent()) {
        out.append(w);
        if (stopAtWindow && w->isWindow())
            break;
    }
    return out;
}

int UIWidget::id() const
{
    return m_private->id;
}

const String& UIWidget::styleName() const
{
    return m_private->styleName;
}

std::uint64_t UIWidget::styleNameHash() const
{
    return m_private->styleNameHash;
}

void UIWidget::storeStyleName(const String& name)
{
    m_private->styleName = name;
    m_private->styleNameHash = name.hash();
}

void UIWidget::setUserPointer(void* pointer)
{
    m_private->userPointer = pointer;
}

void* UIWidget::userPointer() const
{
    return m_private->userPointer;
}

void UIWidget::setUserValue(std::uint64_t value)
{
    m_private->userValue = value;
}

std::uint64_t UIWidget::userValue() const
{
    return m_private->userValue;
}

void UIWidget::setUserText(const String& text)
{
    m_private->userText = text;
}

const String& UIWidget::userText() const
{
    return m_private->userText;
}

void UIWidget::close()
{
    auto* closeEvent = new UICloseEvent;
    closeEvent->accept();
    dispatcher()->postEvent(closeEvent, this);
}

void UIWidget::setFlag(std::uint32_t bit, bool on)
{
    if (testFlag(bit) == on)
        return;
    switch (bit) {
    case WidgetWindow:
        if (on)
            m_private->ensureNativeWindow();
        setFlagBit(bit, on);
        return;
    case WidgetEnabled:
        setEnabledFlag(on);
        return;
    case WidgetVisible:
        setVisibleFlag(on);
        return;
    case WidgetSeeThrough:
        setFlagBit(bit, on);
        if (on)
            repaint();
        return;
    default:
        setFlagBit(bit, on);
    }
}

bool UIWidget::testFlag(std::uint32_t mask) const
{
    return (m_private->flags & mask) != 0;
}

void UIWidget::setFlagBit(std::uint32_t bit, bool on)
{
    if (on)
        m_private->flags |= bit;
    else
        m_private->flags &= ~bit;
}

// ---- Geometry ----

void UIWidget::frameMarginsOf(int* left, int* top, int* right, int* bottom) const
{
    *left = *top = *right = *bottom = 0;
    if (m_private->nativeWindow)
        m_private->nativeWindow->frameMargins(left, top, right, bottom);
}

Rect UIWidget::geometry() const
{
    if (!isWindow())
        return {m_x, m_y, m_width, m_height};
    int left, top, right, bottom;
    frameMarginsOf(&left, &top, &right, &bottom);
    return {m_x + left, m_y + top, m_width, m_height};
}

Rect UIWidget::frameGeometry() const
{
    int left, top, right, bottom;
    frameMarginsOf(&left, &top, &right, &bottom);
    return {m_x, m_y, m_width + left + right, m_height + top + bottom};
}

Size UIWidget::frameSize() const
{
    return frameGeometry().size();
}

Size UIWidget::preferredFrameSize()
{
    if (m_preferredSize.width < 1 || m_preferredSize.height < 1)
        m_preferredSize = preferredSize();
    int left, top, right, bottom;
    frameMarginsOf(&left, &top, &right, &bottom);
    return {m_preferredSize.width + left + right, m_preferredSize.height + top + bottom};
}

void UIWidget::setGeometry(int x, int y, int width, int height)
{
    if (isWindow()) {
        int left, top, right, bottom;
        frameMarginsOf(&left, &top, &right, &bottom);
        x -= left;
        y -= top;
    }
    move(x, y);
    resize(width, height);
}

void UIWidget::setMinimumSize(int width, int height)
{
    m_minimumWidth = width;
    m_minimumHeight = height;
    resize(std::max(m_width, width), std::max(m_height, height));
}

void UIWidget::setMaximumSize(int width, int height)
{
    m_maximumWidth = width;
    m_maximumHeight = height;
    resize(std::min(m_width, width), std::min(m_height, height));
}

void UIWidget::setMinimumWidth(int width)
{
    m_minimumWidth = width;
    resize(std::max(m_width, m_minimumWidth), std::max(m_height, m_minimumHeight));
}

void UIWidget::setMinimumHeight(int height)
{
    m_minimumHeight = height;
    resize(std::max(m_width, m_minimumWidth), std::max(m_height, m_minimumHeight));
}

namespace {

// A stored maximum of 0 is no bound, so it must not collapse the side.
int boundedBy(int side, int maximum)
{
    return maximum > 0 ? std::min(side, maximum) : side;
}

} // namespace

void UIWidget::setMaximumWidth(int width)
{
    m_maximumWidth = width;
    resize(boundedBy(m_width, m_maximumWidth), boundedBy(m_height, m_maximumHeight));
}

void UIWidget::setMaximumHeight(int height)
{
    m_maximumHeight = height;
    resize(boundedBy(m_width, m_maximumWidth), boundedBy(m_height, m_maximumHeight));
}

Point UIWidget::mapToParent(Point p) const
{
    if (isWindow())
        return mapToGlobal(p);
    return {p.x + m_x, p.y + m_y};
}

Point UIWidget::mapFromParent(Point p) const
{
    return {p.x - m_x, p.y - m_y};
}

Point UIWidget::mapToWindow(Point p) const
{
    for (const UIWidget* w = this; w && !w->isWindow(); w = w->parent()) {
        p.x += w->m_x;
        p.y += w->m_y;
    }
    return p;
}

Point UIWidget::mapFromWindow(Point p) const
{
    const Point offset = mapToWindow({0, 0});
    return {p.x - offset.x, p.y - offset.y};
}

Point UIWidget::mapToGlobal(Point p) const
{
    p = mapToWindow(p);
    const UIWidget* window = topLevelWidget();
    if (!window)
        return p;
    int left, top, right, bottom;
    window->frameMarginsOf(&left, &top, &right, &bottom);
    return {p.x + window->m_x + left, p.y + window->m_y + top};
}

Point UIWidget::mapFromGlobal(Point p) const
{
    const Point offset = mapToGlobal({0, 0});
    return {p.x - offset.x, p.y - offset.y};
}

Point UIWidget::mapTo(const UIWidget* other, Point p) const
{
    return other->mapFromGlobal(mapToGlobal(p));
}

Point UIWidget::mapFrom(const UIWidget* other, Point p) const
{
    return mapFromGlobal(other->mapToGlobal(p));
}

Rect UIWidget::globalRect() const
{
    const Point topLeft = mapToGlobal({0, 0});
    return {topLeft.x, topLeft.y, m_width, m_height};
}

// ---- Tool tip, context menu, cursor ----

void UIWidget::setToolTip(const String& text)
{
    m_private->toolTip = text;
}

const String& UIWidget::toolTipText() const
{
    return m_private->toolTip;
}

void UIWidget::setToolTipMaxLength(int length)
{
    m_private->toolTipMaxLength = length;
}

int UIWidget::toolTipMaxLength() const
{
    return m_private->toolTipMaxLength;
}

void UIWidget::setToolTipOption(int key)
{
    m_private->toolTipKey = key;
}

int UIWidget::toolTipOption() const
{
    return m_private->toolTipKey;
}

void UIWidget::setToolTipShowDelay(int ms)
{
    m_private->toolTipShowDelay = ms;
}

int UIWidget::toolTipShowDelay() const
{
    return m_private->toolTipShowDelay;
}

void UIWidget::setToolTipHideDelay(int ms)
{
    m_private->toolTipHideDelay = ms;
}

int UIWidget::toolTipHideDelay() const
{
    return m_private->toolTipHideDelay;
}

void UIWidget::setAutoToolTip(bool on)
{
    m_private->autoToolTip = on;
    if (!on)
        m_private->toolTip.clear();
}

bool UIWidget::hasAutoToolTip() const
{
    return m_private->autoToolTip;
}

void UIWidget::setContextMenu(UIWidget* menu)
{
    if (m_private->contextMenu && m_private->contextMenu != menu)
        delete m_private->contextMenu;
    m_private->contextMenu = menu;
}

UIWidget* UIWidget::contextMenu() const
{
    return m_private->contextMenu;
}

void UIWidget::setCursor(const Cursor& cursor)
{
    if (cursor == m_private->cursor)
        return;
    m_private->cursor = cursor;
    if (isVisible())
        applyCursor(cursorAt(Point::origin));
}

Cursor UIWidget::cursor() const
{
    return m_private->cursor;
}
