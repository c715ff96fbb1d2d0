#include "foundation/EventLoop.h"

#include "foundation/Application.h"
#include "foundation/Dispatcher.h"

#include <windows.h>

namespace {

enum class Pumped { Nothing, Handled, Quit };

// The quit message ends the process's loops through the application's
// quit, which a program may override; without an application the loops end
// directly. The code the message carries is not used.
Pumped handleQuit()
{
    if (Application* application = Application::instance())
        application->quit();
    else if (Dispatcher* d = dispatcher())
        d->quitAll(0);
    return Pumped::Quit;
}

// Removes a waiting quit message, and nothing else.
bool takeQuitMessage()
{
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE | PM_QS_POSTMESSAGE);
}

Pumped pumpPaintMessages()
{
    // Wine's paint filter leaves the quit message queued, so a paint-only
    // loop would never see it.
    if (takeQuitMessage())
        return handleQuit();
    MSG msg;
    bool handled = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) {
        // Where the filter does return it, the quit message ends the pump.
        if (msg.message == WM_QUIT)
            return handleQuit();
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        handled = true;
    }
    return handled ? Pumped::Handled : Pumped::Nothing;
}

void discardInputMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT)) {
        // A quit message caught by the filter must survive the discarding.
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
    }
}

bool isPostedEvent(const MSG& msg)
{
    Dispatcher* d = dispatcher();
    return msg.message == Dispatcher::postedEventMessage && d && msg.hwnd && msg.hwnd == d->messageWindow();
}

// One step of the message pump.
Pumped pumpMessage(std::uint32_t flags, bool peekFirst)
{
    if (flags & Dispatcher::PaintOnly)
        return pumpPaintMessages();
    if (flags & Dispatcher::BlockInput)
        discardInputMessages();
    MSG msg;
    if (peekFirst && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE))
        return Pumped::Nothing;
    const BOOL result = GetMessageW(&msg, nullptr, 0, 0);
    if (result == -1)
        return Pumped::Handled;
    if (result == 0)
        return handleQuit();
    if (isPostedEvent(msg)) {
        Dispatcher::deliverPosted(msg.wParam, msg.lParam);
        return Pumped::Handled;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return Pumped::Handled;
}

} // namespace

int EventLoop::exec()
{
    if (!dispatcher())
        return -1;
    dispatcher()->m_runningLoops.append(this);
    m_running = true;
    m_quit = false;
    while (!m_quit) {
        Dispatcher* d = dispatcher();
        pumpMessage(d ? d->flags() : 0, false);
    }
    m_quit = false;
    m_running = false;
    // Loops nest on one thread, so the one ending is the innermost.
    if (Dispatcher* d = dispatcher()) {
        auto* last = d->m_runningLoops.last();
        d->m_runningLoops.removeNode(last);
    }
    return m_exitCode;
}

bool EventLoop::processEvents(std::uint32_t flags)
{
    if (m_quit)
        return false;
    bool handled = false;
    for (;;) {
        const Pumped result = pumpMessage(flags, true);
        if (result == Pumped::Nothing)
            return handled;
        handled = true;
        // A loop that is not running is not ended by the quit message, which
        // the quit handling posts again: stopping here keeps the two from
        // chasing each other.
        if (result == Pumped::Quit || m_quit)
            return true;
    }
}

bool EventLoop::isInputWaiting()
{
    return HIWORD(GetQueueStatus(QS_INPUT)) != 0;
}

void EventLoop::quit(int code)
{
    m_exitCode = code;
    m_quit = true;
}
