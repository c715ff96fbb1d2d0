#pragma once

// A column section of a header: its title, width limits, sort state and
// the rectangles the header's layout and paint keep.

#include "foundation/Geometry.h"
#include "ui/UIItem.h"

class UIHeaderSection : public UIItem {
public:
    enum SortOrder { Unsorted = 0, Ascending = 1, Descending = 2 };
    enum SortKind { NotSortable = 0, ByText = 1, ByNumber = 2 };

    explicit UIHeaderSection(const String& title) : m_title(title) {}

    void setText(const String& title) { m_title = title; }
    const String& text() const { return m_title; }
    void setToolTip(const String& text) { m_toolTip = text; }
    const String& toolTip() const { return m_toolTip; }
    bool isVisible() const { return m_visible; }
    // Hiding resets both rectangles.
    void setVisible(bool visible);
    Rect* rect() { return &m_rect; }
    Rect* textRect() { return &m_textRect; }

    // Never below the minimum width (when above 0), then never below the
    // lower bound (when 1 or more); neither is an upper limit.
    void setWidth(int width);
    int width() const { return m_width; }
    // Store the limit and re-apply both limits to the width.
    void setMinimumWidth(int width);
    int minimumWidth() const { return m_minimumWidth; }
    void setLowerBound(int width);
    int lowerBound() const { return m_lowerBound; }
    void setDefaultWidth(int width) { m_defaultWidth = width; }
    int defaultWidth() const { return m_defaultWidth; }
    void setResizable(bool on) { m_resizable = on; }
    bool isResizable() const { return m_resizable; }
    void setSortOrder(int order) { m_sortOrder = order; }
    int sortOrder() const { return m_sortOrder; }
    void setSortable(int kind) { m_sortKind = kind; }
    // The sort kind; not 0 means sortable.
    int isSortable() const { return m_sortKind; }
    void setAlignment(int alignment) { m_alignment = alignment; }
    int alignment() const { return m_alignment; }
    void setTitleElided(bool on) { m_titleElided = on; }
    bool isTitleElided() const { return m_titleElided; }

private:
    String m_title;
    String m_toolTip;
    bool m_visible = true;
    Rect m_rect;
    int m_width = 40;
    int m_minimumWidth = 40;
    int m_lowerBound = 0;
    int m_defaultWidth = 0;
    int m_sortOrder = Unsorted;
    int m_sortKind = NotSortable;
    int m_alignment = itemAlignCentred;
    bool m_resizable = true;
    Rect m_textRect;
    bool m_titleElided = false;
};
