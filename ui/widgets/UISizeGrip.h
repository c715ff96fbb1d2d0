#pragma once

// UISizeGrip: the handle in a window's bottom-right corner that resizes
// the window by dragging. It hides itself (draws nothing, ignores drags)
// while the window is maximized or minimized.

#include "ui/UISkin.h"
#include "ui/UIWidget.h"

class UISizeGrip : public UIWidget {
public:
    // Follows the resizes of the parent's window, so the parent must
    // already sit in one for the grip to notice maximizing.
    explicit UISizeGrip(UIWidget* parent);

    // The style's "size", but never below 10x10.
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

    bool isInactive() const { return m_inactive; }
    // Each resize of the visible window: inactive while it is maximized or
    // minimized.
    void onWindowResized();

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    // The grip takes double clicks, so a quick second press arrives as one;
    // it starts a drag like any press.
    void mouseDoubleClickEvent(UIMouseEvent* event) override { mousePressEvent(event); }
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;

private:
    // The window's client size that puts its bottom-right corner at the
    // pointer, less the offset the press had from the grip's corner.
    Size draggedWindowSize(const UIWidget* top, Point position) const;

    Size m_size;
    UISkin m_background;
    bool m_pressed = false;
    Point m_lastCursor;
    Point m_pressOffset;
    // Pointer moves shorter than this on both axes are ignored.
    int m_threshold = 2;
    bool m_inactive = false;
};
