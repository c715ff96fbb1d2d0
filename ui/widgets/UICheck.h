#pragma once

// UICheck: the check box, an indicator drawn from an eight-state skin
// followed by its text. A left click, Enter or Space toggles it and emits
// toggled, then clicked.

#include "ui/UISkin.h"
#include "ui/widgets/UIAbstractButton.h"

class UICheck : public UIAbstractButton {
public:
    explicit UICheck(UIWidget* parent, const String& text = String());
    ~UICheck() override;

    // Emitted without argument after the state changed.
    Signal toggled;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    // A checkable box that changes state repaints, then emits toggled.
    void setChecked(bool checked) override;

    void check() { setChecked(true); }
    void uncheck() { setChecked(false); }

    Size indicatorSize() const { return m_indicatorSize; }
    int indicatorSpacing() const { return m_indicatorSpacing; }

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    // Only the left button toggles; every button emits clicked.
    void mouseClickEvent(UIMouseEvent* event) override;

private:

    UIButtonTextStyle m_text;
    Size m_indicatorSize{20, 20};
    int m_indicatorSpacing = 4;
    UISkin m_indicator;
};
