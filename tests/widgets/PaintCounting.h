#pragma once

// A widget class that counts its paints: painting calls the handler
// directly, without the painted signal.

#include "ui/UIEvents.h"

template <typename Widget>
class PaintCounting : public Widget {
public:
    using Widget::Widget;

    int paints = 0;

protected:
    void paintEvent(UIPaintEvent* event) override
    {
        ++paints;
        Widget::paintEvent(event);
    }
};
