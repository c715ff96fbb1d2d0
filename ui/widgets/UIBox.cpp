#include "ui/widgets/UIBox.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

UIBox::UIBox(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeResizable, SizeResizable);
    setStyleName(L"UIBox");
}

void UIBox::setBackground(const Brush& brush)
{
    m_background = brush;
}

void UIBox::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"background"))
        m_background = parseBrushValue(value);
}

void UIBox::paintEvent(UIPaintEvent*)
{
    if (!m_background.isVisible())
        return;
    Graphics g(backBuffer());
    g.fillRect(rect(), m_background);
}

UILine::UILine(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeResizable, SizeFixed);
    setStyleName(L"UILine");
}

void UILine::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UILine_Background"))
        m_background = *skin;
}

void UILine::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    m_background.drawNineSlice(g, rect(), 0, SkinAllRegions);
}
