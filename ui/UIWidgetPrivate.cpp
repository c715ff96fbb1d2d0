#include "ui/UIWidgetPrivate.h"

#include "ui/UINativeWindow.h"
#include "ui/UIWidget.h"

namespace {

int widgetCounter = 0;

} // namespace

UIWidgetPrivate::UIWidgetPrivate(UIWidget* owner, std::uint32_t windowFlags) : owner(owner), id(++widgetCounter)
{
    if (windowFlags == 0)
        return;
    nativeWindow = createNativeWindow(owner);
    nativeWindow->setWindowFlags(windowFlags);
}

UIWidgetPrivate::~UIWidgetPrivate()
{
    if (nativeWindow) {
        for (const HotKey& hotKey : hotKeys)
            unregisterHotKey(nativeWindow->handle(), hotKey.id());
        destroyNativeWindow(nativeWindow);
    }
    releaseSurfaces();
}

void UIWidgetPrivate::ensureNativeWindow()
{
    if (!nativeWindow)
        nativeWindow = createNativeWindow(owner);
}
