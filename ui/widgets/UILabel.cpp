#include "ui/widgets/UILabel.h"

#include "foundation/StringList.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/UITextLayout.h"

#include <algorithm>

namespace {

// Room around the text in the size hint.
constexpr int textMargin = 4;
// Lines of a multi-line label start this far from the left edge.
constexpr int lineIndent = 2;

Rect movedBy(const Rect& r, Point offset)
{
    return {r.x + offset.x, r.y + offset.y, r.width, r.height};
}

// The spaces a wrapped line broke after take no room.
StringList withoutHangingSpaces(const StringList& lines)
{
    StringList trimmed;
    for (const String& line : lines)
        trimmed.append(line.trimmedRight());
    return trimmed;
}

} // namespace

UILabel::UILabel(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setStyleName(L"UILabel");
}

UILabel::~UILabel() = default;

Size UILabel::sizeHint() const
{
    const Font font(m_style.text.font);
    if (!m_multiLine)
        return {font.textWidth(m_text.constData(), m_text.length()) + textMargin, font.height() + textMargin};
    const StringList shown = m_wrapWidth > 0 ? withoutHangingSpaces(lines()) : textLines(m_text);
    const Size size = textLinesSize(font, shown);
    return {size.width + textMargin, size.height + textMargin};
}

StringList UILabel::lines() const
{
    const StringList parts = textLines(m_text);
    if (m_wrapWidth < 1)
        return parts;
    UITextLayout layout;
    layout.setFont(m_style.text.font);
    layout.setWrapStyle(UITextLayout::WrapStyle::Label);
    StringList wrapped;
    for (const String& part : parts) {
        layout.layout(part, std::max(m_wrapWidth - textMargin, 1));
        if (layout.count() == 0)
            wrapped.append(String());
        for (const UITextLine& line : layout.lines())
            wrapped.append(part.mid(line.start, line.length));
    }
    return wrapped;
}

void UILabel::setStyleProperty(const String& name, const String& value)
{
    if (m_style.text.setProperty(name, value))
        return;
    if (name == String(L"disabledForeground"))
        m_style.disabledForeground = parsePenValue(value);
    else if (name == String(L"disabledShadowForeground"))
        m_style.disabledShadowForeground = parsePenValue(value);
}

String UILabel::toolTip(Point) const
{
    if (!toolTipText().isEmpty())
        return toolTipText();
    return m_elided ? m_text : String();
}

void UILabel::setText(const String& text)
{
    if (text == m_text)
        return;
    m_text = text;
    if (!updateLayout())
        repaint();
}

void UILabel::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    m_elided = false;
    g.setFont(m_style.text.font);
    if (m_multiLine)
        paintLines(g);
    else
        paintOneLine(g);
}

void UILabel::paintOneLine(Graphics& g)
{
    const bool enabled = isEnabled();
    const Rect r = rect();
    g.setPen(enabled ? m_style.text.shadowForeground : m_style.disabledShadowForeground);
    g.drawText(m_text, movedBy(r, m_style.text.shadowOffset), m_alignment, m_elideMode, 0);
    g.setPen(enabled ? m_style.text.foreground : m_style.disabledForeground);
    m_elided = g.drawText(m_text, r, m_alignment, m_elideMode, 0);
}

// A disabled multi-line label draws no shadow. Only the lines its height
// holds are drawn; when some are left out, the last one shown ends in an
// ellipsis, also when it fits: a short or empty line would otherwise show
// no cut.
void UILabel::paintLines(Graphics& g)
{
    const int lineHeight = g.font().height();
    const StringList all = lines();
    const int shown = std::clamp(height() / std::max(lineHeight, 1), 1, std::max(all.count(), 1));
    Rect line(lineIndent, 0, width(), lineHeight);
    StringList::Node* node = all.first();
    for (int i = 0; i < shown && node; ++i, node = node->next) {
        if (i == shown - 1 && node->next)
            paintLine(g, node->value.trimmedRight() + Font::ellipsis(), line, ElideRightWithEllipsis);
        else
            paintLine(g, node->value, line, ElideNone);
        line.y += lineHeight;
    }
}

void UILabel::paintLine(Graphics& g, const String& text, const Rect& line, int elideMode)
{
    if (isEnabled()) {
        g.setPen(m_style.text.shadowForeground);
        g.drawText(text, movedBy(line, m_style.text.shadowOffset), m_alignment, elideMode, 0);
        g.setPen(m_style.text.foreground);
    } else {
        g.setPen(m_style.disabledForeground);
    }
    g.drawText(text, line, m_alignment, elideMode, 0);
}
