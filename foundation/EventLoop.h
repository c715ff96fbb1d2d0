#pragma once

#include <cstdint>

// One run of the platform message pump on the UI thread. The main loop and
// the nested loops of modal windows and menus are EventLoops; the
// Dispatcher keeps the running ones, innermost last.
class EventLoop {
public:
    EventLoop() = default;
    virtual ~EventLoop() = default;

    EventLoop(const EventLoop&) = delete;
    EventLoop& operator=(const EventLoop&) = delete;

    // Pumps messages until quit() is called, then returns its code. Without
    // a Dispatcher there is nothing to run: -1 at once.
    int exec();
    // Handles the waiting messages without blocking, until none waits, this
    // loop is asked to quit or a quit message arrives. Flags as the
    // Dispatcher's (1 block input, 2 paint only). False when nothing was
    // handled, and at once when quit is already set.
    bool processEvents(std::uint32_t flags = 0);

    // Whether a key, pointer or other input message waits in the thread's
    // queue, for work that can wait until input has been answered.
    static bool isInputWaiting();

    void quit(int code = 0);
    // Running and not yet asked to quit.
    bool isRunning() const { return m_running && !m_quit; }
    bool isQuitRequested() const { return m_quit; }
    int exitCode() const { return m_exitCode; }

private:
    bool m_running = false;
    bool m_quit = false;
    int m_exitCode = 0;
};
