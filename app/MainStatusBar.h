#pragma once

// MainStatusBar: the main window's status bar. A status light and a status
// text in a row: "Ready" with the light off, or the busy states with the
// light on, optionally followed by a percent while work goes on.

#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "ui/widgets/UIStatusBar.h"

class UILabel;
class UIPicture;

class MainStatusBar : public UIStatusBar {
public:
    explicit MainStatusBar(UIWidget* parent = nullptr);

    // A ShellHooks::StatusState; any other value shows "Ready".
    void setStatus(int state);
    // The state's text followed by the percent (0 to 100); the light is
    // on when busyIcon, else the state's own. Callers run without an event
    // loop, so a change reaches the screen at once; an unchanged call
    // paints nothing.
    void setStatusProgress(int percent, bool busyIcon);

    const String& statusText() const;
    const String& statusIconName() const { return m_iconName; }
    int state() const { return m_state; }

    void retranslate() override;

private:
    String currentText() const;
    void showStatus(const String& iconName);
    const Bitmap& lightImage(const String& iconName);

    UIPicture* m_light;
    UILabel* m_text;
    int m_state = 0;
    // -1 while no percent is shown.
    int m_percent = -1;
    String m_iconName;
    // Decoded once: a scan switches the light four times, and decoding it
    // took longer than painting the whole bar.
    Bitmap m_lightOnImage;
    Bitmap m_lightOffImage;
};
