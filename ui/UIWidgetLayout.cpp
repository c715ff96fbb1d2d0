// The layout entry points of UIWidget. The grid layout that places the
// children is built later; until then a widget keeps the geometry its
// owner gives it and prefers its size hint.

#include "ui/UIWidget.h"

bool UIWidget::updateLayout()
{
    return false;
}

Size UIWidget::preferredSize()
{
    return sizeHint();
}
