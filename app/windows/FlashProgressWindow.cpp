#include "app/windows/FlashProgressWindow.h"

#include "app/PaintNow.h"
#include "graphics/Font.h"
#include "ui/UIEvents.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIBox.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIProgress.h"
#include "ui/widgets/UISpacer.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr Size windowSize{360, 90};
constexpr std::uint64_t paintInterval = 40;
const wchar_t* const widestPercent = L"100%";
// The label's own room around its text.
constexpr int labelMargin = 4;

template <typename Widget>
Widget* shown(Widget* widget)
{
    widget->show();
    return widget;
}

String percentTextOf(int percent)
{
    return String::number(percent) + L'%';
}

UIBox* addBarRow(UIWidget* parent)
{
    auto* row = shown(new UIBox(parent));
    row->setLayoutVertical(false);
    row->setSizePolicy(SizeExpanding, SizeFixed);
    row->applyLayoutSpacingMetrics();
    // The window's own background shows through.
    row->setBackground(Brush());
    return row;
}

// As wide as the widest percent, so the bar keeps its length.
UILabel* addPercentLabel(UIWidget* parent)
{
    auto* label = shown(new UILabel(parent));
    label->setAlignment(AlignRight | AlignVCenter);
    const Font font(label->font());
    label->setMinimumWidth(font.textWidth(widestPercent, String(widestPercent).length()) + labelMargin);
    return label;
}

} // namespace

// A close used to destroy the lines and bar that the load or save went on
// to update: an access violation once the wait for a held file ended. The
// session's end is a close too, and the session waits for the owner, whose
// work goes on.
class FlashProgressWindow::ClosableWindow : public UIWindow {
public:
    ClosableWindow(UIWidget* parent, std::uint32_t flags) : UIWindow(parent, flags)
    {
        shutdownRequested.connect(this, &ClosableWindow::onSessionEnding);
    }
    bool closeRequested = false;

protected:
    void closeEvent(UICloseEvent* event) override
    {
        event->ignore();
        closeRequested = true;
    }

private:
    void onSessionEnding(bool* mayEnd)
    {
        closeRequested = true;
        *mayEnd = false;
    }
};

FlashProgressWindow::FlashProgressWindow(UIWidget* parent)
    : m_window(new ClosableWindow(parent, WindowFrameless | WindowStaysOnTop | WindowNoActivate))
{
    m_window->applyLayoutMarginMetrics();
    m_window->applyLayoutSpacingMetrics();
    m_window->setMinimumSize(windowSize);
    m_window->setWindowAlignment(AlignCenter);
    // The room the window has beyond its lines goes above and below them.
    shown(new UIExpander(m_window));
    m_message = shown(new UILabel(m_window));
    m_message->setSizePolicy(SizeExpanding, SizeFixed);
    UIBox* row = addBarRow(m_window);
    m_bar = shown(new UIProgress(row));
    m_bar->setRange(0, 100);
    m_bar->setSizePolicy(SizeExpanding, SizeFixed);
    m_percentText = addPercentLabel(row);
    m_percentText->setText(percentTextOf(m_percent));
    shown(new UIExpander(m_window));
}

FlashProgressWindow::~FlashProgressWindow()
{
    // A parent window destroyed first has taken this window with it.
    if (!UIManager::instance()->isRegistered(m_window))
        return;
    m_window->hide();
    delete m_window;
}

void FlashProgressWindow::setMessage(const String& text)
{
    m_message->setText(text);
    setBarPainting(true);
    showPaintedNow(m_window);
}

// The bar and its percent paint a few dozen times a second, not at every
// percent: painting each of the three hundred changes of a load cost it
// half a second.
void FlashProgressWindow::setPercent(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_percent)
        return;
    m_percent = percent;
    const std::uint64_t now = GetTickCount64();
    const bool due = percent == 100 || now - m_paintedAt >= paintInterval;
    setBarPainting(false);
    m_bar->setValue(percent);
    m_percentText->setText(percentTextOf(percent));
    if (!due)
        return;
    m_paintedAt = now;
    setBarPainting(true);
    showPaintedNow(m_window);
}

// Turned back on, each paints once what changed meanwhile.
void FlashProgressWindow::setBarPainting(bool on)
{
    m_bar->setUpdatesEnabled(on);
    m_percentText->setUpdatesEnabled(on);
}

void FlashProgressWindow::show()
{
    m_window->show();
    // The platform's own paint request waits for an event loop.
    m_window->repaint();
    showPaintedNow(m_window);
}

bool FlashProgressWindow::closeRequested()
{
    const auto window = static_cast<HWND>(m_window->windowHandle());
    MSG close;
    while (window && PeekMessageW(&close, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
        DispatchMessageW(&close);
    return m_window->closeRequested;
}

UIWindow* FlashProgressWindow::window() const
{
    return m_window;
}

const String& FlashProgressWindow::message() const
{
    return m_message->text();
}

String FlashProgressWindow::percentText() const
{
    return m_percentText->text();
}
