#pragma once

// A fake screen for placement tests, whatever the machine has: one monitor
// of 1000x800 whose work area ends at workAreaBottom (by default 40 pixels
// above the bottom), installed for the object's lifetime.

#include "graphics/Screen.h"

class OneMonitor : public MonitorSource {
public:
    explicit OneMonitor(int workAreaBottom = 760) : m_workAreaBottom(workAreaBottom)
    {
        Screen::setMonitorSource(this);
    }
    ~OneMonitor() override { Screen::setMonitorSource(nullptr); }

    Rect monitorRectAt(Point point, bool workArea) override
    {
        return Rect(0, 0, 1000, 800).contains(point) ? area(workArea) : Rect();
    }
    bool monitorRects(bool workArea, Array<Rect>& out) override
    {
        out.append(area(workArea));
        return true;
    }
    Rect primaryMonitorRect(bool workArea) override { return area(workArea); }

private:
    Rect area(bool workArea) const { return Rect(0, 0, 1000, workArea ? m_workAreaBottom : 800); }

    int m_workAreaBottom;
};
