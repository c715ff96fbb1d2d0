#pragma once

// UISplitter: divides its rectangle into panels side by side (horizontal)
// or stacked (vertical), with a draggable separator between neighbours.
// The splitter does no geometry of its own: its children alternate panel,
// separator, panel, ... in its layout (panel k at layout index 2k,
// separator i at 2i + 1), and each panel's share of the room is its
// stretch factor there, in percent. Dragging a separator rewrites the
// factors of the two panels beside it.

#include "foundation/List.h"
#include "graphics/Brush.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"

// A splitter's direction; a separator's bar runs the other way.
enum SplitterOrientation : int {
    SplitterHorizontal = 0,
    SplitterVertical = 1,
};

class UISplitter;

// One pane; the application puts its widgets inside.
class UISplitterPanel : public UIWidget {
public:
    explicit UISplitterPanel(UIWidget* parent);
};

// The bar between panel index and panel index + 1.
class UISplitterSeparator : public UIWidget {
public:
    // orientation is the bar's own: vertical between side-by-side panels.
    UISplitterSeparator(int index, SplitterOrientation orientation, UISplitter* splitter);

    void setOrientation(SplitterOrientation orientation);
    SplitterOrientation orientation() const { return m_orientation; }
    void setThickness(int thickness) { m_thickness = thickness; }
    int thickness() const { return m_thickness; }
    int index() const { return m_index; }

    Size sizeHint() const override { return {m_thickness, m_thickness}; }
    // Reads "thickness" (an int).
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;

private:
    // The coordinate along the drag axis.
    int along(Point p) const { return m_orientation == SplitterVertical ? p.x : p.y; }
    Cursor normalCursor() const;
    // Where the pointer is tells which way the refused drag cannot go.
    Cursor refusedCursor() const;

    int m_thickness = 8;
    UISkin m_horizontalBackground;
    UISkin m_verticalBackground;
    UISkin m_gripper;
    UISplitter* m_splitter;
    int m_index;
    SplitterOrientation m_orientation = SplitterHorizontal;
    int m_pressOffset = 0;
    bool m_dragging = false;
    int m_lastPosition = 0;
    Point m_lastMouse;
};

class UISplitter : public UIWidget {
public:
    // The layout holds stretch factors for ten children, so a splitter has
    // at most five panels; panelCount is clamped to 1 .. maxPanels. Every
    // panel starts with an equal share.
    static constexpr int maxPanels = gridStretchCount / 2;

    UISplitter(int panelCount, SplitterOrientation orientation, UIWidget* parent = nullptr);

    // No repaint.
    void setBackground(const Brush& brush) { m_background = brush; }
    const Brush& background() const { return m_background; }
    // Re-flows the children, turns the separators and shares the room out
    // evenly again.
    void setOrientation(SplitterOrientation orientation);
    SplitterOrientation orientation() const { return m_orientation; }

    // Index below 1 gives the first; null past the end.
    UISplitterPanel* panel(int index) const;
    // Null outside 0 .. separatorCount() - 1.
    UISplitterSeparator* separator(int index) const;
    int panelCount() const { return m_panels.count(); }
    int separatorCount() const { return m_separators.count(); }

    // Takes effect at the next layout pass. An index past the separators
    // is ignored (reads 0).
    void setSeparatorThickness(int index, int thickness);
    int separatorThickness(int index) const;
    // The separator's x (horizontal splitter) or y (vertical), in splitter
    // coordinates; 0 past the separators.
    int separatorPosition(int index) const;

    // Moves separator index so that its centre line lies at position along
    // the splitter's axis, by rewriting the factors of the panels on either
    // side; neither gets less than its preferred size. False, changing
    // nothing, when they have no room beyond that, when the factors come out
    // as they were, or for an index past the separators.
    bool moveSeparator(int index, int position);

    // The stretch factor of a child by its layout index, on the splitter's axis.
    float stretchAt(int layoutIndex) const;

    // A factor within a float's step of 0 or 100 becomes exactly that, so a
    // panel dragged to an end compares equal to the end. The test runs
    // before rounding to float: 99.999995 rounds to the bound itself.
    static float snappedFactor(double factor);

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    void setStretchAt(int layoutIndex, float factor);
    int extent(Size s) const { return m_orientation == SplitterVertical ? s.height : s.width; }
    int start(const UIWidget* w) const { return m_orientation == SplitterVertical ? w->y() : w->x(); }

    Brush m_background;
    SplitterOrientation m_orientation = SplitterVertical;
    List<UISplitterPanel*> m_panels;
    List<UISplitterSeparator*> m_separators;
};
