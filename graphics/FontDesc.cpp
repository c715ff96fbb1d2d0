#include "graphics/FontDesc.h"

#include "foundation/System.h"
#include "graphics/FontSystem.h"
#include "graphics/Screen.h"

#include <windows.h>

#include <cmath>
#include <iterator>

namespace {

constexpr double pointsPerInch = 72.0;

// Indexed by FontFace; any id outside the table has the first face. Id 0
// never reaches the table: it stands for the default description's face.
const wchar_t* const faceNames[] = {L"microsoft sans serif", L"microsoft sans serif", L"tahoma", L"segoe ui",
                                    L"times new roman", L"courier new", L"comic sans ms", L"verdana"};

const wchar_t* faceName(FontFace face)
{
    const int id = static_cast<int>(face);
    return id >= 0 && id < static_cast<int>(std::size(faceNames)) ? faceNames[id] : faceNames[0];
}

// The primary language is the low 10 bits of a locale id.
bool isEastAsianLocale(std::uint32_t localeId)
{
    const std::uint32_t language = localeId & 0x3FF;
    return language == LANG_CHINESE || language == LANG_JAPANESE || language == LANG_KOREAN;
}

FontDesc systemDefaultFontDesc()
{
    int major = 0;
    int minor = 0;
    windowsVersion(major, minor);
    return defaultFontDescFor(major, GetUserDefaultLCID(), isFontInstalled);
}

} // namespace

FontDesc::FontDesc() : FontDesc(defaultFontDesc()) {}

FontDesc::FontDesc(FontFace face, float size, std::uint32_t style)
    : FontDesc(face == FontFace::Default ? defaultFontDesc().face() : String(faceName(face)), size, style)
{
}

FontDesc::FontDesc(const String& face, float size, std::uint32_t style) : m_face(face), m_size(size), m_style(style)
{
}

bool FontDesc::operator==(const FontDesc& other) const
{
    return m_size == other.m_size && m_style == other.m_style && m_flag == other.m_flag && m_face == other.m_face;
}

int FontDesc::pixelSize() const
{
    return pointsToPixels(m_size, Screen::dpiY());
}

void FontDesc::setPixelSize(int px)
{
    m_size = pixelsToPoints(px, Screen::dpiY());
}

int FontDesc::pointsToPixels(float points, double dpi)
{
    if (dpi <= 0)
        return 0;
    return static_cast<int>(std::lround(dpi * points / pointsPerInch));
}

float FontDesc::pixelsToPoints(int pixels, double dpi)
{
    if (dpi <= 0)
        return 0;
    return static_cast<float>(std::round(pixels * pointsPerInch / dpi));
}

const FontDesc& defaultFontDesc()
{
    static const FontDesc desc = systemDefaultFontDesc();
    return desc;
}

FontDesc defaultFontDescFor(int majorVersion, std::uint32_t localeId, bool (*isInstalled)(const String& face))
{
    const bool segoe = majorVersion >= 6 || isInstalled(L"Segoe UI");
    const float size = isEastAsianLocale(localeId) ? 13.0f : 12.0f;
    return FontDesc(segoe ? L"segoe ui" : L"microsoft sans serif", size, 0);
}
