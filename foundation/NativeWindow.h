#pragma once

#include "foundation/String.h"

#include <cstdint>

// One platform message as a NativeWindow's handler sees it. The handler may
// set result; it is returned to the platform when the handler reports the
// message as handled.
struct NativeMessage {
    void* hwnd = nullptr;
    unsigned int message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    std::intptr_t result = 0;
};

// Base of the program's hidden service windows. It registers a window class
// of the given name, creates one window of it that is never shown, and routes
// the window's messages to handleMessage of the owning object.
class NativeWindow {
public:
    // Without a parent the window is a hidden top-level popup far off screen
    // (so other processes can find it); with messageOnlyParent() it is a
    // message-only window, which no enumeration sees.
    NativeWindow(const String& className, void* parent = nullptr);
    virtual ~NativeWindow();

    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    // True when the message was handled; message.result then goes back to
    // the platform. Unhandled messages get the default processing.
    virtual bool handleMessage(NativeMessage& message) = 0;

    void show(bool visible);
    void setGeometry(int x, int y, int width, int height);
    void update();

    const String& className() const { return m_className; }
    // Null when the window could not be created.
    void* handle() const { return m_hwnd; }

    // The parent handle that makes a message-only window.
    static void* messageOnlyParent();

private:
    String m_className;
    void* m_hwnd = nullptr;
};
