#pragma once

// UIPicture: a background brush, an optional background image and a stack
// of image layers drawn bottom first, each with its own scale mode,
// alignment and visibility, inside the rectangle less margins. Without
// layers it can show a centred text instead. Disabled, it shows only its
// disabled background and border.

#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/FontDesc.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"

#include <vector>

class Graphics;

class UIPicture : public UIWidget {
public:
    enum ScaleMode : int {
        // Unscaled, placed by the alignment.
        Unscaled = 0,
        // Stretched over the whole content rectangle, smoothly.
        Stretched = 1,
        // Shrunk to fit keeping its aspect ratio (never enlarged), placed by
        // the alignment, smoothly.
        Fitted = 2,
        Tiled = 3,
    };

    explicit UIPicture(UIWidget* parent);

    // Replaces every layer with this one.
    void setImage(const Bitmap& image, int scaleMode, int alignment);
    void addLayer(const Bitmap& image, int scaleMode, int alignment);
    void clearLayers();
    // Nothing for an index that does not exist.
    void setLayer(int index, const Bitmap& image, int scaleMode, int alignment);
    void setLayerVisible(int index, bool visible);
    // The index must exist.
    Bitmap layerImage(int index) const;
    // Where the layer was drawn last; (0, 0, 0, 0) before its first paint.
    Rect layerRect(int index) const;
    int layerCount() const { return int(m_layers.size()); }
    bool isEmpty() const { return m_layers.empty(); }

    // With auto size, the size hint is the largest layer extent seen; the
    // extent never shrinks.
    void setAutoSize(bool on);
    bool autoSize() const { return m_autoSize; }
    void setMargins(int left, int top, int right, int bottom);
    UIMargins margins() const { return m_margins; }

    void setBackgroundImage(const Bitmap& image, int scaleMode, int alignment);
    void setBackground(Colour colour);
    const Brush& background() const { return m_background; }
    void setText(const String& text) { m_text = text; }
    const String& text() const { return m_text; }
    void setTextVisible(bool visible) { m_textVisible = visible; }
    bool isTextVisible() const { return m_textVisible; }
    void setFont(const FontDesc& font) { m_font = font; }
    const FontDesc& font() const { return m_font; }
    void setForeground(Colour colour) { m_foreground = colour; }
    Colour foreground() const { return m_foreground; }

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    struct Layer {
        Bitmap image;
        int scaleMode = Unscaled;
        int alignment = 0;
        bool visible = true;
        Rect rect;
    };

    void growAutoSizeExtent();
    bool hasLayer(int index) const;
    void paintBackgroundImage(Graphics& g, const Rect& r);
    void paintText(Graphics& g, const Rect& r);
    static Rect paintLayer(Graphics& g, const Layer& layer, const Rect& content);

    FontDesc m_font;
    Colour m_foreground;
    Brush m_background;
    Colour m_borderColor;
    Brush m_disabledBackground;
    Colour m_disabledBorderColor;
    Layer m_backgroundImage{Bitmap(), Unscaled, AlignLeft | AlignTop, true, Rect()};
    std::vector<Layer> m_layers;
    bool m_autoSize = true;
    Size m_autoSizeExtent;
    UIMargins m_margins;
    String m_text;
    bool m_textVisible = true;
};
