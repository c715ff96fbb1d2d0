#pragma once

#include "foundation/Signal.h"
#include "ui/UIWindow.h"

class MainStatusBar;
class Settings;
class UITagCloud;

// The program's main window: the tag cloud above the status bar, titled
// with the product's name. Closing it asks its owner to end the program
// (closeRequested); the window itself stays until its owner deletes it.
class MainWindow : public UIWindow {
public:
    MainWindow();

    UITagCloud* tagCloud() const { return m_tagCloud; }
    MainStatusBar* statusBar() const { return m_statusBar; }

    // ShellHooks::StatusState: 0 "Ready", 3 "Preparing data", 4 "Scan...".
    void setStatus(int state);
    // The status text followed by the percent; repaints only on a change.
    void setStatusProgress(int percent, bool busyIcon);

    // "windows/windowMainWindow" + "Left", "Top", "Width", "Height",
    // "IsMaximized". A stored frame that shows on no monitor is not used:
    // the window then takes its default size, centred on the primary
    // monitor.
    void loadGeometry(const Settings& settings);
    void saveGeometry(Settings& settings) const;

    // Shows, restores from minimised and activates.
    void bringToFront();

    Signal closeRequested;

protected:
    void closeEvent(UICloseEvent* event) override;

private:
    void centreOnPrimaryMonitor();

    UITagCloud* m_tagCloud;
    MainStatusBar* m_statusBar;
    // Whether the stored state asks for a maximised window at the next show.
    bool m_showMaximized = false;
};
