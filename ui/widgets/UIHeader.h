#pragma once

// UIHeader: the row of column titles above a table. It owns the columns as
// UIHeaderSection records, lets the user resize a column by dragging the
// grip zone at its right edge, reports clicks on titles (the table sorts
// on them) and shows the sorted column's direction. It can stretch its
// last visible section over the width the others leave.

#include "foundation/Array.h"
#include "foundation/Signal.h"
#include "graphics/Colour.h"
#include "graphics/FontDesc.h"
#include "ui/UIHeaderSection.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"

class Graphics;

// How UIHeader::resizeSections sets the widths.
enum class HeaderResizeMode : int {
    // Back to each section's default width.
    Reset = 0,
    // Wide enough for each title.
    FitTitles = 1,
    FitTitlesAgain = 2,
};

class UIHeader : public UIWidget {
public:
    explicit UIHeader(UIWidget* parent);
    ~UIHeader() override;

    // Emitted with the section index.
    Signal sectionResized;
    // A press and a release on the same section's title; with its index.
    Signal sectionClicked;
    // With the number of visible sections.
    Signal visibleSectionCountChanged;

    // Appends a section of that title and width (raised to its minimum)
    // whose default width is the header's default section width. Neither
    // relayouts nor repaints.
    UIHeaderSection* addSection(const String& text, int width, bool resizable);

    int sectionCount() const { return m_sections.count(); }
    int visibleSectionCount() const;
    int hiddenSectionCount() const { return sectionCount() - visibleSectionCount(); }
    // Null for an index that is not valid.
    UIHeaderSection* section(int i) const { return m_sections[i]; }
    bool isSectionVisible(int i) const;
    bool isValidIndex(int i) const { return i >= 0 && i < sectionCount(); }
    // Null when every section is hidden.
    UIHeaderSection* lastVisibleSection() const;

    // The operations taking an index ignore one that is not valid.
    void setSectionVisible(int i, bool visible);
    void showSection(int i) { setSectionVisible(i, true); }
    void hideSection(int i) { setSectionVisible(i, false); }
    // Ignored for a section that is not resizable and for the stretched
    // last section.
    void setSectionWidth(int i, int width);
    void setSectionText(int i, const String& text);
    // Sets no repaint going: the table repaints after sorting.
    void clearSortIndicators();

    // Raises every section's minimum width to at least width.
    void setMinimumSectionWidth(int width);
    int minimumSectionWidth() const { return m_minimumSectionWidth; }
    // Every section's default width becomes max(its minimum, width).
    void setDefaultSectionWidth(int width);
    int defaultSectionWidth() const { return m_defaultSectionWidth; }
    void setStretchLastSection(bool on);
    bool stretchLastSection() const { return m_stretchLastSection; }
    void setSortIndicatorsEnabled(bool on) { m_sortIndicatorsEnabled = on; }
    bool sortIndicatorsEnabled() const { return m_sortIndicatorsEnabled; }

    void resizeSections(HeaderResizeMode mode);

    // The visible section under the point, or -1; the grip zones at the
    // sections' edges belong to none.
    int sectionAt(Point p) const;
    int sectionAtX(int x) const { return sectionAt(Point{x, 0}); }
    UIHeaderSection* sectionObjectAt(Point p) const;

    // The room the visible sections need at their minimum widths, at least
    // two grip zones and 20 pixels wide; minimumHeight high.
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    // The section's own tip, else the title when it did not fit.
    String toolTip(Point p) const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;

private:
    struct Style {
        FontDesc font;
        Colour foreground;
        Colour shadowForeground;
        Point shadowOffset;
        Colour disabledForeground;
        UIMargins padding;
        UIMargins itemPadding;
        int minimumHeight = 20;
        UISkin background;
        UISkin itemBackground;
        UISkin itemSeparator;
        UISkin sortIndicatorAscending;
        UISkin sortIndicatorDescending;
        UISkin sortIndicatorUp;
        UISkin sortIndicatorDown;
    };

    // Places every section from the widths, the visibility and the content
    // offset. Cheap, so hit tests place them afresh instead of trusting the
    // last paint; the places are the records' own, hence const.
    void placeSections() const;
    bool isStretchedSection(const UIHeaderSection* section) const;
    bool showsSortIndicator(const UIHeaderSection* section) const;
    int titleInset(const UIHeaderSection* section) const;
    void updateStretchedSection();
    void setWidthAndNotify(int i, int width);
    void paintSection(Graphics& g, UIHeaderSection* section, int index);
    void paintTitle(Graphics& g, UIHeaderSection* section);
    void paintSeparators(Graphics& g, const Rect& r);
    int itemState(int index) const;
    void dragResizeSection(int x);
    void hoverGripZone(int x);
    int gripZoneSectionAt(int x) const;

    Style m_style;
    PointerArray<UIHeaderSection*> m_sections;
    bool m_sortIndicatorsEnabled = true;
    int m_minimumSectionWidth = 10;
    int m_defaultSectionWidth = 20;
    bool m_stretchLastSection = false;
    int m_hoveredSection = -1;
    int m_resizeSection = -1;
    int m_pressedSection = -1;
    // Half the width of the grip zone at a section's right edge.
    int m_resizeMargin = 5;
    // Where the title starts in a section that shows a sort indicator.
    int m_sortIndicatorTextInset = 11;
};
