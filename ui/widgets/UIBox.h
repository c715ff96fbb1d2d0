#pragma once

// Plain decorations: UIBox fills its rectangle with a brush, UILine draws
// a separator line from the style's "UILine_Background" skin.

#include "graphics/Brush.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"

class UIBox : public UIWidget {
public:
    // Paints nothing until the style or setBackground gives a visible brush.
    explicit UIBox(UIWidget* parent = nullptr);

    void setBackground(const Brush& brush);
    const Brush& background() const { return m_background; }

    // Reads "background" (a brush).
    void setStyleProperty(const String& name, const String& value) override;

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    Brush m_background;
};

class UILine : public UIWidget {
public:
    explicit UILine(UIWidget* parent = nullptr);

    Size sizeHint() const override { return {2, 2}; }
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    UISkin m_background;
};
