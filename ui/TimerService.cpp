#include "ui/TimerService.h"

#include "foundation/List.h"

#include <windows.h>

namespace {

struct TimerRecord {
    TimerClient* owner;
    int id;
    int intervalMs;
    UINT_PTR handle;
};

using TimerRecords = List<TimerRecord>;

// The ticks come from the UI thread's message loop only, so the list needs
// no lock. It is never destroyed: owners that are static objects of their
// own still kill their timers at exit, after any other static has gone.
TimerRecords& timerRecords()
{
    static TimerRecords* records = new TimerRecords;
    return *records;
}

TimerRecords::Node* findTimer(const TimerClient* owner, int id)
{
    for (TimerRecords::Node* node = timerRecords().first(); node; node = node->next) {
        if (node->value.owner == owner && node->value.id == id)
            return node;
    }
    return nullptr;
}

// KillTimer goes first, so no tick can arrive for a removed record.
void killNode(TimerRecords::Node*& node)
{
    KillTimer(nullptr, node->value.handle);
    timerRecords().removeNode(node);
}

void CALLBACK timerProc(HWND, UINT, UINT_PTR handle, DWORD)
{
    for (const TimerRecord& record : timerRecords()) {
        if (record.handle == handle) {
            record.owner->timerEvent(record.id);
            return;
        }
    }
}

} // namespace

bool TimerService::start(TimerClient* owner, int id, int intervalMs)
{
    // Without a window the platform chooses the handle; the id is ours.
    const UINT_PTR handle = SetTimer(nullptr, UINT_PTR(id), UINT(intervalMs), timerProc);
    if (handle == 0)
        return false;
    timerRecords().append({owner, id, intervalMs, handle});
    return true;
}

void TimerService::kill(TimerClient* owner, int id)
{
    TimerRecords::Node* node = findTimer(owner, id);
    if (node)
        killNode(node);
}

int TimerService::killAll(TimerClient* owner)
{
    int killed = 0;
    TimerRecords::Node* node = timerRecords().first();
    while (node) {
        if (node->value.owner != owner) {
            node = node->next;
            continue;
        }
        killNode(node);
        ++killed;
    }
    return killed;
}

bool TimerService::isActive(const TimerClient* owner, int id)
{
    return findTimer(owner, id) != nullptr;
}

int TimerService::interval(const TimerClient* owner, int id)
{
    const TimerRecords::Node* node = findTimer(owner, id);
    return node ? node->value.intervalMs : 0;
}

int TimerService::count()
{
    return timerRecords().count();
}
