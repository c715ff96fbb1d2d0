#include "app/MainWindow.h"

#include "app/MainStatusBar.h"
#include "app/UITagCloud.h"
#include "foundation/Settings.h"
#include "graphics/Screen.h"
#include "ui/UIEvents.h"
#include "ui/UINativeWindow.h"

namespace {

constexpr Size defaultSize{800, 600};
// Smaller frames cannot show the cloud and the status bar.
constexpr Size minimumSize{320, 240};

String geometryKey(const wchar_t* field)
{
    return String(L"windows/windowMainWindow") + field;
}

bool isOnSomeMonitor(const Rect& frame)
{
    for (const Rect& monitor : Screen::monitorRects(true)) {
        if (monitor.intersects(frame))
            return true;
    }
    return false;
}

} // namespace

MainWindow::MainWindow()
    : UIWindow(nullptr, WindowSystemMenu | WindowResizable | WindowMinimizeButton | WindowMaximizeButton),
      m_tagCloud(new UITagCloud(this)), m_statusBar(new MainStatusBar(this))
{
    setWindowTitle(String(), true);
    m_tagCloud->setSizePolicy(SizeExpanding, SizeExpanding);
    m_statusBar->setSizePolicy(SizeExpanding, SizeFixed);
    m_tagCloud->show();
    m_statusBar->show();
    setMinimumSize(minimumSize);
    resize(defaultSize);
    centreOnPrimaryMonitor();
    m_statusBar->setStatus(0);
}

void MainWindow::setStatus(int state)
{
    m_statusBar->setStatus(state);
}

void MainWindow::setStatusProgress(int percent, bool busyIcon)
{
    m_statusBar->setStatusProgress(percent, busyIcon);
}

void MainWindow::loadGeometry(const Settings& settings)
{
    const Rect frame{settings.value(geometryKey(L"Left"), -1).toInt(), settings.value(geometryKey(L"Top"), -1).toInt(),
                     settings.value(geometryKey(L"Width"), -1).toInt(),
                     settings.value(geometryKey(L"Height"), -1).toInt()};
    m_showMaximized = settings.value(geometryKey(L"IsMaximized"), false).toBool();
    if (frame.width < minimumSize.width || frame.height < minimumSize.height || !isOnSomeMonitor(frame))
        return;
    move(frame.x, frame.y);
    resize(frame.width, frame.height);
}

// A maximised or minimised window keeps the frame it had before, which is
// the one to restore to.
void MainWindow::saveGeometry(Settings& settings) const
{
    const bool maximized = (windowState() & WindowMaximized) != 0;
    settings.setValue(geometryKey(L"IsMaximized"), maximized);
    if (maximized || (windowState() & WindowMinimized) != 0)
        return;
    const Rect frame = frameGeometry();
    settings.setValue(geometryKey(L"Left"), frame.x);
    settings.setValue(geometryKey(L"Top"), frame.y);
    settings.setValue(geometryKey(L"Width"), frame.width);
    settings.setValue(geometryKey(L"Height"), frame.height);
}

void MainWindow::bringToFront()
{
    activateWindow();
    if (m_showMaximized) {
        m_showMaximized = false;
        setWindowState(windowState() | WindowMaximized);
    }
}

void MainWindow::closeEvent(UICloseEvent* event)
{
    event->setAccepted(false);
    closeRequested.emit();
}

void MainWindow::centreOnPrimaryMonitor()
{
    const Rect area = Screen::primaryMonitorRect(true);
    const Size frame = frameSize();
    move(area.x + (area.width - frame.width) / 2, area.y + (area.height - frame.height) / 2);
}
