#pragma once

#include "foundation/String.h"

#include <memory>

class Bitmap;
class LibraryController;
class LibraryModel;
class Settings;

// The few services of the UI toolkit, the widgets and the application shell
// that the foundation and the tag library need, although those layers are
// built above them. The lower layers call these interfaces; the higher
// layers install their implementations at start-up, and tests install
// recording fakes. Until something is installed, the defaults do nothing
// and answer "none".
//
// An installed implementation is not owned and must outlive its use;
// installing null puts the default back. Install from the UI thread before
// anything calls, and replace only while nothing does.

// The small window that shows the progress of a long load or save.
class ProgressWindow {
public:
    ProgressWindow() = default;
    virtual ~ProgressWindow() = default;
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    virtual void setMessage(const String& text);
    // 0 to 100: the bar and its percent text.
    virtual void setPercent(int percent);
    virtual void show();
    // Whether a close reached the window (Alt+F4, the session's end): a wait
    // it shows then ends. Looks at the window's pending messages.
    virtual bool closeRequested();
};

// Services of the UI toolkit and its widgets.
class UiHooks {
public:
    enum CursorId : int { ArrowCursor = 1, CrossCursor = 2, WaitCursor = 3 };
    // Button codes of a message box.
    enum MessageButtons : int { OkButton = 4, CancelButton = 0x20, RetryButton = 0x10000 };

    UiHooks() = default;
    virtual ~UiHooks() = default;
    UiHooks(const UiHooks&) = delete;
    UiHooks& operator=(const UiHooks&) = delete;

    // Shows the cursor with the id and counts one more nesting level.
    virtual void setOverrideCursor(int cursorId);
    // Shows the cursor of before again, one level less; nothing at level 0.
    virtual void restoreOverrideCursor();

    // A modal message box with the information icon and no parent; the
    // code of the button pressed (0 by default).
    virtual int information(const String& title, const String& text, const String& extraText, int buttons,
                            int flags);

    // A new, hidden progress window without a parent; never null.
    virtual std::unique_ptr<ProgressWindow> createProgressWindow();

    // The shell's icon for the path at 16, 32 or 48 pixels (256 from
    // Windows 6 on), or the shell's thumbnail of the path at the size. True
    // when image was filled; otherwise image is left as it was.
    virtual bool shellFileIcon(const String& path, int size, Bitmap& image);
    virtual bool shellThumbnail(const String& path, int size, Bitmap& image);
};

// Services of the application shell, which owns the settings store, the
// library model and controller and the main window for the whole run.
class ShellHooks {
public:
    // States of the main window's status line.
    enum StatusState : int { StatusReady = 0, StatusPreparing = 3, StatusScanning = 4 };

    ShellHooks() = default;
    virtual ~ShellHooks() = default;
    ShellHooks(const ShellHooks&) = delete;
    ShellHooks& operator=(const ShellHooks&) = delete;

    // The program's settings store. The default is an in-memory store bound
    // to no file (load and save give false), so readers get their defaults.
    virtual Settings& settings();
    // Null until the shell provides them.
    virtual LibraryModel* libraryModel();
    virtual LibraryController* libraryController();

    // The main window's status line: a state of StatusState, and the
    // current status text followed by a percent.
    virtual void setStatus(int state);
    virtual void setStatusProgress(int percent, bool busyIcon);

    // The image name + ".png" in the folder "images" of the data pack
    // "data". True when image was filled; otherwise image is left as it was.
    virtual bool imageByName(const String& name, Bitmap& image);

    // The model's background image path changed: the tag cloud reloads its
    // background from it.
    virtual void reloadTagCloudBackground();
};

UiHooks& uiHooks();
void setUiHooks(UiHooks* hooks);
ShellHooks& shellHooks();
void setShellHooks(ShellHooks* hooks);

// Shows the wait cursor for the guard's lifetime, so every
// setOverrideCursor is paired with one restoreOverrideCursor.
// The restore goes to the hooks that set the cursor.
class ScopedWaitCursor {
public:
    ScopedWaitCursor() : m_hooks(uiHooks()) { m_hooks.setOverrideCursor(UiHooks::WaitCursor); }
    ~ScopedWaitCursor() { m_hooks.restoreOverrideCursor(); }
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

private:
    UiHooks& m_hooks;
};
