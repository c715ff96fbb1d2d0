#pragma once

#include "foundation/NativeWindow.h"
#include "foundation/String.h"

// A named kernel mutex that tells whether another copy of the program holds
// the same name. The handle is an opaque pointer, null while closed.
class NamedMutex {
public:
    enum State : int {
        Created = 0,        // this process made it: no other instance
        AlreadyExisted = 1, // another instance holds it
        None = 2,           // closed, never opened, or the platform refused
    };

    NamedMutex() = default;
    ~NamedMutex();

    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    // Closes any open handle first. An empty name leaves the state at None.
    State open(const String& name);
    void close();

    bool isOpen() const { return m_handle != nullptr; }
    State state() const { return m_state; }
    const String& name() const { return m_name; }

private:
    String m_name;
    void* m_handle = nullptr;
    State m_state = None;
};

// Thin platform wrappers; null stands for failure. alreadyExisted tells
// whether CreateMutexW found a mutex of that name (read at once, before
// any other call can change the thread's last error).
void* createNamedMutex(const String& name, bool& alreadyExisted);
void* openNamedMutex(const String& name);
void closeHandle(void* handle);

// The hidden window through which a second copy of the program asks the
// first one to bring its main window forward (message 0xD000). It is the
// program's first window, made as its start begins: a close from outside
// (WM_CLOSE, as taskkill sends it to every top-level window) leaves it in
// place and is only noted, since until the program's other windows are up
// it is the only one such a close reaches.
class InstanceWindow : public NativeWindow {
public:
    static constexpr unsigned int activateMessage = 0xD000;

    explicit InstanceWindow(const String& className) : NativeWindow(className) {}

    // The window that receives forwarded requests; until one is set,
    // requests are dropped.
    void setMainWindow(void* hwnd) { m_mainWindow = hwnd; }
    void* mainWindow() const { return m_mainWindow; }

    bool handleMessage(NativeMessage& message) override;
    // Whether a close reached the window since the last call, one still
    // waiting for it too: nothing else runs its messages while the start
    // holds the thread.
    bool takeCloseRequest();

private:
    void* m_mainWindow = nullptr;
    bool m_closeRequested = false;
};

// "[" + the product name in upper case + "]": the instance window's class
// name and the single-instance mutex's name.
String instanceName(const String& productName);

// The process's one InstanceWindow, null until created. Creating it again
// replaces the old one.
InstanceWindow* createInstanceWindow(const String& productName);
void destroyInstanceWindow();
InstanceWindow* instanceWindow();

// Finds the hidden instance window of another copy (same class name) and
// sends it the activation request. A copy that is hung, or does not answer
// within the time, is given up. True when the request was delivered.
bool activateOtherInstance(int timeoutMilliseconds = 5000);
