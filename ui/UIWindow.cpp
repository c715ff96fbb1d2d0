#include "ui/UIWindow.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "graphics/Pen.h"
#include "ui/UIStyleValues.h"

#include <cstring>

void UIColorOverlayEffect::paint(DrawingSurface* surface, const Rect& r)
{
    if (m_colour.alpha() == 0 || !surface->pixels())
        return;
    const Rect area = r.intersected(Rect(0, 0, surface->width(), surface->height()));
    const int stride = surface->width() * 4;
    for (int y = area.y; y < area.y + area.height; ++y) {
        std::uint8_t* row = surface->pixels() + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = area.x; x < area.x + area.width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, row + x * 4, 4);
            // GDI leaves the alpha byte of what it draws at 0: the window's
            // pixels are opaque whatever that byte holds.
            pixel = Colour(pixel | 0xFF000000u).blended(m_colour).argb();
            std::memcpy(row + x * 4, &pixel, 4);
        }
    }
}

UIWindow::UIWindow(UIWidget* parent, std::uint32_t windowFlags) : UIWidget(parent, windowFlags)
{
    setFlag(WidgetWindow, true);
    setStyleName(L"UIWindow");
    setWindowTitle(String(), true);
    setLayoutVertical(true);
}

UIWindow::~UIWindow() = default;

void UIWindow::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"background"))
        m_background = parseBrushValue(value);
    else if (name == String(L"borderColor"))
        m_borderColor = parseColourValue(value);
}

void UIWindow::setVisible(bool visible)
{
    if (!visible || m_showing) {
        UIWidget::setVisible(visible);
        return;
    }
    m_showing = true;
    showWindow();
    m_showing = false;
}

void UIWindow::setBackground(const Brush& brush)
{
    m_background = brush;
}

void UIWindow::setBorderColor(Colour colour)
{
    m_borderColor = colour;
}

void UIWindow::setDimmed(bool dimmed)
{
    if (!dimmed) {
        deleteAttachments();
        return;
    }
    addAttachment(new UIColorOverlayEffect(Colour(150, 0, 0, 0)));
    setAttachmentEnabled(0, true);
}

bool UIWindow::isDimmed() const
{
    return hasAttachment(0);
}

void UIWindow::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_background);
    if (!m_borderColor.isVisible())
        return;
    g.setPen(Pen(m_borderColor));
    g.drawRect(0, 0, width() - 1, height() - 1);
}
