#include "ui/widgets/UITextStyle.h"

#include "foundation/StringList.h"
#include "graphics/Font.h"
#include "ui/UIStyleValues.h"

#include <algorithm>

bool UITextStyle::setProperty(const String& name, const String& value)
{
    if (name == String(L"font"))
        font = parseFontValue(value);
    else if (name == String(L"foreground"))
        foreground = parsePenValue(value);
    else if (name == String(L"shadowForeground"))
        shadowForeground = parsePenValue(value);
    else if (name == String(L"shadowOffset"))
        shadowOffset = parsePointValue(value);
    else
        return false;
    return true;
}

bool UITextStyle::setPrefixedProperty(const String& prefix, const String& name, const String& value)
{
    if (!name.startsWith(prefix))
        return false;
    const String rest = name.mid(prefix.length());
    const String key = rest.mid(0, 1).toLower() + rest.mid(1);
    // An uncapitalised rest ("titlefont") is no key of the family.
    return key != rest && setProperty(key, value);
}

StringList textLines(const String& text)
{
    return StringList::split(text, L"\n");
}

Size textLinesSize(const Font& font, const StringList& lines)
{
    int widest = 0;
    for (const String& line : lines)
        widest = std::max(widest, font.textWidth(line.constData(), line.length()));
    return {widest, lines.count() * font.height()};
}
