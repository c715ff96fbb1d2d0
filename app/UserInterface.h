#pragma once

#include "foundation/Signal.h"
#include "ui/TimerClient.h"

#include <memory>

class MainWindow;
class TrayIcon;
class UIAction;
class UIMenu;
class UIMouseEvent;

// The UI root: the main window and the notification-area icon with its
// menu. Closing the main window, the menu's exit, or the end of the
// Windows session ends the program through the main controller; hiding the
// window to the notification area writes the library. Both wait while the
// library is busy (MainController::waitForLibrary).
class UserInterface : public SignalReceiver, private TimerClient {
public:
    UserInterface();
    ~UserInterface() override;
    UserInterface(const UserInterface&) = delete;
    UserInterface& operator=(const UserInterface&) = delete;

    // Builds the main window (geometry and the cloud's selection from the
    // settings) and the notification-area icon; shows the window unless
    // autorun keeps it hidden. A shown window paints first: its icon in the
    // notification area follows at a moment when no input waits, and the
    // icon's menu is made when it is first opened.
    void start(bool autorun);
    // Stores the main window's geometry and the cloud's selection.
    void saveSettings() const;

    // Null before start.
    MainWindow* mainWindow() const { return m_mainWindow; }
    // Null until the icon is built (at once with autorun, else after the
    // window's first paint).
    TrayIcon* trayIcon() const { return m_trayIcon.get(); }

    // Shows, restores and brings the main window forward.
    void showMainWindow();
    // Hides the main window to the notification area and writes the library;
    // later, when the library is busy now.
    void hideMainWindow();

private:
    void timerEvent(int id) override;
    void buildTrayIcon();
    void onTrayReleased(UIMouseEvent* event);
    void onTrayClicked(UIMouseEvent* event);
    void onTrayMenuAboutToShow();
    void onShowHideTriggered();
    void onExitTriggered();
    void onSessionEnding(bool* mayEnd);

    MainWindow* m_mainWindow = nullptr;
    std::unique_ptr<TrayIcon> m_trayIcon;
    UIMenu* m_trayMenu = nullptr;
    UIAction* m_showHideAction = nullptr;
};
