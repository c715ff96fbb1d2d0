#include "ui/widgets/UIProgress.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"

#include <algorithm>

namespace {

constexpr int horizontal = 0;
constexpr int vertical = 1;
// A chunk narrower than this would show only its border.
constexpr int minimumChunkWidth = 4;
constexpr int minimumLength = 50;

} // namespace

UIProgress::UIProgress(UIWidget* parent) : UIWidget(parent)
{
    setStyleName(L"UIProgress");
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeResizable, SizeFixed);
}

void UIProgress::setRange(int a, int b)
{
    m_minimum = std::min(a, b);
    m_maximum = std::max(a, b);
}

void UIProgress::setMaximum(int v)
{
    setRange(m_minimum, v);
}

void UIProgress::setValue(int v)
{
    if (v != m_value)
        changeValue(std::clamp(v, m_minimum, m_maximum));
}

void UIProgress::setToMinimum()
{
    changeValue(m_minimum);
}

void UIProgress::setToMaximum()
{
    changeValue(m_maximum);
}

void UIProgress::changeValue(int v)
{
    if (v == m_value)
        return;
    m_value = v;
    repaint();
}

void UIProgress::setOrientation(int orientation)
{
    m_orientation = orientation;
    if (orientation == vertical)
        setSizePolicy(SizeFixed, SizeResizable);
    else
        setSizePolicy(SizeResizable, SizeFixed);
}

Rect UIProgress::chunkRect(Size size) const
{
    // An empty range has no share to show; a range not starting at 0 shows
    // the value's distance from its minimum.
    // Worked out in double: the distances of int values overflow int.
    const double range = double(m_maximum) - double(m_minimum);
    if (range <= 0.0)
        return Rect();
    const double percent = (double(m_value) - double(m_minimum)) * 100.0 / range;
    if (percent <= 0.0)
        return Rect();
    const int chunkWidth = int(double(size.width) / (100.0 / percent));
    const Rect chunk(m_padding.left, m_padding.top, chunkWidth - m_padding.right - m_padding.left,
                     size.height - m_padding.bottom - m_padding.top);
    return chunk.width >= minimumChunkWidth ? chunk : Rect();
}

String UIProgress::text() const
{
    return m_format.replace(String(L"^"), String::number(m_value));
}

Size UIProgress::sizeHint() const
{
    if (m_orientation == horizontal)
        return Size{std::max(minimumWidth(), minimumLength), m_thickness};
    return Size{m_thickness, std::max(minimumHeight(), minimumLength)};
}

void UIProgress::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"font"))
        m_font = parseFontValue(value);
    else if (name == String(L"foreground"))
        m_foreground = parseColourValue(value);
    else if (name == String(L"padding"))
        m_padding = parseMarginsValue(value);
    else if (name == String(L"thickness"))
        m_thickness = parseIntValue(value);
}

void UIProgress::setStyleImage(const String& skinName, UISkin* skin)
{
    const std::pair<const wchar_t*, UISkin*> skins[] = {
        {L"UIProgress_HorizontalBackground", &m_horizontalBackground},
        {L"UIProgress_HorizontalChunk", &m_horizontalChunk},
        {L"UIProgress_HorizontalBorder", &m_horizontalBorder},
        {L"UIProgress_VerticalBackground", &m_verticalBackground},
        {L"UIProgress_VerticalChunk", &m_verticalChunk},
        {L"UIProgress_VerticalBorder", &m_verticalBorder},
    };
    for (const auto& [name, target] : skins) {
        if (skinName == String(name))
            *target = *skin;
    }
}

void UIProgress::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    if (m_orientation == vertical)
        paintBar(g, m_verticalBackground, m_verticalChunk, m_verticalBorder, verticalChunkRect(size()));
    else
        paintBar(g, m_horizontalBackground, m_horizontalChunk, m_horizontalBorder, chunkRect(size()));
    if (!m_textVisible)
        return;
    g.setFont(m_font);
    g.setPenColour(m_foreground);
    g.drawText(text(), rect(), m_textAlignment, 0, 0);
}

void UIProgress::paintBar(Graphics& g, const UISkin& background, const UISkin& chunkSkin, const UISkin& border,
                          const Rect& chunk) const
{
    background.drawNineSlice(g, rect(), 0, SkinAllRegions);
    if (chunk.isEmpty())
        return;
    g.tileBitmap(chunkSkin, chunk);
    border.drawNineSlice(g, chunk, 0, SkinAllRegions);
}

Rect UIProgress::verticalChunkRect(Size size) const
{
    // The bar turned on its side gives the chunk's length by the same
    // arithmetic as the horizontal bar; the chunk grows from the bottom.
    const Rect lying = chunkRect(Size{size.height, size.width});
    if (lying.isEmpty())
        return Rect();
    const int length = lying.width + m_padding.left + m_padding.right;
    const Rect chunk(m_padding.left, size.height - length + m_padding.top,
                     size.width - m_padding.left - m_padding.right, length - m_padding.top - m_padding.bottom);
    return chunk.height >= minimumChunkWidth ? chunk : Rect();
}
