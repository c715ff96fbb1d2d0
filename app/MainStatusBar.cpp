#include "app/MainStatusBar.h"

#include "app/ImageByName.h"
#include "app/PaintNow.h"
#include "foundation/Application.h"
#include "foundation/Hooks.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIPicture.h"

#include <algorithm>

namespace {

const wchar_t* const statusContext = L"MainWindow/Status";
const wchar_t* const lightOff = L"diod_off";
const wchar_t* const lightOn = L"diod_on";
constexpr int lightSize = 16;

struct StatusLook {
    int state;
    const wchar_t* text;
    const wchar_t* icon;
};

constexpr StatusLook statusLooks[] = {
    {ShellHooks::StatusReady, L"Ready", lightOff},
    {ShellHooks::StatusPreparing, L"Preparing data", lightOn},
    {ShellHooks::StatusScanning, L"Scan...", lightOn},
};

// Unknown states read as ready.
const StatusLook& lookOf(int state)
{
    for (const StatusLook& look : statusLooks) {
        if (look.state == state)
            return look;
    }
    return statusLooks[0];
}

} // namespace

MainStatusBar::MainStatusBar(UIWidget* parent) : UIStatusBar(parent)
{
    applyLayoutSpacingMetrics();
    setLayoutMargins(horizontalSpacing(), 0, horizontalSpacing(), 0);
    m_light = new UIPicture(this);
    // The bar's skin shows around the light's round edge.
    m_light->setFlag(WidgetSeeThrough, true);
    m_light->setAutoSize(false);
    m_light->setMinimumSize(lightSize, lightSize);
    m_light->setMaximumSize(lightSize, lightSize);
    m_light->show();
    m_text = new UILabel(this);
    // Takes the rest of the row, so a longer text never moves the light.
    m_text->setSizePolicy(SizeExpanding, SizeFixed);
    m_text->show();
    setStatus(ShellHooks::StatusReady);
}

void MainStatusBar::setStatus(int state)
{
    m_state = lookOf(state).state;
    m_percent = -1;
    showStatus(lookOf(m_state).icon);
}

void MainStatusBar::setStatusProgress(int percent, bool busyIcon)
{
    percent = std::clamp(percent, 0, 100);
    const String iconName = busyIcon ? lightOn : lookOf(m_state).icon;
    if (percent == m_percent && iconName == m_iconName)
        return;
    m_percent = percent;
    showStatus(iconName);
}

const String& MainStatusBar::statusText() const
{
    return m_text->text();
}

void MainStatusBar::retranslate()
{
    m_text->setText(currentText());
}

String MainStatusBar::currentText() const
{
    const String text = translate(lookOf(m_state).text, statusContext);
    return m_percent < 0 ? text : text + L' ' + String::number(m_percent) + L'%';
}

void MainStatusBar::showStatus(const String& iconName)
{
    if (iconName != m_iconName) {
        m_iconName = iconName;
        m_light->setImage(lightImage(iconName), UIPicture::Unscaled, AlignCenter);
    }
    m_text->setText(currentText());
    showPaintedNow(this);
}

const Bitmap& MainStatusBar::lightImage(const String& iconName)
{
    Bitmap& image = iconName == String(lightOn) ? m_lightOnImage : m_lightOffImage;
    if (image.isNull())
        image = imageByName(iconName);
    return image;
}
