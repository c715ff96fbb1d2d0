#include "ui/TimerClient.h"

#include "ui/TimerService.h"

TimerClient::~TimerClient()
{
    TimerService::killAll(this);
}

void TimerClient::startTimer(int id, int intervalMs)
{
    if (!TimerService::isActive(this, id))
        TimerService::start(this, id, intervalMs);
}

void TimerClient::restartTimer(int id, int intervalMs)
{
    TimerService::kill(this, id);
    TimerService::start(this, id, intervalMs);
}

void TimerClient::killTimer(int id)
{
    TimerService::kill(this, id);
}

bool TimerClient::isTimerActive(int id) const
{
    return TimerService::isActive(this, id);
}

void TimerClient::killAllTimers()
{
    TimerService::killAll(this);
}

int TimerClient::count()
{
    return TimerService::count();
}

int TimerClient::shortTimerInterval()
{
    return 10;
}

int TimerClient::maximumTimerInterval()
{
    return 2147483647;
}
