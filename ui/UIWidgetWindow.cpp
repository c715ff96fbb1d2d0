// Operations of window widgets: they forward to the native window, and
// keep the placement fields and the hot-key list in the private record.

#include "ui/UIWidget.h"

#include "foundation/Application.h"
#include "graphics/Screen.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UITheme.h"
#include "ui/UIWidgetPrivate.h"

#include <algorithm>

UINativeWindow* UIWidget::nativeWindow() const
{
    return m_private->nativeWindow;
}

void* UIWidget::nativeHandle() const
{
    return nativeWindow() ? nativeWindow()->handle() : nullptr;
}

void* UIWidget::windowHandle() const
{
    const UIWidget* top = topLevelWidget();
    return top ? top->nativeHandle() : nullptr;
}

void UIWidget::setWindowFlag(std::uint32_t flag, bool on)
{
    if (nativeWindow())
        nativeWindow()->setWindowFlag(flag, on);
}

void UIWidget::setWindowFlags(std::uint32_t mask)
{
    if (nativeWindow())
        nativeWindow()->setWindowFlags(mask);
}

bool UIWidget::testWindowFlag(std::uint32_t mask) const
{
    return nativeWindow() && (nativeWindow()->windowFlags() & mask) != 0;
}

void UIWidget::setOpacity(float value)
{
    if (nativeWindow())
        nativeWindow()->setOpacity(value);
}

float UIWidget::opacity() const
{
    return nativeWindow() ? nativeWindow()->opacity() : 1.0f;
}

void UIWidget::setModal(bool modal)
{
    if (nativeWindow())
        nativeWindow()->setModal(modal);
}

bool UIWidget::isModal() const
{
    return nativeWindow() && nativeWindow()->isModal();
}

void UIWidget::flash(int count)
{
    if (!parent() && nativeWindow())
        nativeWindow()->flash(count);
}

std::uint32_t UIWidget::windowState() const
{
    return nativeWindow() ? nativeWindow()->windowState() : 0;
}

namespace {

// Minimized, maximized and keep-hidden exclude one another, in that order.
std::uint32_t exclusiveState(std::uint32_t state)
{
    if (state & WindowMinimized)
        return state & ~(WindowMaximized | WindowKeepHidden);
    if (state & WindowMaximized)
        return state & ~(WindowMinimized | WindowKeepHidden);
    if (state & WindowKeepHidden)
        return state & ~(WindowMinimized | WindowMaximized);
    return state;
}

// How far a placed window keeps from the work area's edges; 0 while no
// style is loaded.
int desktopPadding()
{
    const UITheme* theme = UIManager::instance()->theme();
    return theme ? theme->metric(MetricWindowDesktopPadding) : 0;
}

} // namespace

void UIWidget::setWindowState(std::uint32_t state)
{
    if (!nativeWindow() || state == windowState())
        return;
    nativeWindow()->setWindowState(static_cast<std::uint8_t>(exclusiveState(state)));
}

bool UIWidget::isMinimized() const
{
    return (windowState() & WindowMinimized) != 0;
}

bool UIWidget::isMaximized() const
{
    return (windowState() & WindowMaximized) != 0;
}

bool UIWidget::isNormal() const
{
    return (windowState() & (WindowMinimized | WindowMaximized | WindowKeepHidden)) == 0;
}

void UIWidget::activateWindow()
{
    UIWidget* top = topLevelWidget();
    if (!top)
        return;
    if (!top->isVisible())
        top->show();
    top->setWindowState((top->windowState() & ~WindowMinimized) | WindowActive);
}

bool UIWidget::isActiveWindow() const
{
    const UIWidget* top = topLevelWidget();
    return top && (top->windowState() & WindowActive) != 0;
}

void UIWidget::showMaximized()
{
    m_private->showMaximizedOnce = true;
    setVisible(true);
    m_private->showMaximizedOnce = false;
}

void UIWidget::showMinimized()
{
    m_private->showMinimizedOnce = true;
    setVisible(true);
    m_private->showMinimizedOnce = false;
}

void UIWidget::setWindowTitle(const String& text, bool withAppName)
{
    if (!nativeWindow())
        return;
    String title = text;
    if (withAppName) {
        if (!text.isEmpty())
            title.append(UIManager::instance()->titleSeparator());
        if (Application* application = Application::instance())
            title.append(application->productName());
    }
    nativeWindow()->setTitle(title);
}

void UIWidget::setWindowTitle(const StringList& parts, bool withAppName)
{
    setWindowTitle(parts.join(UIManager::instance()->titleSeparator()), withAppName);
}

String UIWidget::windowTitle() const
{
    return nativeWindow() ? nativeWindow()->title() : String();
}

void UIWidget::setTitleSuffix(const String& suffix)
{
    UINativeWindow* window = nativeWindow();
    if (!window)
        return;
    // The caption carries the old suffix; setting it again as it reads
    // would append the new suffix after the old one.
    String title = window->title();
    const String old = window->titleSuffix();
    if (!old.isEmpty() && title.endsWith(old, true))
        title.remove(title.length() - old.length(), old.length());
    window->setTitleSuffix(suffix);
    window->setTitle(title);
}

void UIWidget::setWindowAlignment(std::uint32_t flags)
{
    m_private->windowAlignment = flags;
    move(0, 0);
}

std::uint32_t UIWidget::windowAlignment() const
{
    return m_private->windowAlignment;
}

void UIWidget::setPlaceOnScreen(int place)
{
    m_private->placeOnScreen = place;
}

int UIWidget::placeOnScreen() const
{
    return m_private->placeOnScreen;
}

void UIWidget::showWindow()
{
    const Size frame = frameSize();
    const Size preferred = preferredFrameSize();
    resize(std::max(frame.width, preferred.width), std::max(frame.height, preferred.height));
    if (windowAlignment() != 0 && pos() == Point{0, 0})
        placeWindow();
    setWindowState(0);
    setVisible(true);
}

void UIWidget::placeWindow()
{
    const Rect target = placementRect(frameGeometry());
    move(target.x, target.y);
}

Rect UIWidget::placementRect(const Rect& frame) const
{
    const int flags = static_cast<int>(windowAlignment());
    const UIWidget* owner = parent() ? parent()->topLevelWidget() : nullptr;
    if (placeOnScreen() == 0 && owner && owner->isVisible() && !owner->isMinimized()) {
        const Rect ownerFrame = owner->frameGeometry();
        if (!Screen::monitorRectAt(ownerFrame.topLeft(), true).isEmpty()) {
            const Rect aligned = ownerFrame.alignedRect(frame.width, frame.height, flags);
            const int padding = desktopPadding();
            return Screen::fitRect(ownerFrame.topLeft(), aligned, Margins{padding, padding, padding, padding}, 0,
                                   false);
        }
    }
    return Screen::primaryMonitorRect(true).alignedRect(frame.width, frame.height, flags);
}

bool UIWidget::registerHotKey(const HotKey& hotKey)
{
    if (!nativeWindow() || !hotKey.isValid())
        return false;
    for (const HotKey& registered : m_private->hotKeys) {
        if (registered.id() == hotKey.id())
            return false;
    }
    if (!::registerHotKey(nativeHandle(), hotKey))
        return false;
    m_private->hotKeys.append(hotKey);
    return true;
}

void UIWidget::unregisterHotKey(int id)
{
    if (!nativeWindow())
        return;
    for (auto* node = m_private->hotKeys.first(); node; node = node->next) {
        if (node->value.id() == id) {
            ::unregisterHotKey(nativeHandle(), id);
            m_private->hotKeys.removeNode(node);
            return;
        }
    }
}

const List<HotKey>& UIWidget::hotKeys() const
{
    return m_private->hotKeys;
}
