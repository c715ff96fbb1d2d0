#pragma once

// UIGroup: a frame around child widgets, laid out top to bottom below an
// optional title band. A checkable group shows a check indicator in the
// band; a click on the title (text or indicator) toggles the checked state
// and emits toggled, on which the owner enables or disables the contents.

#include "foundation/Signal.h"
#include "graphics/Brush.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIAbstractButton.h"

class Graphics;

class UIGroup : public UIWidget {
public:
    explicit UIGroup(UIWidget* parent);

    // Without argument, when the checked state changes.
    Signal toggled;

    void setTitle(const String& title);
    const String& title() const { return m_title; }
    // Alignment flags of the title text in the band; takes effect at the
    // next paint.
    void setTitleAlignment(int flags) { m_titleAlignment = flags; }
    int titleAlignment() const { return m_titleAlignment; }
    void setCheckable(bool on);
    bool isCheckable() const { return m_checkable; }
    // Ignored unless checkable.
    void setChecked(bool on);
    bool isChecked() const { return m_checked; }

    // The clickable title area in the widget; empty without a band.
    Rect titleRect() const;
    // The height of the band holding the title and the indicator.
    int bandHeight() const;
    // The indicator's skin state for the pointer where it is now.
    int indicatorState() const;
    bool isHovered() const { return m_hovered; }

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;

private:
    bool takesMouse() const { return m_checkable && isEnabled(); }
    bool hasBand() const { return !m_title.isEmpty() || m_checkable; }
    int fontHeight() const;
    int titleTextWidth() const;
    // The indicator's width and the spacing after it; 0 unless checkable.
    int indicatorRoom() const;
    void updateTopMargin();
    void drawTitle(Graphics& g) const;

    // Its disabled shadow pen is kept unused: the shadow keeps its pen
    // while the group is disabled.
    UIButtonTextStyle m_text;
    Brush m_background;
    int m_indicatorSpacing = 0;
    UISkin m_frame;
    UISkin m_indicator;

    String m_title;
    int m_titleAlignment = AlignLeft | AlignTop;
    bool m_checkable = false;
    bool m_checked = false;
    bool m_hovered = false;
    bool m_pressed = false;
};
