#include "ui/widgets/UITextStyle.h"

#include "ui/UIStyleValues.h"

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
