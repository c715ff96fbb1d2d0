#pragma once

#include "graphics/Brush.h"
#include "ui/UISkin.h"
#include "ui/widgets/UIRangeControl.h"

// The range control of scroll areas: a track with a thumb as long as the
// visible share of the document, optional arrow buttons at both ends that
// repeat while held (faster the farther the pointer strays from them),
// one page step per track click, Shift+click to jump, and thumb dragging.
// Positions come from the value and the maximum alone: the minimum is 0.
class UIScrollBar : public UIRangeControl {
public:
    // Its auto-repeat tick, every autoRepeatInterval ms.
    static constexpr int autoRepeatTimerId = 100020;
    static constexpr int autoRepeatInterval = 20;

    explicit UIScrollBar(UIWidget* parent = nullptr);
    ~UIScrollBar() override;

    // The value whose thumb centre lies at p along the axis; the minimum
    // when the thumb fills the track or the maximum is at most 0.
    int valueAt(Point p) const override;
    // (thickness, thumbMinimumLength + 2 arrows) across and along the axis.
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

    // The length of what is scrolled; below 1 is ignored.
    void setDocumentLength(int length);
    int documentLength() const { return m_documentLength; }
    void setArrowsVisible(bool visible);
    bool arrowsVisible() const { return m_arrowsVisible; }
    // What one auto-repeat tick on an arrow moves.
    void setArrowStep(int step) { m_arrowStep = step; }
    int arrowStep() const { return m_arrowStep; }
    // Extra step per pixel the pointer strays from the held arrow.
    float acceleration() const { return m_acceleration; }
    int thickness() const { return m_style.thickness; }
    int thumbMinimumLength() const { return m_style.thumbMinimumLength; }

    void startAutoRepeat();
    void stopAutoRepeat();
    bool isAutoRepeating() const { return m_autoRepeating; }
    bool isDraggingThumb() const { return m_draggingThumb; }

    // The thumb's length along the axis at the current size.
    int thumbLength() const;
    // Where the thumb is at the current size and value; empty while no
    // thumb shows (maximum at most 0, or the bar shorter than its hint).
    Rect thumbRect() const;

protected:
    // The pointer's screen position, read on every auto-repeat tick.
    virtual Point pointerPosition() const;

    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;

private:
    enum Part : int {
        HorizontalBackground,
        LeftArrowBackground,
        RightArrowBackground,
        HorizontalThumbBackground,
        HorizontalThumbGripper,
        VerticalBackground,
        TopArrowBackground,
        BottomArrowBackground,
        VerticalThumbBackground,
        VerticalThumbGripper,
        ArrowLeft,
        ArrowRight,
        ArrowUp,
        ArrowDown,
        PartCount,
    };

    struct Style {
        Brush background;
        int thickness = 0;
        int thumbMinimumLength = 0;
        UISkin skins[PartCount];
    };

    // Along the axis: the bar's length, a point's coordinate.
    int length() const;
    int along(Point p) const;
    // The arrow size at each end: the thickness, or 0 without arrows.
    int arrowLength() const;
    int thumbPosition(int thumbLength) const;
    Rect firstArrowRect() const;
    Rect secondArrowRect() const;
    int thumbState() const;
    void pressTrack(const UIMouseEvent* event);
    void pressArrow(const Rect& arrow, bool decrement);
    void repeatStep();
    void paintHorizontalArrows(Graphics& g, int state) const;
    void paintVerticalArrows(Graphics& g, int state) const;
    void paintThumb(Graphics& g) const;

    Style m_style;
    int m_documentLength = 1;
    bool m_autoRepeating = false;
    int m_dragOffset = 0;
    Rect m_repeatArrowRect;
    bool m_repeatDecrement = true;
    float m_acceleration = 0.15f;
    int m_arrowStep = 3;
    bool m_arrowsVisible = true;
    bool m_draggingThumb = false;
};
