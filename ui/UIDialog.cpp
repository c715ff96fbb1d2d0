#include "ui/UIDialog.h"

#include "ui/PlatformServices.h"
#include "ui/TimerService.h"
#include "ui/UINativeWindow.h"
#include "ui/UIToolkitHooks.h"

#include <windows.h>

namespace {

constexpr int keyEscape = 27;
// Centred both ways on the placement area.
constexpr std::uint32_t centred = 16 | 32;

bool isSnapButton(const UIWidget* widget)
{
    return widget->styleName() == String(L"UIButton") && toolkitHooks().isDefaultButton(widget)
        && widget->isVisible() && widget->isEnabled();
}

UIWidget* firstSnapButtonAmong(const List<UIWidget*>& widgets)
{
    for (UIWidget* w : widgets) {
        if (isSnapButton(w))
            return w;
    }
    return nullptr;
}

} // namespace

UIDialog::UIDialog(UIWidget* parent, std::uint32_t windowFlags) : UIWindow(parent, windowFlags)
{
    setWindowAlignment(centred);
    nativeWindow()->setModal(true);
    // Escape ends the dialog whichever child has the focus.
    setWindowFlag(WindowKeyPreview, true);
}

UIDialog::~UIDialog()
{
    killTimer(DialogDefaultButtonTimerId);
}

void UIDialog::accept()
{
    done(1);
}

void UIDialog::reject()
{
    done(0);
}

void UIDialog::done(int result)
{
    m_result = result;
    close();
}

UIWidget* UIDialog::snapTarget() const
{
    for (UIWidget* child : children()) {
        if (child->styleName() == String(L"UIButton")) {
            if (isSnapButton(child))
                return child;
            continue;
        }
        if (UIWidget* button = firstSnapButtonAmong(child->children()))
            return button;
    }
    return nullptr;
}

void UIDialog::keyPressEvent(UIKeyEvent* event)
{
    if (event->key() != keyEscape)
        return;
    event->accept();
    reject();
}

void UIDialog::customEvent(UICustomEvent* event)
{
    if (event->code() != DialogDefaultButtonTimerId)
        return;
    killTimer(DialogDefaultButtonTimerId);
    snapPointerToDefaultButton();
}

void UIDialog::showEvent(UIShowEvent*)
{
    if (snapToDefaultButton())
        startTimer(DialogDefaultButtonTimerId, shortTimerInterval());
}

void UIDialog::closeEvent(UICloseEvent*)
{
    killTimer(DialogDefaultButtonTimerId);
}

void UIDialog::snapPointerToDefaultButton()
{
    const UIWidget* button = snapTarget();
    if (!button)
        return;
    const Point p = button->mapToGlobal(Point(button->width() - button->width() / 3,
                                              button->height() - button->height() / 3));
    SetCursorPos(p.x, p.y);
}
