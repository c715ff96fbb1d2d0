#pragma once

// UIProgress: how far an operation has come. A background skin, a chunk
// whose length follows the value and, when asked for, a text made from a
// format in which "^" stands for the value. No input and no signals: the
// application sets a range and moves the value. A vertical bar fills from
// the bottom up.

#include "graphics/Colour.h"
#include "graphics/FontDesc.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"

class UIProgress : public UIWidget {
public:
    explicit UIProgress(UIWidget* parent);

    // Stores the smaller as minimum and the larger as maximum; the value
    // is left as it is, even outside the new range.
    void setRange(int a, int b);
    void setMaximum(int v);
    // Clamped into the range; repaints when it changes.
    void setValue(int v);
    void setToMinimum();
    void setToMaximum();
    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }

    // 0 horizontal, 1 vertical; the size policy follows.
    void setOrientation(int orientation);
    int orientation() const { return m_orientation; }

    // Stored only: the next paint shows them.
    void setTextVisible(bool visible) { m_textVisible = visible; }
    bool isTextVisible() const { return m_textVisible; }
    void setFormat(const String& format) { m_format = format; }
    const String& format() const { return m_format; }
    void setTextAlignment(int flags) { m_textAlignment = flags; }
    int textAlignment() const { return m_textAlignment; }

    // The chunk's rectangle for the current value in a widget of this
    // size; empty when no chunk shows.
    Rect chunkRect(Size size) const;
    // The same for the vertical bar: as long as the horizontal chunk of the
    // bar turned on its side, standing on the bottom padding.
    Rect verticalChunkRect(Size size) const;
    // The format with every "^" replaced by the value.
    String text() const;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    void changeValue(int v);
    void paintBar(Graphics& g, const UISkin& background, const UISkin& chunkSkin, const UISkin& border,
                  const Rect& chunk) const;

    FontDesc m_font;
    Colour m_foreground;
    UIMargins m_padding;
    int m_thickness = 0;
    UISkin m_horizontalBackground;
    UISkin m_horizontalChunk;
    UISkin m_horizontalBorder;
    UISkin m_verticalBackground;
    UISkin m_verticalChunk;
    UISkin m_verticalBorder;
    int m_value = 0;
    int m_maximum = 0;
    int m_minimum = 0;
    int m_orientation = 0;
    bool m_textVisible = false;
    String m_format = String(L"^%");
    int m_textAlignment = AlignCenter;
};
