// The event dispatcher of UIWidget: flag upkeep, synthesised clicks, hover
// enter and leave, Tab navigation, key preview, then the handler and the
// Signal of each kind of event.

#include "ui/UIWidget.h"

#include "foundation/Dispatcher.h"
#include "ui/UIDragManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIToolkitHooks.h"
#include "ui/UIWidgetPrivate.h"

namespace {

constexpr int keyTab = 9;

// The outermost widget whose resize is being handled: only it relayouts
// and repaints, not the children that its layout resizes meanwhile.
UIWidget* widgetInResize = nullptr;

} // namespace

bool UIWidget::handleEvent(UIEvent* e)
{
    return event(e);
}

void UIWidget::timerEvent(int id)
{
    UICustomEvent tick(id);
    dispatcher()->sendEvent(&tick, this);
}

bool UIWidget::event(UIEvent* e)
{
    if (!isEnabled() && e->isInput())
        return false;
    // The receiver's byte rather than flag 8: destroy lifts it for a moment
    // so that the widget's own hide event still arrives.
    if (isBeingDestroyed())
        return false;
    if (!dispatchMouse(e))
        dispatchOther(e);
    return e->isAccepted();
}

bool UIWidget::dispatchMouse(UIEvent* e)
{
    auto* mouse = static_cast<UIMouseEvent*>(e);
    switch (e->type()) {
    case MousePressEventType:
        dispatchPress(mouse);
        return true;
    case MouseReleaseEventType:
        dispatchRelease(mouse);
        return true;
    case MouseClickEventType:
        mouseClickEvent(mouse);
        clicked.emit(mouse);
        return true;
    case MouseDoubleClickEventType:
        mouseDoubleClickEvent(mouse);
        doubleClicked.emit(mouse);
        return true;
    case MouseMoveEventType:
        dispatchMove(mouse);
        return true;
    case MouseLeaveEventType:
        setFlagBit(WidgetUnderMouse, false);
        leaveEvent(mouse);
        left.emit(mouse);
        return true;
    case MouseEnterEventType:
        enterEvent(mouse);
        entered.emit(mouse);
        return true;
    default:
        return false;
    }
}

void UIWidget::dispatchOther(UIEvent* e)
{
    switch (e->type()) {
    case CustomEventType:
        if (static_cast<UICustomEvent*>(e)->code() == hoverTimerId) {
            dispatchHoverPoll(static_cast<UICustomEvent*>(e));
            return;
        }
        customEvent(static_cast<UICustomEvent*>(e));
        customReceived.emit(e);
        return;
    case PaintEventType:
        paintEvent(static_cast<UIPaintEvent*>(e));
        painted.emit(e);
        e->accept();
        return;
    case ResizeEventType:
        dispatchResize(static_cast<UIResizeEvent*>(e));
        return;
    case ShowEventType:
        showEvent(static_cast<UIShowEvent*>(e));
        shown.emit(e);
        return;
    case HideEventType:
        hideEvent(static_cast<UIHideEvent*>(e));
        hidden.emit(e);
        return;
    case MoveEventType: {
        auto* moveEvent = static_cast<UIMoveEvent*>(e);
        m_x = moveEvent->position().x;
        m_y = moveEvent->position().y;
        this->moveEvent(moveEvent);
        moved.emit(e);
        return;
    }
    case CloseEventType:
        dispatchClose(static_cast<UICloseEvent*>(e));
        return;
    case ContextMenuEventType:
        dispatchContextMenu(static_cast<UIContextMenuEvent*>(e));
        return;
    case FocusInEventType:
    case FocusOutEventType:
        dispatchFocus(static_cast<UIFocusEvent*>(e));
        return;
    case HotKeyEventType:
        hotKeyPressed.emit(e);
        return;
    case DragEnterEventType:
        dragEnterEvent(static_cast<UIDragEvent*>(e));
        dragEntered.emit(e);
        return;
    case DragMoveEventType:
        dragMoveEvent(static_cast<UIDragEvent*>(e));
        dragMoved.emit(e);
        return;
    case DragLeaveEventType:
        dragLeaveEvent(static_cast<UIDragEvent*>(e));
        dragLeft.emit(e);
        return;
    case DropEventType:
        dropEvent(static_cast<UIDragEvent*>(e));
        dropped.emit(e);
        return;
    case KeyPressEventType:
        dispatchKeyPress(static_cast<UIKeyEvent*>(e));
        return;
    case KeyReleaseEventType:
        dispatchKeyRelease(static_cast<UIKeyEvent*>(e));
        return;
    case WheelEventType:
        dispatchWheel(static_cast<UIWheelEvent*>(e));
        return;
    case EnabledChangeEventType:
    case WindowStateChangeEventType:
        changeEvent(static_cast<UIChangeEvent*>(e));
        changed.emit(e);
        return;
    case MessageEventType:
        messageEvent(static_cast<UIMessageEvent*>(e));
        messageReceived.emit(e);
        return;
    default:
        return;
    }
}

void UIWidget::postMouse(int type, const UIMouseEvent* like)
{
    dispatcher()->postEvent(new UIMouseEvent(type, like->position(), like->button(), like->buttons(), like->modifiers()),
                            this);
}

void UIWidget::dispatchPress(UIMouseEvent* e)
{
    setFlagBit(WidgetPressed, true);
    setFlagBit(WidgetUnderMouse, true);
    if (!isWindow() && (focusPolicy() & ClickFocus))
        setFocus();
    grabMouse();
    mousePressEvent(e);
    mousePressed.emit(e);
}

void UIWidget::dispatchRelease(UIMouseEvent* e)
{
    releaseMouse();
    const bool wasPressed = testFlag(WidgetPressed);
    setFlagBit(WidgetPressed, false);
    mouseReleaseEvent(e);
    mouseReleased.emit(e);
    if (!wasPressed)
        return;
    if (rect().contains(e->position()))
        postMouse(MouseClickEventType, e);
    else
        Cursor(CursorArrow).apply();
}

void UIWidget::dispatchMove(UIMouseEvent* e)
{
    const bool inside = rect().contains(e->position());
    if (inside != testFlag(WidgetUnderMouse)) {
        setFlagBit(WidgetUnderMouse, inside);
        if (testFlag(WidgetHoverTracking))
            postMouse(inside ? MouseEnterEventType : MouseLeaveEventType, e);
    }
    if (inside)
        showToolTipAt(e->position());
    mouseMoveEvent(e);
    mouseMoved.emit(e);
}

void UIWidget::dispatchHoverPoll(UICustomEvent* e)
{
    e->accept();
    const Point p = mapFromGlobal(cursorPosition());
    if (rect().contains(p))
        return;
    killTimer(hoverTimerId);
    // Wine posts no WM_MOUSELEAVE while the pointer is over another
    // program's window lying over this one, and the window would take the
    // move back to its last point for a repeat: no hover would start.
    const UIWidget* top = topLevelWidget();
    if (UINativeWindow* window = top ? top->nativeWindow() : nullptr)
        window->forgetPointer();
    dispatcher()->postEvent(new UIMouseEvent(MouseLeaveEventType, p, 0, 0, 0), this);
}

void UIWidget::dispatchClose(UICloseEvent* e)
{
    closeEvent(e);
    closed.emit(e);
    if (e->isAccepted())
        destroy();
}

void UIWidget::dispatchContextMenu(UIContextMenuEvent* e)
{
    if (UIWidget* menu = contextMenu())
        toolkitHooks().popupMenu(menu, e->globalPos());
}

void UIWidget::dispatchFocus(UIFocusEvent* e)
{
    const bool in = e->type() == FocusInEventType;
    setInputMethodEnabled(this, in);
    if (in) {
        focusInEvent(e);
        focusedIn.emit(e);
    } else {
        setFlagBit(WidgetKeyHeld, false);
        focusOutEvent(e);
        focusedOut.emit(e);
    }
    // Focus marks drawn meanwhile reach the screen.
    if (UIWidget* top = topLevelWidget())
        top->flushRect(top->rect());
}

void UIWidget::dispatchKeyPress(UIKeyEvent* e)
{
    toolkitHooks().hideToolTipFor(this);
    if (e->key() == keyTab) {
        if (e->modifiers().testFlag(ShiftModifier))
            focusPreviousChild();
        else
            focusNextChild();
        e->accept();
        return;
    }
    UIWidget* top = topLevelWidget();
    if (!isWindow() && top && top->testWindowFlag(WindowKeyPreview)) {
        top->keyPressEvent(e);
        top->keyPressed.emit(e);
    }
    m_private->keyAcceptedByPreview = e->isAccepted();
    if (e->isAccepted())
        return;
    keyPressEvent(e);
    keyPressed.emit(e);
}

void UIWidget::dispatchKeyRelease(UIKeyEvent* e)
{
    UIWidget* top = topLevelWidget();
    if (!isWindow() && top && top->testWindowFlag(WindowKeyPreview)) {
        top->keyReleaseEvent(e);
        top->keyReleased.emit(e);
    }
    if (m_private->keyAcceptedByPreview)
        return;
    keyReleaseEvent(e);
    keyReleased.emit(e);
}

void UIWidget::dispatchWheel(UIWheelEvent* e)
{
    if ((focusPolicy() & WheelFocus) && !hasFocus())
        setFocus();
    wheelEvent(e);
    wheelTurned.emit(e);
}

Size UIWidget::clampedSize(Size s) const
{
    if (m_minimumWidth > 0 || m_minimumHeight > 0) {
        int minimumWidth = m_minimumWidth;
        int minimumHeight = m_minimumHeight;
        if (isWindow()) {
            // Window bounds are outer sizes; the stored size is the client's.
            int left, top, right, bottom;
            frameMarginsOf(&left, &top, &right, &bottom);
            minimumWidth -= left + right;
            minimumHeight -= top + bottom;
        }
        if (minimumWidth > 0 && minimumWidth > s.width)
            s.width = minimumWidth;
        if (minimumHeight > 0 && minimumHeight > s.height)
            s.height = minimumHeight;
    }
    if (m_maximumWidth > 0 && m_maximumWidth < s.width)
        s.width = m_maximumWidth;
    if (m_maximumHeight > 0 && m_maximumHeight < s.height)
        s.height = m_maximumHeight;
    return s;
}

void UIWidget::dispatchResize(UIResizeEvent* e)
{
    if (e->size().width < 0 || e->size().height < 0)
        return;
    const bool outermost = widgetInResize == nullptr;
    if (outermost)
        widgetInResize = this;
    const Size s = clampedSize(e->size());
    m_width = s.width;
    m_height = s.height;
    if (e->oldSize() != s) {
        growBuffers(s.width, s.height);
        if (isWindow() && !nativeWindow()->backBuffer().isNull())
            nativeWindow()->setLayeredImage(nativeWindow()->backBuffer());
        resizeEvent(e);
        resized.emit(e);
        if (outermost && !updateLayout())
            repaint();
    }
    if (outermost)
        widgetInResize = nullptr;
}

void UIWidget::showToolTipAt(Point p)
{
    if (!rect().contains(p))
        return;
    String text = toolTip(p);
    const int maxLength = toolTipMaxLength();
    if (maxLength >= 1 && text.length() > maxLength)
        text = text.mid(0, maxLength) + String(L" ... ");
    UIToolkitHooks& hooks = toolkitHooks();
    if (hooks.isToolTipShowing(this, text))
        return;
    hooks.hideToolTip();
    if (text.isEmpty())
        return;
    hooks.showToolTip(this, text, mapToGlobal(p), globalRect(), toolTipShowDelay(), toolTipHideDelay(),
                      toolTipOption(), maxLength);
}

// ---- Default handlers: widget classes override the ones they use ----

void UIWidget::paintEvent(UIPaintEvent*) {}
void UIWidget::resizeEvent(UIResizeEvent*) {}
void UIWidget::moveEvent(UIMoveEvent*) {}
void UIWidget::keyPressEvent(UIKeyEvent*) {}
void UIWidget::keyReleaseEvent(UIKeyEvent*) {}
void UIWidget::mousePressEvent(UIMouseEvent*) {}
void UIWidget::mouseReleaseEvent(UIMouseEvent*) {}
void UIWidget::mouseClickEvent(UIMouseEvent*) {}
void UIWidget::mouseDoubleClickEvent(UIMouseEvent*) {}
void UIWidget::wheelEvent(UIWheelEvent*) {}
void UIWidget::enterEvent(UIMouseEvent*) {}
void UIWidget::leaveEvent(UIMouseEvent*) {}
void UIWidget::mouseMoveEvent(UIMouseEvent*) {}
void UIWidget::customEvent(UICustomEvent*) {}
void UIWidget::focusInEvent(UIFocusEvent*) {}
void UIWidget::focusOutEvent(UIFocusEvent*) {}
void UIWidget::showEvent(UIShowEvent*) {}
void UIWidget::hideEvent(UIHideEvent*) {}
void UIWidget::changeEvent(UIChangeEvent*) {}
void UIWidget::closeEvent(UICloseEvent*) {}
void UIWidget::messageEvent(UIMessageEvent*) {}
void UIWidget::dragEnterEvent(UIDragEvent*) {}
void UIWidget::dragMoveEvent(UIDragEvent*) {}
void UIWidget::dragLeaveEvent(UIDragEvent*) {}
void UIWidget::dropEvent(UIDragEvent*) {}
