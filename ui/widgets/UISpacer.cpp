#include "ui/widgets/UISpacer.h"

UIExpander::UIExpander(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetMouseTransparent, true);
    setSizePolicy(SizeExpanding, SizeExpanding);
    setStyleName(L"UIExpander");
}

UISpacer::UISpacer(int width, int height, UIWidget* parent) : UIWidget(parent), m_size{width, height}
{
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetMouseTransparent, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setStyleName(L"UISpacer");
}

UISpacer::UISpacer(int size, UIWidget* parent) : UIWidget(parent), m_size{size, size}
{
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setStyleName(L"UISpacer");
}
