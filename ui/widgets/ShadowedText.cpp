#include "ui/widgets/ShadowedText.h"

#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <utility>

bool ShadowedTextStyle::setStyleProperty(const String& name, const String& value)
{
    const std::pair<const wchar_t*, Pen*> pens[] = {
        {L"foreground", &foreground},
        {L"shadowForeground", &shadowForeground},
        {L"disabledForeground", &disabledForeground},
        {L"disabledShadowForeground", &disabledShadowForeground},
    };
    for (const auto& [key, target] : pens) {
        if (name == String(key)) {
            *target = parsePenValue(value);
            return true;
        }
    }
    if (name == String(L"font"))
        font = parseFontValue(value);
    else if (name == String(L"shadowOffset"))
        shadowOffset = parsePointValue(value);
    else
        return false;
    return true;
}

void ShadowedTextStyle::draw(Graphics& g, const String& text, const Rect& box, int alignment, const Pen& shadow,
                             const Pen& pen) const
{
    g.setFont(font);
    g.setPen(shadow);
    g.drawText(text, box.adjusted(shadowOffset.x, shadowOffset.y, shadowOffset.x, shadowOffset.y), alignment, 0, 1);
    g.setPen(pen);
    g.drawText(text, box, alignment, 0, 1);
}
