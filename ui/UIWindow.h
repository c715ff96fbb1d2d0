#pragma once

// UIWindow: a top-level window widget. It paints its background brush and,
// when its border colour is visible, a one-pixel frame inside its rectangle.
// Its children flow top to bottom. UIDialog builds on it for modal dialogs.

#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "ui/UIWidget.h"
#include "ui/UIWidgetAttachment.h"

// Darkens a window: every pixel of the painted rectangle gets the colour
// composed over it. Does nothing for a colour of alpha 0.
class UIColorOverlayEffect : public UIWidgetAttachment {
public:
    explicit UIColorOverlayEffect(Colour colour) : UIWidgetAttachment(0), m_colour(colour) {}

    void paint(DrawingSurface* surface, const Rect& r) override;

private:
    Colour m_colour;
};

class UIWindow : public UIWidget {
public:
    // windowFlags: WindowFlag bits, not 0.
    UIWindow(UIWidget* parent, std::uint32_t windowFlags);
    ~UIWindow() override;

    // Reads "background" (a brush) and "borderColor" (a colour).
    void setStyleProperty(const String& name, const String& value) override;
    // Showing places and shows the window (and runs a modal window's loop).
    void setVisible(bool visible) override;

    void setBackground(const Brush& brush);
    const Brush& background() const { return m_background; }
    void setBorderColor(Colour colour);
    Colour borderColor() const { return m_borderColor; }

    // Each call with true lays one more dark overlay over the window; false
    // removes every attachment.
    void setDimmed(bool dimmed);
    bool isDimmed() const;

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    Brush m_background;
    // showWindow shows through setVisible: the second call is the plain show.
    bool m_showing = false;
    Colour m_borderColor = Colour(0x00FFFFFFu);
};
