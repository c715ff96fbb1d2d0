// Keyboard focus, mouse grab, the Tab chain, visibility, enabling,
// destruction and modal loops. The focus widget and the grabber are plain
// process-wide values: the toolkit runs on the UI thread only.

#include "ui/UIWidget.h"

#include "foundation/Dispatcher.h"
#include "foundation/EventLoop.h"
#include "ui/TrayIcon.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIToolkitHooks.h"
#include "ui/UIWidgetPrivate.h"

namespace {

UIWidget* focusedWidget = nullptr;
UIWidget* grabbingWidget = nullptr;

void sendTo(UIWidget* widget, UIEvent&& event)
{
    dispatcher()->sendEvent(&event, widget);
}

} // namespace

// ---- Focus ----

UIWidget* UIWidget::focusWidget()
{
    return focusedWidget;
}

void UIWidget::setFocusPolicy(std::uint32_t policy)
{
    m_private->focusPolicy = policy;
}

std::uint32_t UIWidget::focusPolicy() const
{
    return m_private->focusPolicy;
}

void UIWidget::setFocus()
{
    if (hasFocus() || focusPolicy() == NoFocus || !isVisible() || !isEnabled())
        return;
    if (!isActiveWindow())
        return;
    if (focusedWidget)
        focusedWidget->clearFocus();
    if (isWindow())
        nativeWindow()->setFocus(true);
    focusedWidget = this;
    sendTo(this, UIFocusEvent(FocusInEventType));
}

void UIWidget::clearFocus()
{
    if (!hasFocus())
        return;
    if (isTimerActive(hoverTimerId)) {
        killTimer(hoverTimerId);
        sendTo(this, UIMouseEvent(MouseLeaveEventType, mapFromGlobal(cursorPosition()), 0, 0, 0));
    }
    setFlagBit(WidgetKeyHeld, false);
    focusedWidget = nullptr;
    if (testFlag(WidgetCreated) && !testFlag(WidgetBeingDestroyed))
        sendTo(this, UIFocusEvent(FocusOutEventType));
}

List<UIWidget*> UIWidget::tabChain() const
{
    List<UIWidget*> chain;
    const UIWidget* window = topLevelWidget();
    for (UIWidget* w : UIManager::instance()->widgets()) {
        if (w->topLevelWidget() != window || !(w->focusPolicy() & TabFocus) || w->tabOrder() <= 0)
            continue;
        if (w->isVisible() && w->isEnabled())
            chain.append(w);
    }
    return chain;
}

bool UIWidget::focusChainStep(int step)
{
    if (!isActiveWindow())
        return false;
    const List<UIWidget*> chain = tabChain();
    if (chain.isEmpty())
        return false;
    const auto* node = chain.findNode(this);
    UIWidget* target = chain.first()->value;
    if (node && step > 0)
        target = node->next ? node->next->value : chain.first()->value;
    else if (node)
        target = node->prev ? node->prev->value : chain.last()->value;
    target->setFocus();
    return true;
}

bool UIWidget::focusNextChild()
{
    return focusChainStep(1);
}

bool UIWidget::focusPreviousChild()
{
    return focusChainStep(-1);
}

void UIWidget::setTabOrder(int order)
{
    m_private->tabOrder = order;
}

int UIWidget::tabOrder() const
{
    return m_private->tabOrder;
}

// ---- Grab ----

UIWidget* UIWidget::mouseGrabber()
{
    return grabbingWidget;
}

void UIWidget::grabMouse()
{
    grabbingWidget = this;
}

void UIWidget::releaseMouse()
{
    if (grabbingWidget == this)
        grabbingWidget = nullptr;
}

// ---- Visibility ----

void UIWidget::setVisible(bool visible)
{
    if (testFlag(WidgetCreated) && testFlag(WidgetVisible) != visible)
        setFlag(WidgetVisible, visible);
}

// A created window's flag follows what the platform shows.
bool UIWidget::syncWindowVisible() const
{
    if (isWindow() && testFlag(WidgetCreated)) {
        if (nativeWindow()->isVisible())
            m_private->flags |= WidgetVisible;
        else
            m_private->flags &= ~WidgetVisible;
    }
    return testFlag(WidgetVisible);
}

bool UIWidget::isVisible() const
{
    if (!syncWindowVisible())
        return false;
    const UIWidget* w = this;
    while (!w->isWindow()) {
        w = w->parent();
        if (!w || !w->testFlag(WidgetVisible))
            return false;
    }
    return w->syncWindowVisible();
}

void UIWidget::setVisibleFlag(bool on)
{
    if (on)
        showVisible();
    else
        hideVisible();
}

void UIWidget::showVisible()
{
    if (isWindow()) {
        updateLayout();
        setFlagBit(WidgetVisible, true);
        nativeWindow()->show(true, m_private->showMaximizedOnce, m_private->showMinimizedOnce);
        m_private->showMaximizedOnce = false;
        m_private->showMinimizedOnce = false;
        if (testFlag(WidgetRepaintPending)) {
            setFlagBit(WidgetRepaintPending, false);
            repaint();
        }
    } else {
        setFlagBit(WidgetVisible, true);
        updateLayout();
        repaint();
    }
    if (isWindow() && nativeWindow()->isModal()) {
        runModalLoop();
        return;
    }
    sendTo(this, UIShowEvent());
}

void UIWidget::hideVisible()
{
    setFlagBit(WidgetVisible, false);
    setFlagBit(WidgetUnderMouse, false);
    if (isWindow())
        nativeWindow()->show(false, false, false);
    releaseMouse();
    clearFocus();
    if (focusedWidget && focusedWidget->isDescendantOf(this))
        focusedWidget->clearFocus();
    if (grabbingWidget && grabbingWidget->isDescendantOf(this))
        grabbingWidget = nullptr;
    if (!isWindow() && testFlag(WidgetCreated)) {
        if (UIWidget* p = parent()) {
            p->updateLayout();
            p->repaint();
        }
    }
    sendTo(this, UIHideEvent());
}

// ---- Enabling ----

void UIWidget::setEnabledFlag(bool on)
{
    setFlagBit(WidgetEnabled, on);
    const List<UIWidget*> children = m_children;
    for (UIWidget* c : children) {
        if (!c->isWindow())
            c->setEnabledRecursive(on);
    }
    if (isWindow())
        nativeWindow()->setEnabled(on);
    if (!on) {
        clearFocus();
        releaseMouse();
    }
    toolkitHooks().hideToolTipFor(this);
    if (!isWindow())
        repaint();
    sendTo(this, UIChangeEvent(EnabledChangeEventType));
}

void UIWidget::setEnabledRecursive(bool on)
{
    if (isEnabled() == on)
        return;
    setFlag(WidgetEnabled, on);
    if (!on)
        toolkitHooks().hideToolTipFor(this);
}

void UIWidget::enable()
{
    if (!isEnabled())
        setFlag(WidgetEnabled, true);
}

void UIWidget::disable()
{
    if (!isEnabled())
        return;
    setFlag(WidgetEnabled, false);
    toolkitHooks().hideToolTipFor(this);
}

// ---- Drag flags ----

void UIWidget::setDragFlags(std::uint32_t flags)
{
    m_private->dragFlags = flags;
}

std::uint32_t UIWidget::dragFlags() const
{
    return m_private->dragFlags;
}

void UIWidget::setDragEnabled(bool on)
{
    setDragFlags(on ? dragFlags() | DragSourceFlag : dragFlags() & ~DragSourceFlag);
}

void UIWidget::setDropEnabled(bool on)
{
    setDragFlags(on ? dragFlags() | DropTargetFlag : dragFlags() & ~DropTargetFlag);
}

// ---- Destruction ----

void UIWidget::destroy()
{
    if (!testFlag(WidgetCreated))
        return;
    setBeingDestroyed(true);
    setFlagBit(WidgetBeingDestroyed, true);
    killTimer(hoverTimerId);
    releaseMouse();
    clearFocus();
    // The loop may be marked but not yet running: the window's own show
    // handler may destroy it.
    if (m_private->modalLoop)
        endModalLoop();
    setFlagBit(WidgetCreated, false);
    setBeingDestroyed(false);
    setFlag(WidgetVisible, false);
    setBeingDestroyed(true);
    deleteAttachments();
    unlinkAndDeleteChildren();
}

void UIWidget::unlinkAndDeleteChildren()
{
    if (UIWidget* p = parent()) {
        p->m_children.removeValue(this);
        // A parent's destroy deletes its children before its destructor
        // would delete its context menu: it must not keep this one.
        if (p->m_private->contextMenu == this)
            p->m_private->contextMenu = nullptr;
    }
    // A widget out of the tree must not reach a parent that may die first.
    m_private->parent = nullptr;
    m_private->topLevel = nullptr;
    const List<UIWidget*> children = m_children;
    for (UIWidget* c : children)
        delete c;
}

// ---- Modality ----

bool UIWidget::runModalLoop()
{
    releaseMouse();
    const List<UIWidget*> registry = UIManager::instance()->widgets();
    for (UIWidget* w : registry) {
        if (!w->isWindow() || w == this)
            continue;
        if (w->styleName() == String(L"UIMenu") && TrayIcon::isTrayMenu(w))
            continue;
        if (w->isDescendantOf(this))
            continue;
        w->nativeWindow()->setBlocked(true);
        m_private->blockedWindows.append({w, w->id()});
    }
    // The loop lives here, not in the record: the window may be deleted
    // while its loop still runs. It is marked before the show event, so a
    // show handler that destroys the window ends it through endModalLoop.
    EventLoop loop;
    m_private->modalLoop = &loop;
    const int widgetId = id();
    const auto stillMarked = [&] {
        return UIManager::instance()->isRegistered(this) && id() == widgetId && m_private->modalLoop == &loop;
    };
    sendTo(this, UIShowEvent());
    // A loop ended before it ran would have nobody left to quit it.
    if (!stillMarked())
        return true;
    loop.exec();
    if (stillMarked())
        m_private->modalLoop = nullptr;
    return true;
}

void UIWidget::endModalLoop()
{
    if (m_private->modalLoop) {
        m_private->modalLoop->quit(0);
        m_private->modalLoop = nullptr;
    }
    UIManager* manager = UIManager::instance();
    for (const BlockedWindow& blocked : m_private->blockedWindows) {
        if (manager->isRegistered(blocked.widget) && blocked.widget->id() == blocked.id)
            blocked.widget->nativeWindow()->setBlocked(false);
    }
    m_private->blockedWindows.clear();
    releaseMouse();
}

bool UIWidget::isInModalLoop() const
{
    return m_private->modalLoop && m_private->modalLoop->isRunning();
}
