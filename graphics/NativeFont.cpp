#include "graphics/NativeFont.h"

#include "graphics/FontCache.h"
#include "graphics/FontSystem.h"

#include <windows.h>

namespace {

HDC createMeasuringContext()
{
    HDC context = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!context)
        return nullptr;
    SetGraphicsMode(context, GM_ADVANCED);
    SetMapMode(context, MM_TEXT);
    return context;
}

// One display context for all measuring, kept for the program's life.
HDC measuringContext()
{
    static const HDC context = createMeasuringContext();
    return context;
}

// Selects a font into the measuring context for one measurement and puts
// the previous font back afterwards.
class SelectedFont {
public:
    explicit SelectedFont(FontHandle font)
        : m_context(measuringContext()), m_previous(m_context && font ? SelectObject(m_context, font) : nullptr)
    {
    }
    ~SelectedFont()
    {
        if (m_previous)
            SelectObject(m_context, m_previous);
    }
    SelectedFont(const SelectedFont&) = delete;
    SelectedFont& operator=(const SelectedFont&) = delete;

    // Null when there is no context or the font could not be selected, so
    // nothing is measured in a font other than the one asked for.
    HDC context() const { return m_previous ? m_context : nullptr; }

private:
    HDC m_context;
    HGDIOBJ m_previous;
};

int extentWidth(HDC context, const wchar_t* text, int length)
{
    SIZE size = {};
    if (!GetTextExtentPoint32W(context, text, length, &size))
        return 0;
    return size.cx;
}

} // namespace

void NativeFont::set(const FontDesc& desc, DrawingSurface*)
{
    if (handle() && desc == m_desc)
        return;
    m_desc = desc;
    // The new font is taken while the old one is still held, so the two
    // never share a handle value and a changed font is always a new handle.
    m_cached = cachedFont(m_desc);
    m_metrics = m_cached->metrics();
}

FontHandle NativeFont::handle() const
{
    return m_cached ? m_cached->handle() : nullptr;
}

FontMetrics NativeFont::metricsOf(FontHandle font)
{
    SelectedFont selected(font);
    TEXTMETRICW metrics = {};
    if (!selected.context() || !GetTextMetricsW(selected.context(), &metrics))
        return {};
    return {metrics.tmAscent, metrics.tmDescent, metrics.tmExternalLeading, metrics.tmMaxCharWidth};
}

Size NativeFont::textSize(const wchar_t* text, int length, bool multiLine) const
{
    if (!text || length <= 0)
        return {};
    const int lineHeight = m_metrics.ascent + m_metrics.descent;
    if (!multiLine)
        return {textWidth(text, length), lineHeight};
    Size size;
    int lineStart = 0;
    for (int i = 0; i <= length; ++i) {
        const bool lineEnd = i == length ? i > lineStart : text[i] == L'\n';
        if (!lineEnd)
            continue;
        const int width = i > lineStart ? textWidth(text + lineStart, i - lineStart) : 0;
        size.width = width > size.width ? width : size.width;
        size.height += lineHeight;
        lineStart = i + 1;
    }
    return size;
}

int NativeFont::textWidth(const wchar_t* text, int length) const
{
    if (!text || length <= 0)
        return 0;
    SelectedFont selected(handle());
    return selected.context() ? extentWidth(selected.context(), text, length) : 0;
}

std::vector<int> NativeFont::prefixWidths(const wchar_t* text, int length) const
{
    if (!text || length <= 0)
        return {};
    SelectedFont selected(handle());
    std::vector<int> widths(static_cast<std::size_t>(length));
    SIZE size = {};
    if (!selected.context() ||
        !GetTextExtentExPointW(selected.context(), text, length, 0, nullptr, widths.data(), &size))
        return {};
    return widths;
}

FontHandle NativeFont::createHFont(const FontDesc& desc)
{
    LOGFONTW font = {};
    font.lfHeight = desc.pixelSize();
    font.lfWeight = (desc.style() & FontBold) ? FW_BOLD : FW_DONTCARE;
    font.lfItalic = (desc.style() & FontItalic) ? TRUE : FALSE;
    font.lfUnderline = (desc.style() & FontUnderline) ? TRUE : FALSE;
    font.lfStrikeOut = (desc.style() & FontStrikeOut) ? TRUE : FALSE;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = isSmoothTextEnabled() ? CLEARTYPE_NATURAL_QUALITY : DEFAULT_QUALITY;
    copyFaceName(font.lfFaceName, desc.face());
    return CreateFontIndirectW(&font);
}
