#include "ui/widgets/UIStatusBar.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <algorithm>

UIStatusBar::UIStatusBar(UIWidget* parent) : UIWidget(parent)
{
    setSizePolicy(SizeResizable, SizeFixed);
    setLayoutVertical(false);
    setStyleName(L"UIStatusBar");
}

Size UIStatusBar::sizeHint() const
{
    return {50, std::max(m_minimumHeight, 0)};
}

void UIStatusBar::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"minimumHeight"))
        m_minimumHeight = parseIntValue(value);
}

void UIStatusBar::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UIStatusBar_Background"))
        m_background = *skin;
}

void UIStatusBar::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    m_background.drawNineSlice(g, rect(), 0, SkinAllRegions);
}
