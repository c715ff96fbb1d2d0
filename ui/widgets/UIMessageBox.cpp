#include "ui/widgets/UIMessageBox.h"

#include "foundation/Application.h"
#include "graphics/Font.h"
#include "graphics/FontDesc.h"
#include "graphics/Screen.h"
#include "ui/TimerService.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UITheme.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UIButton.h"
#include "ui/widgets/UICheck.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIPicture.h"
#include "ui/widgets/UISpacer.h"

#include <algorithm>

namespace {

const wchar_t* const translationContext = L"UserInterface/UIMessageBox";
constexpr int minimumBoxWidth = 250;
// The widest a box grows, in percent of its monitor's work area.
constexpr int widestOfWorkArea = 80;
// Texts wrap no narrower than this: a column of a few letters reads worse
// than a box that runs off a tiny screen.
constexpr int narrowestWrap = 120;
constexpr int soundDelay = 50;
constexpr float mainTextPoints = 10.5f;
constexpr int keyC = 67;
constexpr int keyEnter = 13;
constexpr int keySpace = 32;

struct StandardButton {
    int bit;
    const wchar_t* text;
};

// Left to right.
constexpr StandardButton standardButtons[] = {
    {MessageBoxProceed, L"Proceed"},   {MessageBoxRestoreDefaults, L"Restore Defaults"},
    {MessageBoxRestartNow, L"Restart Now"}, {MessageBoxYes, L"Yes"},
    {MessageBoxOk, L"OK"},             {MessageBoxOpen, L"Open"},
    {MessageBoxSave, L"Save"},         {MessageBoxCancel, L"Cancel"},
    {MessageBoxClose, L"Close"},       {MessageBoxApply, L"Apply"},
    {MessageBoxReset, L"Reset"},       {MessageBoxHelp, L"Help"},
    {MessageBoxSaveAll, L"Save All"},  {MessageBoxNo, L"No"},
    {MessageBoxNoToAll, L"No To All"}, {MessageBoxYesToAll, L"Yes To All"},
    {MessageBoxAbort, L"Abort"},       {MessageBoxRetry, L"Retry"},
    {MessageBoxIgnore, L"Ignore"},
};

// The system sound of each kind, by kind; MessageNone plays none.
constexpr int kindSounds[] = {0, 4, 2, 3, 5};

bool hasIconAndSound(int kind)
{
    return kind >= MessageInformation && kind <= MessageCritical;
}

int themeMetric(int id)
{
    const UITheme* theme = UIManager::instance()->theme();
    return theme ? theme->metric(id) : 0;
}

Bitmap kindIcon(int kind)
{
    const UITheme* theme = UIManager::instance()->theme();
    if (!theme || !hasIconAndSound(kind))
        return Bitmap();
    return theme->image(ImageInformationBig + kind - MessageInformation);
}

template <typename Widget>
Widget* visibleNew(Widget* widget)
{
    widget->show();
    return widget;
}

UIBox* addRow(UIWidget* parent, bool vertical)
{
    auto* row = visibleNew(new UIBox(parent));
    row->setLayoutVertical(vertical);
    row->setSizePolicy(SizeExpanding, vertical ? SizeExpanding : SizeFixed);
    return row;
}

UILabel* addLabel(UIWidget* parent, const String& text, const FontDesc& font)
{
    auto* label = visibleNew(new UILabel(parent));
    label->setMultiLine(true);
    label->setFont(font);
    label->setText(text);
    return label;
}

Rect orPrimaryWorkArea(const Rect& area)
{
    return area.isEmpty() ? Screen::primaryMonitorRect(true) : area;
}

} // namespace

// The clicked signal carries no sender, so each button gets a receiver that
// knows its bit.
class UIMessageBox::ButtonHandler : public SignalReceiver {
public:
    ButtonHandler(UIMessageBox* box, int bit) : m_box(box), m_bit(bit) {}

    void onClicked() { m_box->done(m_bit); }

private:
    UIMessageBox* m_box;
    int m_bit;
};

UIMessageBox::UIMessageBox(UIWidget* parent) : UIDialog(parent, WindowKeyPreview | WindowSystemMenu)
{
    setMinimumWidth(minimumBoxWidth);
}

UIMessageBox::UIMessageBox(int kind, const String& title, const String& text, int buttons, UIWidget* parent)
    : UIMessageBox(parent)
{
    m_kind = kind;
    m_text = text;
    m_buttons = buttons;
    setTitle(title);
}

UIMessageBox::~UIMessageBox()
{
    killTimer(MessageBoxSoundTimerId);
}

int UIMessageBox::information(UIWidget* parent, const String& title, const String& text,
                              const String& informativeText, int buttons, int flags)
{
    return run(MessageInformation, parent, title, text, informativeText, buttons, flags);
}

int UIMessageBox::question(UIWidget* parent, const String& title, const String& text, const String& informativeText,
                           int buttons, int flags)
{
    return run(MessageQuestion, parent, title, text, informativeText, buttons, flags);
}

int UIMessageBox::warning(UIWidget* parent, const String& title, const String& text, const String& informativeText,
                          int buttons, int flags)
{
    return run(MessageWarning, parent, title, text, informativeText, buttons, flags);
}

int UIMessageBox::critical(UIWidget* parent, const String& title, const String& text, const String& informativeText,
                           int buttons, int flags)
{
    return run(MessageCritical, parent, title, text, informativeText, buttons, flags);
}

int UIMessageBox::run(int kind, UIWidget* parent, const String& title, const String& text,
                      const String& informativeText, int buttons, int flags)
{
    UIMessageBox box(kind, title, text, buttons, parent);
    box.setInformativeText(informativeText);
    box.setFlags(flags);
    return box.exec();
}

void UIMessageBox::setTitle(const String& title)
{
    if (!title.isEmpty())
        setWindowTitle(title, true);
}

String UIMessageBox::title() const
{
    return windowTitle();
}

int UIMessageBox::exec()
{
    if (!m_built) {
        // Held until the texts are wrapped: laid out unwrapped first, every
        // widget of the box would keep a buffer as wide as the longest text.
        setUpdatesEnabled(false);
        applyLayoutMarginMetrics();
        applyLayoutSpacingMetrics();
        buildContent();
        wrapTextsToFit();
        cutTextsToFit();
        setUpdatesEnabled(true);
        m_built = true;
    }
    if ((m_flags & MessageBoxDefaultLoneButton) && m_buttonList.count() == 1)
        m_buttonList.first()->value->setDefault(true);
    show();
    return result();
}

void UIMessageBox::done(int result)
{
    killTimer(MessageBoxSoundTimerId);
    if (m_doNotShowAgain && m_doNotShowAgain->isChecked())
        result |= MessageBoxDoNotShowAgain;
    UIDialog::done(result);
}

void UIMessageBox::buildContent()
{
    addTopRow();
    visibleNew(new UILine(this))->setSizePolicy(SizeExpanding, SizeFixed);
    addBottomRow();
}

void UIMessageBox::addTopRow()
{
    UIBox* row = addRow(this, false);
    row->setColumnStretch(1, 100.0f);
    row->applyLayoutSpacingMetrics();
    if (m_kind != MessageNone) {
        auto* icon = visibleNew(new UIPicture(row));
        icon->setFlag(WidgetSeeThrough, true);
        const Bitmap image = kindIcon(m_kind);
        if (!image.isNull())
            icon->setImage(image, UIPicture::Unscaled, AlignHCenter | AlignTop);
    }
    UIBox* texts = addRow(row, true);
    FontDesc bold = defaultFontDesc();
    bold.setStyle(FontBold);
    bold.setSize(mainTextPoints);
    if (!m_text.isEmpty())
        m_labels.push_back(addLabel(texts, m_text, bold));
    if (!m_informativeText.isEmpty())
        m_labels.push_back(addLabel(texts, m_informativeText, defaultFontDesc()));
}

// A text too wide for the screen (a long path, say) wraps rather than
// widening the box past it and taking its buttons out of reach.
void UIMessageBox::wrapTextsToFit()
{
    const Rect area = workAreaShownOn();
    if (area.isEmpty())
        return;
    const int frameExtra = frameSize().width - width();
    const int excess = preferredSize().width + frameExtra - area.width * widestOfWorkArea / 100;
    if (excess <= 0)
        return;
    int widestLabel = 0;
    for (const UILabel* label : m_labels)
        widestLabel = std::max(widestLabel, label->sizeHint().width);
    const int wrapWidth = std::max(widestLabel - excess, narrowestWrap);
    for (UILabel* label : m_labels)
        label->setWrapWidth(wrapWidth);
}

// A text still too long for the screen once wrapped shows only the lines
// that fit, the tallest label cut first, so that the buttons stay on the
// screen; Ctrl+C still copies it whole.
void UIMessageBox::cutTextsToFit()
{
    const Rect area = workAreaShownOn();
    if (area.isEmpty())
        return;
    const int padding = themeMetric(MetricWindowDesktopPadding);
    const int frameExtra = frameSize().height - height();
    int excess = preferredSize().height + frameExtra - (area.height - 2 * padding);
    std::vector<UILabel*> tallestFirst = m_labels;
    std::sort(tallestFirst.begin(), tallestFirst.end(),
              [](UILabel* a, UILabel* b) { return a->sizeHint().height > b->sizeHint().height; });
    for (UILabel* label : tallestFirst) {
        if (excess <= 0)
            return;
        const int tall = label->sizeHint().height;
        const int kept = std::max(tall - excess, Font(label->font()).height());
        label->setMaximumHeight(kept);
        excess -= tall - kept;
    }
}

// Where the show will put the box: where the caller moved it, else over
// its owner's window, else on the primary monitor.
Rect UIMessageBox::workAreaShownOn() const
{
    if (pos() != Point{0, 0})
        return orPrimaryWorkArea(Screen::monitorRectAt(frameGeometry().topLeft(), true));
    const UIWidget* owner = parent() ? parent()->topLevelWidget() : nullptr;
    if (owner && owner->isVisible() && !owner->isMinimized())
        return orPrimaryWorkArea(Screen::monitorRectAt(owner->frameGeometry().topLeft(), true));
    return Screen::primaryMonitorRect(true);
}

void UIMessageBox::addBottomRow()
{
    UIBox* row = addRow(this, false);
    row->applyLayoutSpacingMetrics();
    if (m_flags & MessageBoxShowDoNotShowAgain) {
        m_doNotShowAgain = visibleNew(new UICheck(row, translate(L"Do not show again.", translationContext)));
        m_doNotShowAgain->setTabOrder(1);
    }
    visibleNew(new UIExpander(row));
    for (const StandardButton& button : standardButtons) {
        if (m_buttons & button.bit)
            addButton(row, button.bit, button.text);
    }
}

void UIMessageBox::addButton(UIWidget* row, int bit, const wchar_t* text)
{
    auto* button = visibleNew(new UIButton(row, translate(text, translationContext)));
    m_buttonList.append(button);
    if (bit == MessageBoxRetry && (m_flags & MessageBoxDefaultRetry))
        button->setDefault(true);
    // Tab and Shift+Tab step through the box's buttons.
    button->setTabOrder(m_buttonList.count() + 1);
    m_handlers.push_back(std::make_unique<ButtonHandler>(this, bit));
    button->clicked.connect(m_handlers.back().get(), &ButtonHandler::onClicked);
}

void UIMessageBox::keyPressEvent(UIKeyEvent* event)
{
    // A box shown while another program was active gets the activation
    // later, with no button focused: the key reaches the box itself.
    const bool pressKey = event->key() == keyEnter || event->key() == keySpace;
    if (pressKey && !focusWidget() && defaultButton()) {
        event->accept();
        focusDefaultButton();
        defaultButton()->clicked.emit();
        return;
    }
    if (event->key() != keyC || !event->modifiers().testFlag(ControlModifier))
        return;
    event->accept();
    const String copied = copiedText();
    if (!copied.isEmpty())
        UIManager::instance()->clipboard().setText(copied);
}

String UIMessageBox::copiedText() const
{
    StringList parts;
    parts.append(title());
    parts.append(m_text);
    parts.append(m_informativeText);
    return parts.join(String::lineBreak(), String::SkipEmptyParts);
}

void UIMessageBox::customEvent(UICustomEvent* event)
{
    if (event->code() == MessageBoxSoundTimerId) {
        killTimer(MessageBoxSoundTimerId);
        if (hasIconAndSound(m_kind))
            UIManager::instance()->playMessageSound(kindSounds[m_kind]);
        return;
    }
    if (m_flags & MessageBoxDefaultLoneButton)
        UIDialog::customEvent(event);
}

void UIMessageBox::showEvent(UIShowEvent* event)
{
    startTimer(MessageBoxSoundTimerId, soundDelay);
    keepInsideWorkArea();
    focusDefaultButton();
    if (m_flags & MessageBoxDefaultLoneButton)
        UIDialog::showEvent(event);
}

// Enter and Space then press a button at once: the library's errors come
// in this box, and a keyboard user must be able to answer them.
void UIMessageBox::focusDefaultButton()
{
    if (UIButton* button = defaultButton())
        button->setFocus();
}

UIButton* UIMessageBox::defaultButton() const
{
    for (UIButton* button : m_buttonList) {
        if (button->isDefault())
            return button;
    }
    return m_buttonList.isEmpty() ? nullptr : m_buttonList.first()->value;
}

void UIMessageBox::keepInsideWorkArea()
{
    const int padding = themeMetric(MetricWindowDesktopPadding);
    const Rect frame = frameGeometry();
    const Rect fitted = Screen::fitRect(frame.topLeft(), frame, Margins{padding, padding, padding, padding}, 0, false);
    move(fitted.x, fitted.y);
}
