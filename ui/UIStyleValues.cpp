#include "ui/UIStyleValues.h"

#include "foundation/Array.h"
#include "foundation/StringList.h"
#include "graphics/Gradient.h"

#include <algorithm>
#include <vector>

namespace {

int trimmedInt(const String& part)
{
    return part.trimmed().toInt();
}

std::uint8_t clampedComponent(const String& part)
{
    return std::uint8_t(std::clamp(trimmedInt(part), 0, 255));
}

// The parts of the trimmed text split at ",", or none when it holds no
// comma, so callers can tell "one number" from "n numbers".
std::vector<String> commaParts(const String& trimmed)
{
    std::vector<String> parts;
    if (!trimmed.contains(L','))
        return parts;
    for (const String& part : String::split(trimmed, L","))
        parts.push_back(part);
    return parts;
}

} // namespace

int parseIntValue(const String& text)
{
    return trimmedInt(text);
}

bool parseSwitchValue(const String& text)
{
    return parseIntValue(text) != 0;
}

float parseFloatValue(const String& text)
{
    return text.trimmed().toFloat();
}

FontDesc parseFontValue(const String& text)
{
    const FontDesc& standard = defaultFontDesc();
    FontDesc font = standard;
    const std::vector<String> parts = commaParts(text.trimmed());
    if (int(parts.size()) != 3)
        return font;
    if (!parts[0].isEmpty() && parts[0] != L"default")
        font.setFace(parts[0]);
    if (!parts[1].isEmpty())
        font.setSize(parts[1].toFloat() + (standard.size() - 12.0f));
    if (parts[2].contains(L"underline"))
        font.setStyle(font.style() | FontUnderline);
    if (parts[2].contains(L"bold"))
        font.setStyle(font.style() | FontBold);
    return font;
}

Colour parseColourValue(const String& text)
{
    const String t = text.trimmed();
    const std::vector<String> parts = commaParts(t);
    if (int(parts.size()) == 3)
        return Colour(clampedComponent(parts[0]), clampedComponent(parts[1]), clampedComponent(parts[2]));
    if (int(parts.size()) == 4) {
        return Colour(clampedComponent(parts[0]), clampedComponent(parts[1]), clampedComponent(parts[2]),
                      clampedComponent(parts[3]));
    }
    if (parts.empty() && t.first() >= L'0' && t.first() <= L'9')
        return Colour(std::uint32_t(t.toInt()));
    return unsetStyleColour;
}

Pen parsePenValue(const String& text)
{
    return Pen(parseColourValue(text));
}

Brush parseBrushValue(const String& text)
{
    const StringList parts = String::split(text, L"|", String::SkipEmptyParts);
    if (parts.count() < 2)
        return Brush(parseColourValue(text));
    Array<Colour> colours;
    for (const String& part : parts)
        colours.append(parseColourValue(part));
    Gradient gradient(Gradient::Vertical);
    gradient.setStops(colours);
    return Brush(gradient);
}

UIMargins parseMarginsValue(const String& text)
{
    const String t = text.trimmed();
    const std::vector<String> parts = commaParts(t);
    if (int(parts.size()) == 4)
        return {trimmedInt(parts[0]), trimmedInt(parts[1]), trimmedInt(parts[2]), trimmedInt(parts[3])};
    const int all = t.toInt();
    return {all, all, all, all};
}

Point parsePointValue(const String& text)
{
    const std::vector<String> parts = commaParts(text.trimmed());
    if (int(parts.size()) != 2)
        return Point{};
    return Point{trimmedInt(parts[0]), trimmedInt(parts[1])};
}

Size parseSizeValue(const String& text)
{
    const String t = text.trimmed();
    const std::vector<String> parts = commaParts(t);
    if (int(parts.size()) == 2)
        return Size{trimmedInt(parts[0]), trimmedInt(parts[1])};
    return Size{t.toInt(), t.toInt()};
}
