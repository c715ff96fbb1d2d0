#pragma once

// An owner of windowless platform timers. Each timer is addressed by its
// owner and an id the owner chooses (unique per owner only); ticks arrive on
// the UI thread through timerEvent until the timer is killed. Destroying
// the owner kills every timer it still runs.
class TimerClient {
public:
    TimerClient() = default;
    virtual ~TimerClient();
    TimerClient(const TimerClient&) = delete;
    TimerClient& operator=(const TimerClient&) = delete;

    virtual void timerEvent(int id) = 0;

    // Nothing when a timer with this id already runs: it keeps its interval.
    void startTimer(int id, int intervalMs);
    // Kills the timer with this id if it runs, then starts it afresh with
    // the new interval (a delay that begins again from now).
    void restartTimer(int id, int intervalMs);
    void killTimer(int id);
    bool isTimerActive(int id) const;
    void killAllTimers();

    // The 10 ms interval several widget classes use.
    static int shortTimerInterval();
    static int maximumTimerInterval();
    // The number of running timers of every owner.
    static int count();
};
