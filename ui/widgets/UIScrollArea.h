#pragma once

#include "graphics/Brush.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/UIScrollBar.h"

class UIScrollArea;

// The scroll area whose viewport holds the content; null for a widget that
// is no scroll area's content.
UIScrollArea* holdingScrollArea(const UIWidget* content);

// A plain part of a scroll area: it only fills its rectangle with its
// "background" when that is visible.
class UIScrollAreaPart : public UIWidget {
public:
    void setStyleProperty(const String& name, const String& value) override;
    // Takes effect with the next paint.
    void setBackground(const Brush& brush) { m_background = brush; }
    const Brush& background() const { return m_background; }

protected:
    UIScrollAreaPart(UIWidget* parent, const String& styleName, const Brush& background);
    void paintEvent(UIPaintEvent* event) override;

private:
    Brush m_background;
};

// The window a scroll area shows its content through ("UIScrollAreaViewport").
class UIScrollAreaViewport : public UIScrollAreaPart {
public:
    explicit UIScrollAreaViewport(UIWidget* parent);
};

// The square where a scroll area's two bars meet ("UIScrollAreaCorner");
// transparent until styled.
class UIScrollAreaCorner : public UIScrollAreaPart {
public:
    explicit UIScrollAreaCorner(UIWidget* parent);
};

// Shows a content widget through a viewport with a horizontal and a
// vertical scroll bar. The content never moves: it covers the viewport and
// gets the bar values, negated, as its content offsets; it tells how much
// room it needs through its minimumSizeHint. A bar's policy says when it
// shows (ScrollBarPolicy); the right mouse button can drag the content.
class UIScrollArea : public UIWidget {
public:
    enum ScrollBarPolicy : int {
        ScrollBarNever = 0,
        // When the area is at least as large as the bars' hints.
        ScrollBarAlways = 1,
        ScrollBarAsNeeded = 2,
    };

    explicit UIScrollArea(UIWidget* parent = nullptr);

    // Deletes the content before; the new one (null for none) moves into
    // the viewport and is owned from now on.
    virtual void setContentWidget(UIWidget* content);
    // Decides which bars show, their ranges and page steps, and gives the
    // viewport and the content their rectangles. Only for a shown area
    // with content.
    virtual void relayout();
    // The room that one page of content takes.
    virtual Size viewportSize() const;
    // Hands the bar values, negated, to the content (the arguments are unused).
    virtual void updateContentPosition(int x, int y);

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;

    void setHorizontalScrollBarPolicy(ScrollBarPolicy policy);
    void setVerticalScrollBarPolicy(ScrollBarPolicy policy);
    ScrollBarPolicy horizontalScrollBarPolicy() const { return m_horizontalPolicy; }
    ScrollBarPolicy verticalScrollBarPolicy() const { return m_verticalPolicy; }
    // Off hides both bars and gives the content the whole area.
    void setScrollBarsEnabled(bool enabled);
    bool scrollBarsEnabled() const { return m_scrollBarsEnabled; }

    void scrollToTop();
    void scrollToBottom();
    void scrollToLeft();
    void scrollToRight();
    void scrollUp();
    void scrollDown();
    void scrollLeft();
    void scrollRight();
    void pageUp();
    void pageDown();
    // The value becomes single step x steps.
    void scrollToVerticalStep(int steps);
    void scrollToHorizontalStep(int steps);
    void setVerticalValue(int value);
    void setHorizontalValue(int value);
    void setVerticalSingleStep(int step);
    void setHorizontalSingleStep(int step);
    int verticalSingleStep() const;
    int horizontalSingleStep() const;

    UIScrollBar* horizontalScrollBar() const { return m_horizontalBar; }
    UIScrollBar* verticalScrollBar() const { return m_verticalBar; }
    UIScrollAreaCorner* corner() const { return m_corner; }
    UIScrollAreaViewport* viewport() const { return m_viewport; }
    UIWidget* contentWidget() const { return m_content; }

    void setViewportBackground(const Brush& brush);
    void setCornerBackground(const Brush& brush);

    void setDragScrollEnabled(bool enabled) { m_dragScrollEnabled = enabled; }
    bool dragScrollEnabled() const { return m_dragScrollEnabled; }
    void setDragCursor(const Cursor& cursor) { m_dragCursor = cursor; }
    const Cursor& dragCursor() const { return m_dragCursor; }

    // Scrolls by one single step for a wheel turn over the area or its
    // content; nothing while the content holds a key down.
    void scrollByWheel(UIWheelEvent* event);

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void wheelEvent(UIWheelEvent* event) override;

private:
    // Which bars show and how far each scrolls.
    struct Decision {
        bool canVertical = false;
        bool canHorizontal = false;
        bool showVertical = false;
        bool showHorizontal = false;
        int verticalMaximum = 0;
        int horizontalMaximum = 0;
    };

    void relayoutContent();
    Decision decide(Size area, Size content, Size vertical, Size horizontal) const;
    void placeBars(const Decision& d, Size area, Size vertical, Size horizontal);
    void showBars(const Decision& d);
    void updatePageSteps();
    void giveContentWholeArea();
    bool isBarShown(const UIScrollBar* bar) const;
    void onBarPressed(UIMouseEvent* event);
    void onBarReleased(UIMouseEvent* event);
    void onContentPressed(UIMouseEvent* event);
    void onContentMoved(UIMouseEvent* event);
    void onContentReleased(UIMouseEvent* event);

    Brush m_background;
    UIScrollBar* m_horizontalBar = nullptr;
    UIScrollBar* m_verticalBar = nullptr;
    UIScrollAreaCorner* m_corner = nullptr;
    UIScrollAreaViewport* m_viewport = nullptr;
    UIWidget* m_content = nullptr;
    ScrollBarPolicy m_horizontalPolicy = ScrollBarAsNeeded;
    ScrollBarPolicy m_verticalPolicy = ScrollBarAsNeeded;
    bool m_scrollBarsEnabled = true;
    bool m_dragScrollEnabled = false;
    Cursor m_dragCursor{CursorHandOpen};
    Point m_dragLastPoint;
    Cursor m_savedCursor{CursorArrow};
    int m_layoutDepth = 0;
};
