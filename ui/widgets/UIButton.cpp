#include "ui/widgets/UIButton.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/TimerService.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"
#include "ui/widgets/UIMenu.h"

#include <algorithm>
#include <iterator>

namespace {

struct BackgroundScheme {
    const wchar_t* skin;
    Colour foreground;
    Colour shadow;
};

// Indexed by UIButtonBackgroundKind.
const BackgroundScheme backgroundSchemes[] = {
    {L"UIButton_Background", Colour(43, 43, 43), Colour(250, 250, 250)},
    {L"UIButton_GreenBackground", Colour(255, 255, 255), Colour(110, 135, 58)},
    {L"UIButton_BlueBackground", Colour(255, 255, 255), Colour(48, 75, 143)},
    {L"UIButton_YellowBackground", Colour(43, 43, 43), Colour(254, 239, 205)},
};

Rect shifted(const Rect& r, Point by)
{
    return r.adjusted(by.x, by.y, by.x, by.y);
}

// The focus mark sits this far inside the button, clear of the
// background's border, as Windows' focus rectangle does.
constexpr int focusMarkInset = 2;

} // namespace

UIButton::UIButton(UIWidget* parent, const String& text) : UIAbstractButton(parent)
{
    setStyleName(L"UIButton");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetInputControl, true);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(TabFocus | ClickFocus);
    setTextAlignment(AlignCenter);
    setMinimumSize(m_minimumSize);
    setText(text);
}

UIButton::~UIButton()
{
    killTimer(PushButtonMenuGuardTimerId);
}

Size UIButton::sizeHint() const
{
    const Size content = contentSize();
    if (m_flat)
        return content;
    return {content.width + m_padding.left + m_padding.right, content.height + m_padding.top + m_padding.bottom};
}

Size UIButton::contentSize() const
{
    const Size textSize = text().isEmpty() ? Size() : m_text.font.textSize(text());
    const Size iconSize = m_icon.size();
    if (m_icon.isNull())
        return textSize;
    if (text().isEmpty())
        return iconSize;
    if (isIconAbove())
        return {std::max(iconSize.width, textSize.width), iconSize.height + m_iconAndTextSpacing + textSize.height};
    return {iconSize.width + m_iconAndTextSpacing + textSize.width, std::max(iconSize.height, textSize.height)};
}

void UIButton::setStyleProperty(const String& name, const String& value)
{
    if (m_text.read(name, value))
        return;
    if (name == String(L"downOffset"))
        m_downOffset = parsePointValue(value);
    else if (name == String(L"padding"))
        m_padding = parseMarginsValue(value);
    else if (name == String(L"minimumSize"))
        m_minimumSize = parseSizeValue(value);
    else if (name == String(L"iconAndTextSpacing"))
        m_iconAndTextSpacing = parseIntValue(value);
}

void UIButton::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skin && skinName == String(backgroundSchemes[ButtonBackgroundPlain].skin))
        m_background = *skin;
}

void UIButton::setDefault(bool isDefault)
{
    m_default = isDefault;
}

// The look setters repaint, so a shown button follows at once.
void UIButton::setFlat(bool flat)
{
    m_flat = flat;
    setMinimumSize(1, 1);
    repaint();
}

void UIButton::setIcon(const StateImages& icon)
{
    m_icon = icon;
    repaint();
}

void UIButton::setIconPosition(int position)
{
    m_iconPosition = position;
    repaint();
}

void UIButton::setForegroundColour(Colour colour)
{
    m_text.foreground = Pen(colour);
    repaint();
}

void UIButton::setShadowColour(Colour colour)
{
    m_text.shadowForeground = Pen(colour);
    repaint();
}

void UIButton::setBackgroundKind(int kind)
{
    if (kind == m_backgroundKind)
        return;
    m_backgroundKind = kind;
    if (kind < 0 || kind >= int(std::size(backgroundSchemes)))
        return;
    const BackgroundScheme& scheme = backgroundSchemes[kind];
    if (const UITheme* theme = UIManager::instance()->theme())
        m_background = theme->skin(scheme.skin);
    m_text.foreground = Pen(scheme.foreground);
    m_text.shadowForeground = Pen(scheme.shadow);
    repaint();
}

int UIButton::backgroundState() const
{
    if (isEnabled() && isCheckable() && isChecked())
        return SkinChecked;
    return clickableState();
}

int UIButton::iconState() const
{
    if (!isEnabled())
        return StateImages::Disabled;
    if (isChecked() || (isPressed() && isUnderMouse()))
        return StateImages::Pressed;
    if (isUnderMouse())
        return StateImages::Hot;
    return StateImages::Normal;
}

void UIButton::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    Rect content = rect();
    if (!m_flat) {
        m_background.drawNineSlice(g, content, backgroundState(), SkinAllRegions);
        if (isPressed() || isChecked())
            content = shifted(content, m_downOffset);
    }
    paintContent(g, content);
    if (hasFocus())
        paintFocusMark(g);
}

// The style's focus image is a frame: its corners keep their size and its
// edges stretch, a third of the image each way.
void UIButton::paintFocusMark(Graphics& g) const
{
    const UITheme* theme = UIManager::instance()->theme();
    if (!theme)
        return;
    const Bitmap& image = theme->image(ImageFocus);
    // Smaller than three by three it has no corners to keep, and stretched
    // whole it would cover the button.
    if (image.width() < 3 || image.height() < 3)
        return;
    UISkin mark(image, true);
    const int column = image.width() / 3;
    const int row = image.height() / 3;
    mark.setNineSlice(column, image.width() - 2 * column, column, row, image.height() - 2 * row, row, 1);
    const Rect frame = rect().adjusted(focusMarkInset, focusMarkInset, -focusMarkInset, -focusMarkInset);
    mark.drawNineSlice(g, frame, 0, SkinAllRegions & ~SkinCentre);
}

void UIButton::paintContent(Graphics& g, Rect content)
{
    int alignment = textAlignment();
    if (!m_icon.isNull() && text().isEmpty()) {
        m_icon.draw(g, content, AlignCenter, iconState());
        return;
    }
    if (!m_icon.isNull() && isIconAbove()) {
        alignment = AlignTop | AlignHCenter;
        if (!m_flat)
            content.setTop(content.top() + m_padding.top);
        m_icon.draw(g, content, alignment, iconState());
        content.setTop(content.top() + m_icon.height() + m_iconAndTextSpacing);
    } else if (!m_icon.isNull()) {
        alignment = AlignLeft | AlignVCenter;
        if (!m_flat)
            content.setLeft(content.left() + m_padding.left);
        m_icon.draw(g, content, alignment, iconState());
        content.setLeft(content.left() + m_icon.width() + m_iconAndTextSpacing);
    }
    g.setFont(m_text.font.desc());
    if (!isEnabled()) {
        g.setPen(m_text.disabledForeground);
        g.drawText(text(), content, alignment, ElideNone, 1);
        return;
    }
    const bool swapped = isCheckable() && isChecked();
    const Point offset = swapped ? Point{-m_text.shadowOffset.x, -m_text.shadowOffset.y} : m_text.shadowOffset;
    drawShadowedText(g, text(), content, alignment, swapped ? m_text.shadowForeground : m_text.foreground,
                     swapped ? m_text.foreground : m_text.shadowForeground, offset);
}

void UIButton::setMenu(UIMenu* menu)
{
    if (m_menu)
        m_menu->hidden.disconnectReceiver(this);
    m_menu = menu;
    if (!menu)
        return;
    setCheckable(true);
    menu->hidden.connect(this, &UIButton::menuHidden);
}

void UIButton::menuHidden()
{
    setChecked(false);
    m_menuReady = false;
    startTimer(PushButtonMenuGuardTimerId, shortTimerInterval());
}

void UIButton::mousePressEvent(UIMouseEvent* event)
{
    UIAbstractButton::mousePressEvent(event);
    if (!m_menu || !isEnabled() || !m_menuReady)
        return;
    setChecked(true);
    m_menu->popup(mapToGlobal(Point(0, height())));
}

void UIButton::mouseClickEvent(UIMouseEvent* event)
{
    // The click that ends the opening press must not uncheck a button whose
    // menu is open: its state follows the menu.
    if (isCheckable() && !m_menu)
        setChecked(!isChecked());
    UIAbstractButton::mouseClickEvent(event);
}

void UIButton::focusInEvent(UIFocusEvent*)
{
    repaint();
}

void UIButton::focusOutEvent(UIFocusEvent*)
{
    repaint();
}

void UIButton::customEvent(UICustomEvent* event)
{
    if (event->code() != PushButtonMenuGuardTimerId)
        return;
    killTimer(PushButtonMenuGuardTimerId);
    m_menuReady = true;
}
