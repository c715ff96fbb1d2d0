#include "app/UserInterface.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/UITagCloud.h"
#include "foundation/Application.h"
#include "foundation/Event.h"
#include "foundation/EventLoop.h"
#include "foundation/Settings.h"
#include "ui/TrayIcon.h"
#include "ui/UIManager.h"
#include "ui/widgets/UIAction.h"
#include "ui/widgets/UIMenu.h"

namespace {

constexpr int trayIconTimer = 1;

String translated(const wchar_t* text)
{
    return translate(text, L"NotificationIcon");
}

} // namespace

UserInterface::UserInterface() = default;

UserInterface::~UserInterface()
{
    m_trayIcon.reset();
    delete m_trayMenu;
    if (m_mainWindow) {
        UIManager::instance()->setMainWindow(nullptr);
        delete m_mainWindow;
    }
}

void UserInterface::start(bool autorun)
{
    m_mainWindow = new MainWindow;
    // Closing the window and Windows ending the session end the program as
    // the menu's exit does: nothing unsaved is lost.
    m_mainWindow->closeRequested.connect(this, &UserInterface::onExitTriggered);
    m_mainWindow->shutdownRequested.connect(this, &UserInterface::onSessionEnding);
    m_mainWindow->loadGeometry(settings());
    UITagCloud* cloud = m_mainWindow->tagCloud();
    cloud->loadSelection();
    cloud->reloadBackground();
    // A stored selection has laid the words out already; a second layout
    // of a large cloud would only delay the first paint.
    if (cloud->selectedTags().isEmpty())
        cloud->reload();
    UIManager::instance()->setMainWindow(m_mainWindow);
    if (autorun) {
        buildTrayIcon();
        return;
    }
    showMainWindow();
    // Timer ticks come after paints: the icon waits for the first paint.
    startTimer(trayIconTimer, 1);
}

// Building the icon takes tens of milliseconds: a key or pointer move
// waiting at the tick is answered first, and a later tick builds it.
void UserInterface::timerEvent(int id)
{
    if (EventLoop::isInputWaiting())
        return;
    killTimer(id);
    buildTrayIcon();
}

void UserInterface::saveSettings() const
{
    if (!m_mainWindow)
        return;
    m_mainWindow->saveGeometry(settings());
    m_mainWindow->tagCloud()->saveSelection();
}

void UserInterface::showMainWindow()
{
    if (m_mainWindow)
        m_mainWindow->bringToFront();
}

void UserInterface::hideMainWindow()
{
    if (!m_mainWindow || !m_mainWindow->isVisible())
        return;
    MainController* controller = MainController::instance();
    if (controller && controller->waitForLibrary(MainController::Request::Hide))
        return;
    // The icon is the way back to a hidden window.
    buildTrayIcon();
    m_mainWindow->hide();
    if (controller)
        controller->saveLibrary();
}

void UserInterface::buildTrayIcon()
{
    killTimer(trayIconTimer);
    if (m_trayIcon)
        return;
    m_trayIcon = std::make_unique<TrayIcon>();
    m_trayIcon->setIcon(UIManager::instance()->smallIcon());
    if (const Application* application = Application::instance())
        m_trayIcon->setToolTip(application->productName());
    m_trayIcon->released.connect(this, &UserInterface::onTrayReleased);
    m_trayIcon->clicked.connect(this, &UserInterface::onTrayClicked);
    m_trayIcon->show();
}

// The menu takes longer to make than the icon, which is built while the
// user may already move the pointer: it is made when the right button is
// released on the icon, just before the icon opens it.
void UserInterface::onTrayReleased(UIMouseEvent* event)
{
    if (event->button() != RightButton || m_trayMenu)
        return;
    m_trayMenu = new UIMenu;
    m_showHideAction = m_trayMenu->addAction(translated(L"Show"));
    m_showHideAction->triggered.connect(this, &UserInterface::onShowHideTriggered);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(translated(L"Exit"))->triggered.connect(this, &UserInterface::onExitTriggered);
    m_trayMenu->aboutToShow.connect(this, &UserInterface::onTrayMenuAboutToShow);
    m_trayIcon->setMenu(m_trayMenu);
}

void UserInterface::onTrayMenuAboutToShow()
{
    m_showHideAction->setText(translated(m_mainWindow->isVisible() ? L"Hide" : L"Show"));
}

// The right button opens the icon's menu instead.
void UserInterface::onTrayClicked(UIMouseEvent* event)
{
    if (event->button() == LeftButton)
        onShowHideTriggered();
}

void UserInterface::onShowHideTriggered()
{
    if (m_mainWindow->isVisible())
        hideMainWindow();
    else
        showMainWindow();
}

void UserInterface::onExitTriggered()
{
    if (MainController* controller = MainController::instance())
        controller->exit();
}

// Windows lets a program ask for time before the session ends; while the
// library is busy the exit waits for it, so the session has to wait too.
void UserInterface::onSessionEnding(bool* mayEnd)
{
    onExitTriggered();
    const MainController* controller = MainController::instance();
    if (mayEnd && controller && controller->waitingRequest() == MainController::Request::Exit)
        *mayEnd = false;
}
