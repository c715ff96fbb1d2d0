#include "ui/widgets/UISpinBox.h"

#include "foundation/CharHelpers.h"
#include "foundation/Locale.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Screen.h"
#include "ui/TimerService.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/SkinParts.h"
#include "ui/widgets/UILineEdit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Each repeat shortens the next by this much, down to the short timer
// interval.
constexpr int repeatDecrementMs = 100;
// The pointer may stray this far above or below the box before dragging.
constexpr int dragSlack = 3;
// The share of the monitor's height that covers the whole range.
constexpr double dragRangeShare = 0.2;

constexpr int stateNormal = 0;
constexpr int stateHot = 1;
constexpr int statePressed = 2;
constexpr int stateDisabled = 3;

const UISpinBoxServices platformServices;
const UISpinBoxServices* currentServices = &platformServices;

const UISpinBoxServices& services()
{
    return *currentServices;
}

// The number rules of one validation, read once from the box and the locale.
struct NumberRules {
    double minimum;
    double maximum;
    int decimals;
    const Locale& locale;
    wchar_t point;
    wchar_t group;
};

bool isDigitOf(wchar_t c, const Locale& locale)
{
    const wchar_t zero = locale.zeroDigit();
    return (c >= L'0' && c <= L'9') || (zero != 0 && c >= zero && c <= zero + 9);
}

bool isSignOf(wchar_t c, const Locale& locale)
{
    return c == L'+' || c == L'-' || (c != 0 && (c == locale.positiveSign() || c == locale.negativeSign()));
}

// A sign, digits and at most one decimal point, nothing else: the locale's
// reader stops at the first character it cannot use and would take "1,5"
// in a dot locale for 1.
bool parseNumber(const String& text, const NumberRules& rules, double& number)
{
    bool digits = false;
    bool point = false;
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t c = text[i];
        if (isDigitOf(c, rules.locale))
            digits = true;
        else if (c == rules.point && !point)
            point = true;
        else if (i != 0 || !isSignOf(c, rules.locale))
            return false;
    }
    bool ok = false;
    number = rules.locale.toDouble(text, &ok);
    return digits && ok;
}

bool isSeparatorOrSpace(wchar_t c, wchar_t group)
{
    return c == group || isSpaceChar(c);
}

// An opening that more typing can complete: nothing, a point, or a sign
// the range allows, alone or before the point.
bool isOpening(const String& copy, const NumberRules& rules)
{
    const bool plusAllowed = rules.maximum >= 0;
    const bool minusAllowed = rules.minimum <= 0;
    const auto isAllowedSign = [&](wchar_t c) { return (c == L'+' && plusAllowed) || (c == L'-' && minusAllowed); };
    if (copy.length() == 1)
        return copy[0] == rules.point || isAllowedSign(copy[0]);
    return copy.length() == 2 && copy[1] == rules.point && isAllowedSign(copy[0]);
}

// Digits after the point: no more than the decimals, no separator or space.
bool hasValidFraction(String& copy, int cursor, const NumberRules& rules)
{
    const int d = copy.indexOf(rules.point);
    // A second point typed on the first is dropped.
    if (d + 1 < copy.length() && copy[d + 1] == rules.point && cursor == d + 1)
        copy.remove(d + 1, 1);
    if (copy.length() - d > rules.decimals + 1)
        return false;
    for (int i = d + 1; i < copy.length(); ++i) {
        if (isSeparatorOrSpace(copy[i], rules.group))
            return false;
    }
    return true;
}

// Without a point the text may not end in two separators or in space.
bool hasValidEnd(const String& copy, const NumberRules& rules)
{
    const wchar_t last = copy[copy.length() - 1];
    const wchar_t secondLast = copy[copy.length() - 2];
    if (isSeparatorOrSpace(last, rules.group) && isSeparatorOrSpace(secondLast, rules.group))
        return false;
    return !(isSpaceChar(last) && (!isSpaceChar(rules.group) || isSpaceChar(secondLast)));
}

// Group separators are taken only where the range reaches the thousands,
// and never two in a row.
bool parseGrouped(const String& copy, const NumberRules& rules, double& number)
{
    if (rules.group == 0 || !isPrintableChar(rules.group))
        return false;
    if (rules.maximum < 1000 && rules.minimum > -1000 && copy.contains(rules.group))
        return false;
    if (copy.contains(String(rules.group, 2)))
        return false;
    String plain(copy);
    plain.removeAll(rules.group);
    return parseNumber(plain, rules, number);
}

UIValidator::State judgeNumber(String& copy, int cursor, const NumberRules& rules, double& number)
{
    if (copy.isEmpty())
        return rules.maximum != rules.minimum ? UIValidator::Intermediate : UIValidator::Invalid;
    if (isOpening(copy, rules))
        return UIValidator::Intermediate;
    if (copy.contains(rules.point)) {
        if (!hasValidFraction(copy, cursor, rules))
            return UIValidator::Invalid;
    } else if (copy.length() >= 2 && !hasValidEnd(copy, rules)) {
        return UIValidator::Invalid;
    }
    if (!parseNumber(copy, rules, number) && !parseGrouped(copy, rules, number))
        return UIValidator::Invalid;
    if (number >= rules.minimum && number <= rules.maximum)
        return UIValidator::Acceptable;
    if (rules.maximum == rules.minimum)
        return UIValidator::Invalid;
    if ((number >= 0 && number > rules.maximum) || (number < 0 && number < rules.minimum))
        return UIValidator::Invalid;
    return UIValidator::Intermediate;
}

} // namespace

// ---- Services and validator ----

Point UISpinBoxServices::cursorPosition() const
{
    return ::cursorPosition();
}

const Locale& UISpinBoxServices::locale() const
{
    return Locale::system();
}

UISpinBoxValidator::UISpinBoxValidator(const UISpinBox* spinBox) : UIValidator(L"spinbox"), m_spinBox(spinBox) {}

UIValidator::State UISpinBoxValidator::validate(String& text, int& position) const
{
    State state = Invalid;
    m_spinBox->interpretText(text, position, state);
    return state;
}

// ---- Construction ----

UISpinBox::UISpinBox(UIWidget* parent) : UIWidget(parent), m_repeatMinimum(shortTimerInterval())
{
    setStyleName(L"UISpinBox");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(ClickFocus | WheelFocus);
    setLayoutVertical(false);
    setLayoutColumns(2);
    applyButtonMargin();
    const Rect monitor = Screen::monitorRectOfWindow(windowHandle(), false);
    if (monitor.width > 0 && monitor.height > 0)
        m_dragRange = std::max(toNearestInt(monitor.height * dragRangeShare), 1);

    m_lineEdit = new UILineEdit(this);
    m_lineEdit->setLayoutAlignment(AlignLeft | AlignTop);
    m_lineEdit->setFlag(WidgetHoverTracking, true);
    m_lineEdit->setFocusPolicy(ClickFocus | WheelFocus);
    m_lineEdit->setAutoToolTip(false);
    m_lineEdit->setText(numberText(m_minimum));
    m_lineEdit->setValidator(new UISpinBoxValidator(this));
    m_lineEdit->setMinimumHeight(std::max(m_style.minimumHeight, 0));
    m_lineEdit->setMaximumWidth(std::max(sizeHint().width - m_style.buttonWidth - m_style.spacing, 1));
    m_lineEdit->show();

    setToolTipOption(id());
    m_lineEdit->setToolTipOption(id());

    editingFinished.connect(this, &UISpinBox::updateText);
    m_lineEdit->wheelTurned.connect(this, &UISpinBox::onLineEditWheel);
    m_lineEdit->textChanged.connect(this, &UISpinBox::onTextChanged);
    m_lineEdit->editingFinished.connect(this, &UISpinBox::onLineEditFinished);
    m_lineEdit->mouseReleased.connect(this, &UISpinBox::onLineEditReleased);
    m_lineEdit->entered.connect(this, &UISpinBox::onLineEditEntered);
    m_lineEdit->left.connect(this, &UISpinBox::onLineEditLeft);
}

// The line edit outlives this object's members (it goes with the
// children), so it must no longer reach them: no validator, no relays.
UISpinBox::~UISpinBox()
{
    killTimer(SpinBoxRepeatTimerId);
    killTimer(SpinBoxDragTimerId);
    m_lineEdit->setValidator(nullptr);
    for (Signal* signal : {&m_lineEdit->wheelTurned, &m_lineEdit->textChanged, &m_lineEdit->editingFinished,
                           &m_lineEdit->mouseReleased, &m_lineEdit->entered, &m_lineEdit->left})
        signal->disconnectReceiver(this);
}

void UISpinBox::setServices(const UISpinBoxServices* services)
{
    currentServices = services ? services : &platformServices;
}

// ---- Value and range ----

void UISpinBox::setValue(double value)
{
    if (std::isnan(value))
        return;
    const double clamped = std::clamp(value, m_minimum, m_maximum);
    if (clamped == m_value)
        return;
    m_value = clamped;
    if (!m_updating)
        updateText();
    valueChanged.emit(m_value);
}

int UISpinBox::valueInt() const
{
    // A range wider than int's would otherwise convert out of range.
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    return int(std::clamp(std::trunc(m_value), lowest, highest));
}

void UISpinBox::setRange(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return;
    m_minimum = std::min(a, b);
    m_maximum = std::max(a, b);
    m_defaultValue = std::clamp(m_defaultValue, m_minimum, m_maximum);
    if (m_value < m_minimum || m_value > m_maximum)
        setValue(m_defaultValue);
    // The special text depends on the minimum.
    updateText();
}

void UISpinBox::setDefaultValue(double value)
{
    if (!std::isnan(value))
        m_defaultValue = std::clamp(value, m_minimum, m_maximum);
}

void UISpinBox::stepBy(int steps)
{
    double v = m_value + steps * m_singleStep;
    if (m_wrapping && v > m_maximum) {
        setValue(m_minimum);
        return;
    }
    if (m_wrapping && v < m_minimum)
        v = m_maximum;
    setValue(v);
}

// ---- Text ----

void UISpinBox::setDecimals(int decimals)
{
    m_decimals = std::clamp(decimals, 0, 9);
    updateText();
}

void UISpinBox::setPrefix(const String& prefix)
{
    m_prefix = prefix;
    updateText();
}

void UISpinBox::setSuffix(const String& suffix)
{
    m_suffix = suffix;
    updateText();
}

void UISpinBox::setSpecialValueText(const String& text)
{
    m_specialValueText = text;
    updateText();
}

bool UISpinBox::isSpecialValueShown() const
{
    return m_value == m_minimum && !m_specialValueText.isEmpty();
}

void UISpinBox::setReadOnly(bool on)
{
    m_readOnly = on;
    m_lineEdit->setReadOnly(on);
    repaint();
}

// Fixed notation with the user's decimal point, so the text reads back.
String UISpinBox::numberText(double value) const
{
    const wchar_t point = services().locale().decimalPoint();
    const String text = String::number(value, m_decimals);
    return point != 0 && point != L'.' ? text.replaceChar(L'.', point) : text;
}

String UISpinBox::valueText() const
{
    if (isSpecialValueShown())
        return m_specialValueText;
    return m_prefix + numberText(m_value) + m_suffix;
}

void UISpinBox::updateText()
{
    setLineEditText(valueText());
}

void UISpinBox::setLineEditText(const String& text)
{
    if (text == m_lineEdit->text())
        return;
    m_updating = true;
    m_lineEdit->setText(text);
    m_updating = false;
}

String UISpinBox::cleanText() const
{
    return stripAffixes(m_lineEdit->text());
}

String UISpinBox::stripAffixes(const String& text, int* cursor) const
{
    String middle(text);
    int removedBefore = 0;
    if (m_specialValueText.isEmpty() || text != m_specialValueText) {
        if (!m_prefix.isEmpty() && middle.startsWith(m_prefix)) {
            middle = middle.mid(m_prefix.length());
            removedBefore = m_prefix.length();
        }
        if (!m_suffix.isEmpty() && middle.endsWith(m_suffix))
            middle = middle.mid(0, middle.length() - m_suffix.length());
    }
    int leading = 0;
    while (leading < middle.length() && isSpaceChar(middle[leading]))
        ++leading;
    const String trimmed = middle.trimmed();
    if (cursor)
        *cursor = std::clamp(*cursor - removedBefore - leading, 0, trimmed.length());
    return trimmed;
}

double UISpinBox::validateAndInterpret(String& text, int& cursor, UIValidator::State& state) const
{
    const Locale& locale = services().locale();
    const NumberRules rules{m_minimum, m_maximum, m_decimals, locale, locale.decimalPoint(), locale.groupSeparator()};
    String copy = stripAffixes(text, &cursor);
    double number = 0.0;
    state = judgeNumber(copy, cursor, rules, number);
    text = m_prefix + copy + m_suffix;
    cursor = std::min(cursor + m_prefix.length(), text.length());
    if (state == UIValidator::Acceptable)
        return number;
    return m_maximum > 0 ? m_minimum : m_maximum;
}

double UISpinBox::interpretText(String& text, int& position, UIValidator::State& state) const
{
    if (!m_specialValueText.isEmpty() && text == m_specialValueText) {
        state = UIValidator::Acceptable;
        return m_minimum;
    }
    if (!m_prefix.isEmpty() && !text.startsWith(m_prefix)) {
        text = m_prefix + text;
        position += m_prefix.length();
    }
    if (!m_suffix.isEmpty() && !text.endsWith(m_suffix))
        text += m_suffix;
    return validateAndInterpret(text, position, state);
}

// The typed text stays as it is until editing finishes.
void UISpinBox::onTextChanged()
{
    if (m_updating)
        return;
    String copy = m_lineEdit->text();
    int position = m_lineEdit->cursorPosition();
    UIValidator::State state = UIValidator::Invalid;
    const double typed = interpretText(copy, position, state);
    if (state != UIValidator::Acceptable)
        return;
    m_updating = true;
    setValue(typed);
    m_updating = false;
}

void UISpinBox::updateToolTip()
{
    if (!hasAutoToolTip())
        return;
    m_lineEdit->setToolTip(numberText(std::trunc(m_minimum)) + L" ... " + numberText(std::trunc(m_maximum)));
}

void UISpinBox::finishEditing(int)
{
    editingFinished.emit();
}

void UISpinBox::onLineEditFinished()
{
    editingFinished.emit();
}

// ---- Geometry and style ----

Rect UISpinBox::buttonRect() const
{
    return Rect(width() - m_style.buttonWidth, 0, m_style.buttonWidth, height());
}

Rect UISpinBox::upButtonRect() const
{
    return Rect(width() - m_style.buttonWidth, 0, m_style.buttonWidth, height() / 2);
}

Rect UISpinBox::downButtonRect() const
{
    return Rect(width() - m_style.buttonWidth, height() / 2, m_style.buttonWidth, height() / 2);
}

Size UISpinBox::sizeHint() const
{
    const Font font(m_style.font);
    const auto widthOf = [&](const String& text) { return font.textWidth(text.c_str(), text.length()); };
    const String low = numberText(m_minimum);
    const String high = numberText(m_maximum);
    const String& longer = high.length() > low.length() ? high : low;
    const int w = widthOf(m_prefix) + widthOf(m_suffix) + widthOf(longer) + 20;
    return {std::max(w, 50) + m_style.spacing + m_style.buttonWidth, std::max(m_style.minimumHeight, 0)};
}

void UISpinBox::setStyleProperty(const String& name, const String& value)
{
    if (name == L"font")
        m_style.font = parseFontValue(value);
    else if (name == L"buttonWidth")
        m_style.buttonWidth = parseIntValue(value);
    else if (name == L"spacing")
        m_style.spacing = parseIntValue(value);
    else if (name == L"minimumHeight")
        m_style.minimumHeight = parseIntValue(value);
    else
        return;
    applyButtonMargin();
}

// The line edit's cell ends where the spacing before the buttons begins.
void UISpinBox::applyButtonMargin()
{
    setLayoutRightMargin(m_style.buttonWidth + m_style.spacing);
    if (m_lineEdit)
        m_lineEdit->setMinimumHeight(std::max(m_style.minimumHeight, 0));
}

void UISpinBox::setStyleImage(const String& skinName, UISkin* skin)
{
    static const SkinPart<Style> parts[] = {
        {L"UISpinBox_Button", &Style::button},
        {L"UISpinBox_ArrowUp", &Style::arrowUp},
        {L"UISpinBox_ArrowDown", &Style::arrowDown},
    };
    takeSkinPart<Style>(parts, m_style, skinName, *skin);
}

void UISpinBox::resizeEvent(UIResizeEvent*)
{
    m_lineEdit->setMaximumWidth(std::max(width() - m_style.spacing - m_style.buttonWidth, 1));
}

// ---- Painting ----

int UISpinBox::paintState() const
{
    if (!isEnabled())
        return stateDisabled;
    if (isPressed() && isUnderMouse())
        return statePressed;
    return isPressed() || isUnderMouse() ? stateHot : stateNormal;
}

void UISpinBox::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const int state = paintState();
    const Rect buttons = buttonRect();
    m_style.button.drawNineSlice(g, buttons, state, SkinAllRegions);
    m_style.arrowUp.drawAligned(g, buttons, AlignTop | AlignHCenter, state);
    m_style.arrowDown.drawAligned(g, buttons, AlignBottom | AlignHCenter, state);
}

// ---- Buttons, wheel and repeat ----

void UISpinBox::mousePressEvent(UIMouseEvent* event)
{
    if (m_readOnly || !buttonRect().contains(event->position()))
        return;
    if (event->button() == RightButton) {
        setValue(event->modifiers().testFlag(ControlModifier) ? m_maximum : m_defaultValue);
        return;
    }
    if (event->button() != LeftButton)
        return;
    stepBy(upButtonRect().contains(event->position()) ? 1 : -1);
    m_repeatInterval = m_repeatDelay;
    restartTimer(SpinBoxRepeatTimerId, m_repeatInterval);
}

void UISpinBox::mouseReleaseEvent(UIMouseEvent*)
{
    killTimer(SpinBoxRepeatTimerId);
    killTimer(SpinBoxDragTimerId);
}

void UISpinBox::wheelEvent(UIWheelEvent* event)
{
    if (m_readOnly || !buttonRect().contains(event->position()))
        return;
    stepBy(event->direction() == WheelUp ? 1 : -1);
}

void UISpinBox::onLineEditWheel(UIWheelEvent* event)
{
    if (m_readOnly)
        return;
    if (event->direction() == WheelUp) {
        if (m_value < m_maximum)
            stepBy(1);
    } else if (m_value > m_minimum) {
        stepBy(-1);
    }
}

void UISpinBox::customEvent(UICustomEvent* event)
{
    if (event->code() == SpinBoxRepeatTimerId)
        repeatStep();
    else if (event->code() == SpinBoxDragTimerId)
        dragStep();
}

// The steps come at 500, 400, 300, 200 and 100 ms, then every 10 ms: the
// timer must start afresh, since starting a running one keeps its interval.
void UISpinBox::repeatStep()
{
    const Point p = mapFromGlobal(services().cursorPosition());
    if (upButtonRect().contains(p))
        stepBy(1);
    else if (downButtonRect().contains(p))
        stepBy(-1);
    if (m_repeatInterval <= m_repeatMinimum)
        return;
    m_repeatInterval = std::max(m_repeatInterval - repeatDecrementMs, m_repeatMinimum);
    restartTimer(SpinBoxRepeatTimerId, m_repeatInterval);
}

// ---- Pointer dragging ----

void UISpinBox::leaveEvent(UIMouseEvent*)
{
    killTimer(SpinBoxRepeatTimerId);
    UIWidget* grabber = mouseGrabber();
    // An empty range has no position to start from (the offset would
    // divide by zero): no dragging then.
    const bool grabbed = grabber == this || grabber == m_lineEdit;
    if (!m_readOnly && grabbed && m_maximum != m_minimum && !isTimerActive(SpinBoxDragTimerId)) {
        m_dragOffset = int((m_maximum - m_value) / (m_maximum - m_minimum) * m_dragRange);
        startTimer(SpinBoxDragTimerId, shortTimerInterval());
    }
    repaint();
}

void UISpinBox::enterEvent(UIMouseEvent*)
{
    killTimer(SpinBoxDragTimerId);
    repaint();
}

void UISpinBox::dragStep()
{
    if (m_maximum == m_minimum || m_dragRange <= 0)
        return;
    const int y = services().cursorPosition().y;
    const int top = mapToGlobal(Point{0, 0}).y;
    if (y >= top - dragSlack && y <= top + height() + dragSlack)
        return;
    const int base = top + height() / 2 - m_dragOffset;
    const int end = base + m_dragRange;
    double fraction = double(end - y) / m_dragRange;
    if (y < base)
        fraction = 1.0;
    else if (y > end)
        fraction = 0.0;
    double candidate = float(m_minimum + (m_maximum - m_minimum) * fraction);
    if (m_decimals == 0)
        candidate = std::round(candidate);
    if (candidate != m_value && candidate >= m_minimum && candidate <= m_maximum)
        setValue(candidate);
}

void UISpinBox::onLineEditReleased(UIMouseEvent* event)
{
    mouseReleaseEvent(event);
}

void UISpinBox::onLineEditEntered(UIMouseEvent* event)
{
    enterEvent(event);
}

void UISpinBox::onLineEditLeft(UIMouseEvent* event)
{
    leaveEvent(event);
}
