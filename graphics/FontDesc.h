#pragma once

#include "foundation/String.h"

#include <cstdint>

// A font named by value: face, size in points and style bits. Widgets,
// styles and settings store it; the painter keeps it as state; a Font
// realises it for measuring.

// Faces known by number. Any other number stands for "microsoft sans serif".
enum class FontFace : int {
    Default = 0,
    MicrosoftSansSerif = 1,
    Tahoma = 2,
    SegoeUi = 3,
    TimesNewRoman = 4,
    CourierNew = 5,
    ComicSansMs = 6,
    Verdana = 7,
};

enum FontStyle : std::uint32_t {
    FontBold = 1,
    FontItalic = 2,
    FontUnderline = 4,
    FontStrikeOut = 8,
};

class FontDesc {
public:
    // A copy of the default description.
    FontDesc();
    FontDesc(FontFace face, float size, std::uint32_t style);
    FontDesc(const String& face, float size, std::uint32_t style);

    // Exact comparison of every field; faces differing only in case differ.
    bool operator==(const FontDesc& other) const;
    bool operator!=(const FontDesc& other) const { return !(*this == other); }

    const String& face() const { return m_face; }
    void setFace(const String& face) { m_face = face; }
    float size() const { return m_size; }
    void setSize(float size) { m_size = size; }
    std::uint32_t style() const { return m_style; }
    void setStyle(std::uint32_t style) { m_style = style; }
    void setFlag(std::uint32_t flag) { m_flag = flag; }

    // The size in whole pixels at the screen's vertical resolution.
    int pixelSize() const;
    // Makes the size the whole number of points nearest to px pixels.
    void setPixelSize(int px);

    // The conversions behind pixelSize and setPixelSize at a given
    // resolution, rounded to the nearest whole number, halves away from
    // zero; 0 for a resolution that is not positive.
    static int pointsToPixels(float points, double dpi);
    static float pixelsToPoints(int pixels, double dpi);

private:
    String m_face;
    float m_size = 0;
    std::uint32_t m_style = 0;
    // 1 in every description built by a constructor; only copied and compared.
    std::uint32_t m_flag = 1;
};

// The system's default UI font, chosen on first use from the operating
// system version, the installed fonts and the user's language.
const FontDesc& defaultFontDesc();

// The rule behind defaultFontDesc: "segoe ui" from major version 6 on, and
// before that where isInstalled("Segoe UI") says so, else "microsoft sans
// serif"; 12 points, 13 for a Chinese, Japanese or Korean locale id.
FontDesc defaultFontDescFor(int majorVersion, std::uint32_t localeId, bool (*isInstalled)(const String& face));
