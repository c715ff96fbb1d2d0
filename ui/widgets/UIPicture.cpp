#include "ui/widgets/UIPicture.h"

#include "graphics/Font.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"

#include <algorithm>

namespace {

constexpr int minimumSide = 32;

Rect lessMargins(const Rect& r, const UIMargins& m)
{
    return Rect(r.x + m.left, r.y + m.top, r.width - m.left - m.right, r.height - m.top - m.bottom);
}

// Never enlarged: an image that fits keeps its size.
Size fittedSize(Size image, Size bounds)
{
    if (image.width <= bounds.width && image.height <= bounds.height)
        return image;
    return image.scaledToFit(bounds);
}

} // namespace

UIPicture::UIPicture(UIWidget* parent) : UIWidget(parent)
{
    setStyleName(L"UIPicture");
    setSizePolicy(SizeFixed, SizeFixed);
}

void UIPicture::setImage(const Bitmap& image, int scaleMode, int alignment)
{
    m_layers.clear();
    addLayer(image, scaleMode, alignment);
}

void UIPicture::addLayer(const Bitmap& image, int scaleMode, int alignment)
{
    m_layers.push_back(Layer{image.copy(), scaleMode, alignment, true, Rect()});
    growAutoSizeExtent();
    repaint();
}

void UIPicture::clearLayers()
{
    m_layers.clear();
    repaint();
}

bool UIPicture::hasLayer(int index) const
{
    return index >= 0 && index < layerCount();
}

void UIPicture::setLayer(int index, const Bitmap& image, int scaleMode, int alignment)
{
    if (!hasLayer(index))
        return;
    Layer& layer = m_layers[std::size_t(index)];
    layer.image = image.copy();
    layer.scaleMode = scaleMode;
    layer.alignment = alignment;
    repaint();
}

void UIPicture::setLayerVisible(int index, bool visible)
{
    if (!hasLayer(index))
        return;
    m_layers[std::size_t(index)].visible = visible;
    repaint();
}

Bitmap UIPicture::layerImage(int index) const
{
    return m_layers[std::size_t(index)].image.copy();
}

Rect UIPicture::layerRect(int index) const
{
    return m_layers[std::size_t(index)].rect;
}

void UIPicture::setAutoSize(bool on)
{
    m_autoSize = on;
    if (on)
        growAutoSizeExtent();
}

void UIPicture::growAutoSizeExtent()
{
    if (!m_autoSize)
        return;
    for (const Layer& layer : m_layers) {
        m_autoSizeExtent.width = std::max(m_autoSizeExtent.width, layer.image.width());
        m_autoSizeExtent.height = std::max(m_autoSizeExtent.height, layer.image.height());
    }
}

void UIPicture::setMargins(int left, int top, int right, int bottom)
{
    m_margins = UIMargins{left, top, right, bottom};
}

void UIPicture::setBackgroundImage(const Bitmap& image, int scaleMode, int alignment)
{
    m_backgroundImage.image = image.copy();
    m_backgroundImage.scaleMode = scaleMode;
    m_backgroundImage.alignment = alignment;
}

void UIPicture::setBackground(Colour colour)
{
    m_background = Brush(colour);
}

Size UIPicture::sizeHint() const
{
    const Size hint = m_autoSize ? m_autoSizeExtent
                                 : Size{std::max(minimumWidth(), minimumSide), std::max(minimumHeight(), minimumSide)};
    return Size{std::max(hint.width, 1), std::max(hint.height, 1)};
}

// "shadowForeground" and "shadowOffset" are accepted and ignored: the
// shadow colour cannot be set, so no shadow would ever show.
void UIPicture::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"font"))
        m_font = parseFontValue(value);
    else if (name == String(L"foreground"))
        m_foreground = parseColourValue(value);
    else if (name == String(L"background"))
        m_background = parseBrushValue(value);
    else if (name == String(L"borderColor"))
        m_borderColor = parseColourValue(value);
    else if (name == String(L"disabledBackground"))
        m_disabledBackground = parseBrushValue(value);
    else if (name == String(L"disabledBorderColor"))
        m_disabledBorderColor = parseColourValue(value);
}

void UIPicture::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const Rect r = rect();
    if (!isEnabled()) {
        g.fillRect(r, m_disabledBackground);
        g.setPenColour(m_disabledBorderColor);
        g.drawRect(r.x, r.y, r.width - 1, r.height - 1);
        return;
    }
    g.fillRect(r, m_background);
    paintBackgroundImage(g, r);
    if (m_layers.empty() && m_textVisible && !m_text.isEmpty())
        paintText(g, r);
    const Rect content = lessMargins(r, m_margins);
    for (Layer& layer : m_layers) {
        if (layer.visible)
            layer.rect = paintLayer(g, layer, content);
    }
}

void UIPicture::paintBackgroundImage(Graphics& g, const Rect& r)
{
    const Layer& back = m_backgroundImage;
    if (back.image.isNull() || !back.visible)
        return;
    // A fitted background image is not drawn: nothing asks for one.
    if (back.scaleMode != Fitted)
        paintLayer(g, back, r);
}

Rect UIPicture::paintLayer(Graphics& g, const Layer& layer, const Rect& content)
{
    g.setRenderHint(Graphics::SmoothScaling, false);
    switch (layer.scaleMode) {
    case Unscaled:
        g.drawBitmapAligned(layer.image, content, layer.alignment);
        return content.alignedRect(layer.image.width(), layer.image.height(), layer.alignment, true);
    case Stretched:
        g.setRenderHint(Graphics::SmoothScaling, true);
        g.drawBitmapInRect(layer.image, content);
        return content;
    case Fitted: {
        g.setRenderHint(Graphics::SmoothScaling, true);
        const Size fitted = fittedSize(layer.image.size(), content.size());
        const Rect placed = content.alignedRect(fitted.width, fitted.height, layer.alignment, true);
        g.drawBitmapScaled(layer.image, layer.image.rect(), placed);
        return placed;
    }
    case Tiled:
        g.tileBitmap(layer.image, content);
        return content;
    default:
        return Rect();
    }
}

void UIPicture::paintText(Graphics& g, const Rect& r)
{
    const Font font(m_font);
    const int lineHeight = font.height();
    const Rect block = r.alignedRect(r.width, 2 * lineHeight, AlignCenter, true);
    g.setFont(m_font);
    int top = block.y;
    for (const String& line : String::split(m_text, String(L"\n"))) {
        const Rect lineBox(block.x, top, block.width, lineHeight);
        g.setPenColour(m_foreground);
        g.drawText(line, lineBox, AlignHCenter | AlignTop, 0, 0);
        top += lineHeight;
    }
}
