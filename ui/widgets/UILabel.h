#pragma once

// UILabel: a text on one line or on several (split at every line feed),
// drawn with a shadow in the colours of the "UILabel" style. A one-line
// label too narrow for its text shortens it by its elide mode and then
// offers the whole text as its tool tip, unless it has a tip of its own.
// A multi-line label with a wrap width also wraps each line to fit it; one
// lower than its lines shows those that fit, the last one ending in an
// ellipsis (shortened to make room for it).

#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Colour.h"
#include "graphics/Font.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UITextStyle.h"

class Graphics;

class UILabel : public UIWidget {
public:
    explicit UILabel(UIWidget* parent = nullptr);
    ~UILabel() override;

    Size sizeHint() const override;
    // The text style's keys, "disabledForeground" and "disabledShadowForeground".
    void setStyleProperty(const String& name, const String& value) override;
    // The own tool tip; else the text when the last paint shortened it.
    String toolTip(Point p) const override;

    // A different text relayouts, and repaints when nothing moved.
    void setText(const String& text);
    const String& text() const { return m_text; }

    // The setters below store only; the next paint shows them.
    // Alignment flags; left and vertically centred at first.
    void setAlignment(int flags) { m_alignment = flags; }
    int alignment() const { return m_alignment; }
    // An ElideMode; ElideRightWithEllipsis at first. Multi-line text is
    // never shortened.
    void setElideMode(int mode) { m_elideMode = mode; }
    int elideMode() const { return m_elideMode; }
    void setMultiLine(bool on) { m_multiLine = on; }
    bool isMultiLine() const { return m_multiLine; }
    // The widest a multi-line label may grow, its margin included: a longer
    // line wraps after its last fitting space, else after its last fitting
    // "\" or "/" (a path without spaces), else between characters, never
    // inside a surrogate pair. 0, at first, wraps nothing.
    void setWrapWidth(int width) { m_wrapWidth = width; }
    int wrapWidth() const { return m_wrapWidth; }
    // The lines a multi-line label shows: its text split at every line
    // feed, each part wrapped. A wrapped line keeps the spaces it broke
    // after; they hang past its end and take no room.
    StringList lines() const;
    void setFont(const FontDesc& font) { m_style.text.font = font; }
    void setFontSize(float points) { m_style.text.font.setSize(points); }
    const FontDesc& font() const { return m_style.text.font; }
    // The text pen becomes a pen of this colour.
    void setForeground(Colour colour) { m_style.text.foreground = Pen(colour); }

    // Whether the last one-line paint had to shorten the text.
    bool isElided() const { return m_elided; }

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    struct Style {
        UITextStyle text;
        Pen disabledForeground;
        Pen disabledShadowForeground;
    };

    void paintOneLine(Graphics& g);
    void paintLines(Graphics& g);
    void paintLine(Graphics& g, const String& text, const Rect& line, int elideMode);

    Style m_style;
    String m_text;
    int m_alignment = AlignLeft | AlignVCenter;
    bool m_multiLine = false;
    int m_elideMode = ElideRightWithEllipsis;
    int m_wrapWidth = 0;
    bool m_elided = false;
};
