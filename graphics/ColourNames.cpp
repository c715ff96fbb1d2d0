#include "graphics/Colour.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

namespace {

struct NamedColour {
    const wchar_t* name;
    std::uint32_t argb;
};

// In the order of wcscmp, so that a lookup can bisect.
constexpr NamedColour namedColours[] = {
    {L"aliceblue", 0xFFF0F8FFu},
    {L"antiquewhite", 0xFFFAEBD7u},
    {L"aqua", 0xFF00FFFFu},
    {L"aquamarine", 0xFF7FFFD4u},
    {L"azure", 0xFFF0FFFFu},
    {L"beige", 0xFFF5F5DCu},
    {L"bisque", 0xFFFFE4C4u},
    {L"black", 0xFF000000u},
    {L"blanchedalmond", 0xFFFFEBCDu},
    {L"blue", 0xFF0000FFu},
    {L"blueviolet", 0xFF8A2BE2u},
    {L"brown", 0xFFA52A2Au},
    {L"burlywood", 0xFFDEB887u},
    {L"cadetblue", 0xFF5F9EA0u},
    {L"chartreuse", 0xFF7FFF00u},
    {L"chocolate", 0xFFD2691Eu},
    {L"coral", 0xFFFF7F50u},
    {L"cornflowerblue", 0xFF6495EDu},
    {L"cornsilk", 0xFFFFF8DCu},
    {L"crimson", 0xFFDC143Cu},
    {L"cyan", 0xFF00FFFFu},
    {L"darkblue", 0xFF00008Bu},
    {L"darkcyan", 0xFF008B8Bu},
    {L"darkgoldenrod", 0xFFB8860Bu},
    {L"darkgray", 0xFFA9A9A9u},
    {L"darkgreen", 0xFF006400u},
    {L"darkkhaki", 0xFFBDB76Bu},
    {L"darkmagenta", 0xFF8B008Bu},
    {L"darkolivegreen", 0xFF556B2Fu},
    {L"darkorange", 0xFFFF8C00u},
    {L"darkorchid", 0xFF9932CCu},
    {L"darkred", 0xFF8B0000u},
    {L"darksalmon", 0xFFE9967Au},
    {L"darkseagreen", 0xFF8FBC8Fu},
    {L"darkslateblue", 0xFF483D8Bu},
    {L"darkslategray", 0xFF2F4F4Fu},
    {L"darkturquoise", 0xFF00CED1u},
    {L"darkviolet", 0xFF9400D3u},
    {L"deeppink", 0xFFFF1493u},
    {L"deepskyblue", 0xFF00BFFFu},
    {L"dimgray", 0xFF696969u},
    {L"dodgerblue", 0xFF1E90FFu},
    {L"firebrick", 0xFFB22222u},
    {L"floralwhite", 0xFFFFFAF0u},
    {L"forestgreen", 0xFF228B22u},
    {L"fuchsia", 0xFFFF00FFu},
    {L"gainsboro", 0xFFDCDCDCu},
    {L"ghostwhite", 0xFFF8F8FFu},
    {L"gold", 0xFFFFD700u},
    {L"goldenrod", 0xFFDAA520u},
    {L"gray", 0xFF808080u},
    {L"green", 0xFF008000u},
    {L"greenyellow", 0xFFADFF2Fu},
    {L"honeydew", 0xFFF0FFF0u},
    {L"hotpink", 0xFFFF69B4u},
    {L"indianred", 0xFFCD5C5Cu},
    {L"indigo", 0xFF4B0082u},
    {L"ivory", 0xFFFFFFF0u},
    {L"khaki", 0xFFF0E68Cu},
    {L"lavender", 0xFFE6E6FAu},
    {L"lavenderblush", 0xFFFFF0F5u},
    {L"lawngreen", 0xFF7CFC00u},
    {L"lemonchiffon", 0xFFFFFACDu},
    {L"lightblue", 0xFFADD8E6u},
    {L"lightcoral", 0xFFF08080u},
    {L"lightcyan", 0xFFE0FFFFu},
    {L"lightgoldenrodyellow", 0xFFFAFAD2u},
    {L"lightgray", 0xFFD3D3D3u},
    {L"lightgreen", 0xFF90EE90u},
    {L"lightpink", 0xFFFFB6C1u},
    {L"lightsalmon", 0xFFFFA07Au},
    {L"lightseagreen", 0xFF20B2AAu},
    {L"lightskyblue", 0xFF87CEFAu},
    {L"lightslategray", 0xFF778899u},
    {L"lightsteelblue", 0xFFB0C4DEu},
    {L"lightyellow", 0xFFFFFFE0u},
    {L"lime", 0xFF00FF00u},
    {L"limegreen", 0xFF32CD32u},
    {L"linen", 0xFFFAF0E6u},
    {L"magenta", 0xFFFF00FFu},
    {L"maroon", 0xFF800000u},
    {L"mediumaquamarine", 0xFF66CDAAu},
    {L"mediumblue", 0xFF0000CDu},
    {L"mediumorchid", 0xFFBA55D3u},
    {L"mediumpurple", 0xFF9370DBu},
    {L"mediumseagreen", 0xFF3CB371u},
    {L"mediumslateblue", 0xFF7B68EEu},
    {L"mediumspringgreen", 0xFF00FA9Au},
    {L"mediumturquoise", 0xFF48D1CCu},
    {L"mediumvioletred", 0xFFC71585u},
    {L"midnightblue", 0xFF191970u},
    {L"mintcream", 0xFFF5FFFAu},
    {L"mistyrose", 0xFFFFE4E1u},
    {L"moccasin", 0xFFFFE4B5u},
    {L"navajowhite", 0xFFFFDEADu},
    {L"navy", 0xFF000080u},
    {L"oldlace", 0xFFFDF5E6u},
    {L"olive", 0xFF808000u},
    {L"olivedrab", 0xFF6B8E23u},
    {L"orange", 0xFFFFA500u},
    {L"orangered", 0xFFFF4500u},
    {L"orchid", 0xFFDA70D6u},
    {L"palegoldenrod", 0xFFEEE8AAu},
    {L"palegreen", 0xFF98FB98u},
    {L"paleturquoise", 0xFFAFEEEEu},
    {L"palevioletred", 0xFFDB7093u},
    {L"papayawhip", 0xFFFFEFD5u},
    {L"peachpuff", 0xFFFFDAB9u},
    {L"peru", 0xFFCD853Fu},
    {L"pink", 0xFFFFC0CBu},
    {L"plum", 0xFFDDA0DDu},
    {L"powderblue", 0xFFB0E0E6u},
    {L"purple", 0xFF800080u},
    {L"red", 0xFFFF0000u},
    {L"rosybrown", 0xFFBC8F8Fu},
    {L"royalblue", 0xFF4169E1u},
    {L"saddlebrown", 0xFF8B4513u},
    {L"salmon", 0xFFFA8072u},
    {L"sandybrown", 0xFFF4A460u},
    {L"seagreen", 0xFF2E8B57u},
    {L"seashell", 0xFFFFF5EEu},
    {L"sienna", 0xFFA0522Du},
    {L"silver", 0xFFC0C0C0u},
    {L"skyblue", 0xFF87CEEBu},
    {L"slateblue", 0xFF6A5ACDu},
    {L"slategray", 0xFF708090u},
    {L"snow", 0xFFFFFAFAu},
    {L"springgreen", 0xFF00FF7Fu},
    {L"steelblue", 0xFF4682B4u},
    {L"tan", 0xFFD2B48Cu},
    {L"teal", 0xFF008080u},
    {L"thistle", 0xFFD8BFD8u},
    {L"tomato", 0xFFFF6347u},
    {L"transparent", 0x00FFFFFFu},
    {L"turquoise", 0xFF40E0D0u},
    {L"violet", 0xFFEE82EEu},
    {L"wheat", 0xFFF5DEB3u},
    {L"white", 0xFFFFFFFFu},
    {L"whitesmoke", 0xFFF5F5F5u},
    {L"yellow", 0xFFFFFF00u},
    {L"yellowgreen", 0xFF9ACD32u},
};

bool nameBefore(const NamedColour& entry, const wchar_t* name)
{
    return std::wcscmp(entry.name, name) < 0;
}

} // namespace

Colour colourByName(const String& name)
{
    const Colour unknown(0xFFFF00FFu);
    const wchar_t* text = name.c_str();
    // A zero unit inside the name would otherwise let it match its prefix.
    if (name.isEmpty() || std::wcslen(text) != std::size_t(name.length()))
        return unknown;
    const NamedColour* found = std::lower_bound(std::begin(namedColours), std::end(namedColours), text, nameBefore);
    if (found == std::end(namedColours) || std::wcscmp(found->name, text) != 0)
        return unknown;
    return Colour(found->argb);
}
