#include "ui/widgets/UIHotKey.h"

#include "foundation/Application.h"
#include "foundation/Shortcut.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/TimerService.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr std::uint32_t shiftBit = 1;
constexpr std::uint32_t controlBit = 2;
constexpr std::uint32_t altBit = 4;
constexpr int keyBackspace = 8;
constexpr int keyShift = 16;
constexpr int keyControl = 17;
constexpr int keyAlt = 18;
constexpr int keyDelete = 46;
constexpr int keyF1 = 112;
constexpr int keyF24 = 135;
// Skin states: normal, under the pointer or focused, disabled.
constexpr int stateNormal = 0;
constexpr int stateHot = 2;
constexpr int stateDisabled = 3;
// The caret leaves this much room above and below.
constexpr int caretInset = 4;

bool isFunctionKey(std::uint32_t key)
{
    return key >= keyF1 && key <= keyF24;
}

// Digits, letters and F1 to F24 can end a combination.
bool isAcceptedKey(int key)
{
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || isFunctionKey(std::uint32_t(key));
}

int themeCaretWidth()
{
    const UITheme* theme = UIManager::instance()->theme();
    return theme ? theme->metric(MetricTextCursorWidth) : 1;
}

} // namespace

UIHotKey::UIHotKey(UIWidget* parent)
    : UIWidget(parent), m_caretBlinkInterval(int(GetCaretBlinkTime())), m_caretWidth(themeCaretWidth())
{
    setStyleName(L"UIHotKey");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetInputControl, true);
    setFlag(WidgetHoverTracking, true);
    setSizePolicy(SizeFixed, SizeFixed);
    setFocusPolicy(TabFocus | ClickFocus);
    setMinimumSize(m_minimumSize);
    updateText();
}

UIHotKey::~UIHotKey()
{
    killTimer(HotKeyCaretTimerId);
}

void UIHotKey::setHotKey(const HotKey& hotKey)
{
    m_key = hotKey.key();
    m_modifiers = hotKey.modifiers();
    keepShown();
    updateText();
    repaint();
}

void UIHotKey::clear()
{
    m_key = 0;
    m_modifiers = 0;
    keepShown();
    updateText();
    repaint();
}

void UIHotKey::keepShown()
{
    if (m_key == 0)
        m_modifiers = 0;
    m_kept = HotKey(0, m_key, m_modifiers);
}

// Modifiers still waiting for their key give way to the kept combination.
void UIHotKey::showKept()
{
    if (m_key != 0)
        return;
    m_key = m_kept.key();
    m_modifiers = m_kept.modifiers();
    updateText();
    repaint();
}

void UIHotKey::updateText()
{
    if (m_modifiers == 0 && m_key == 0) {
        m_text = translate(L"None", L"UserInterface/UIHotKey");
        return;
    }
    String text;
    const std::pair<std::uint32_t, const wchar_t*> words[] = {
        {controlBit, L"Control"}, {shiftBit, L"Shift"}, {altBit, L"Alt"}};
    for (const auto& [bit, word] : words) {
        if (m_modifiers & bit)
            text += String(word) + m_separator;
    }
    // Modifiers alone end with the separator, waiting for their key.
    if (m_key != 0)
        text += keyName(int(m_key));
    m_text = text;
}

void UIHotKey::retranslate()
{
    if (m_modifiers != 0 || m_key != 0)
        return;
    updateText();
    repaint();
}

int UIHotKey::textWidth() const
{
    const Font font(m_textStyle.font);
    return font.textWidth(m_text.c_str(), m_text.length());
}

Size UIHotKey::sizeHint() const
{
    const Font font(m_textStyle.font);
    return Size{std::max(m_minimumSize.width, textWidth()), std::max(m_minimumSize.height, font.height())};
}

void UIHotKey::setStyleProperty(const String& name, const String& value)
{
    if (m_textStyle.setProperty(name, value))
        return;
    if (name == String(L"blankForeground"))
        m_blankForeground = parsePenValue(value);
    else if (name == String(L"background"))
        m_background = parseBrushValue(value);
    else if (name == String(L"minimumSize"))
        m_minimumSize = parseSizeValue(value);
    else if (name == String(L"padding"))
        m_padding = parseMarginsValue(value);
}

void UIHotKey::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UIHotKey_Background"))
        m_backgroundSkin = *skin;
}

void UIHotKey::takeKey(int key)
{
    switch (key) {
    case keyShift:
        m_modifiers |= shiftBit;
        return;
    case keyControl:
        m_modifiers |= controlBit;
        return;
    case keyAlt:
        m_modifiers |= altBit;
        return;
    default:
        m_key = isAcceptedKey(key) ? std::uint32_t(key) : 0;
    }
}

void UIHotKey::keyPressEvent(UIKeyEvent* event)
{
    if (m_fresh) {
        m_fresh = false;
        m_modifiers = 0;
        m_key = 0;
    }
    if (event->key() == keyBackspace || event->key() == keyDelete) {
        clear();
        return;
    }
    takeKey(event->key());
    // A letter or digit alone is taken as Control plus that key.
    if (m_key != 0 && !isFunctionKey(m_key) && m_modifiers == 0)
        m_modifiers = controlBit;
    if (m_key != 0)
        keepShown();
    updateText();
    repaint();
}

void UIHotKey::keyReleaseEvent(UIKeyEvent*)
{
    if (testFlag(WidgetKeyHeld))
        return;
    m_fresh = true;
    // Modifiers alone are not a combination.
    showKept();
}

void UIHotKey::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIHotKey::leaveEvent(UIMouseEvent*)
{
    repaint();
}

void UIHotKey::customEvent(UICustomEvent* event)
{
    if (event->code() != HotKeyCaretTimerId || !isVisible() || !isEnabled())
        return;
    m_caretVisible = !m_caretVisible;
    repaint();
}

void UIHotKey::focusInEvent(UIFocusEvent*)
{
    repaint();
    startTimer(HotKeyCaretTimerId, m_caretBlinkInterval);
}

// The releases of keys still held go elsewhere now: the combination ends
// here.
void UIHotKey::focusOutEvent(UIFocusEvent*)
{
    killTimer(HotKeyCaretTimerId);
    m_caretVisible = false;
    m_fresh = true;
    showKept();
    repaint();
}

int UIHotKey::skinState() const
{
    if (!isEnabled())
        return stateDisabled;
    return isUnderMouse() || hasFocus() ? stateHot : stateNormal;
}

void UIHotKey::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_background);
    m_backgroundSkin.drawNineSlice(g, rect(), skinState(), SkinAllRegions);
    // Only the left padding applies: the text is placed by its alignment.
    const Rect textRect(m_padding.left, 0, width() - m_padding.left, height());
    const bool isSet = m_modifiers != 0 || m_key != 0;
    g.setFont(m_textStyle.font);
    if (isSet) {
        g.setPen(m_textStyle.shadowForeground);
        const Point shadow = m_textStyle.shadowOffset;
        g.drawText(m_text, textRect.adjusted(shadow.x, shadow.y, shadow.x, shadow.y), m_textAlignment, 0, 1);
        g.setPen(m_textStyle.foreground);
        g.drawText(m_text, textRect, m_textAlignment, 0, 1);
    } else if (!hasFocus()) {
        g.setPen(m_blankForeground);
        g.drawText(m_text, textRect, m_textAlignment, 0, 1);
    }
    if (!hasFocus() || !m_caretVisible)
        return;
    const int caretX = m_padding.left + (isSet ? textWidth() + 1 : 0);
    g.invertRect(Rect(caretX, caretInset, m_caretWidth, height() - 2 * caretInset), true);
}
