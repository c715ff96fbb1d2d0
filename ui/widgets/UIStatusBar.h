#pragma once

// UIStatusBar: the bar along a window's bottom edge, drawn from the
// style's "UIStatusBar_Background" skin, that lays its children out in a
// row (texts, a progress indicator, the size grip).

#include "ui/UISkin.h"
#include "ui/UIWidget.h"

class UIStatusBar : public UIWidget {
public:
    explicit UIStatusBar(UIWidget* parent = nullptr);

    // 50 wide, as high as the style's "minimumHeight".
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    int m_minimumHeight = 0;
    UISkin m_background;
};
