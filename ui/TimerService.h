#pragma once

#include "ui/TimerClient.h"

// Timers without a window: the platform calls back on the UI thread from
// the message loop, and the service hands each tick to the owner that
// started the timer. A timer is addressed by its owner and an id the owner
// chooses; ids are unique per owner, not per process.
//
// Ids used by the toolkit's widget classes, distinct across classes so that
// a class and its base never collide (the hover poll's is hoverTimerId).
enum ToolkitTimerId : int {
    TextCursorBlinkTimerId = 100002,
    ToolButtonMenuGuardTimerId = 100003,
    PushButtonMenuGuardTimerId = 100004,
    BalloonShowTimerId = 100005,
    BalloonTimeOutTimerId = 100006,
    BalloonWatchTimerId = 100007,
    ToolTipShowTimerId = 100008,
    ToolTipHideTimerId = 100009,
    ToolTipTrackTimerId = 100010,
    SpinBoxRepeatTimerId = 100011,
    SpinBoxDragTimerId = 100012,
    MenuSubMenuTimerId = 100013,
    MenuBarPollTimerId = 100014,
    ComboBoxReopenGuardTimerId = 100016,
    ComboBoxFocusCheckTimerId = 100017,
    MessageBoxSoundTimerId = 100018,
    ScrollBarRepeatTimerId = 100020,
    DialogDefaultButtonTimerId = 100021,
    HotKeyCaretTimerId = 100022,
    SliderRepeatTimerId = 200000,
};

// The process-wide list of running timers, in start order. UI thread only.
class TimerService {
public:
    // Starts a platform timer and records it; looks for no duplicate (the
    // owner's startTimer does). False when the platform refuses.
    static bool start(TimerClient* owner, int id, int intervalMs);
    // The first timer of the owner with the id.
    static void kill(TimerClient* owner, int id);
    // Every timer of the owner; returns how many.
    static int killAll(TimerClient* owner);
    static bool isActive(const TimerClient* owner, int id);
    // The interval of the owner's running timer with the id; 0 when none
    // runs.
    static int interval(const TimerClient* owner, int id);
    static int count();
};
