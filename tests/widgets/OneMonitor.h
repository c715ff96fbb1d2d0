#pragma once

// A fake screen for placement tests, whatever the machine has: one monitor
// (by default of 1000x800) whose work area ends at workAreaBottom (by
// default 40 pixels above the bottom), installed for the object's lifetime.

#include "graphics/Screen.h"

class OneMonitor : public MonitorSource {
public:
    explicit OneMonitor(int workAreaBottom = 760, Size size = {1000, 800})
        : m_size(size), m_workAreaBottom(workAreaBottom)
    {
        Screen::setMonitorSource(this);
    }
    ~OneMonitor() override { Screen::setMonitorSource(nullptr); }

    Rect monitorRectAt(Point point, bool workArea) override
    {
        return area(false).contains(point) ? area(workArea) : Rect();
    }
    bool monitorRects(bool workArea, Array<Rect>& out) override
    {
        out.append(area(workArea));
        return true;
    }
    Rect primaryMonitorRect(bool workArea) override { return area(workArea); }

private:
    Rect area(bool workArea) const { return Rect(0, 0, m_size.width, workArea ? m_workAreaBottom : m_size.height); }

    Size m_size;
    int m_workAreaBottom;
};
