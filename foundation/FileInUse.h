#pragma once

#include "foundation/String.h"

#include <functional>

class ProgressWindow;

// Another program holding one of the program's files for a moment (backup,
// sync and scanning tools, a lock at logon): how the program tells, and how
// it waits before it goes on without the file.

// Whether the existing file is held by another program in a way that keeps
// this one from reading it: open for writing, or without sharing, or with
// a byte-range lock over any part of it.
bool isFileInUse(const String& path);

// How long the program waits for a file another program holds before it
// goes on without it: by default three seconds, the length of a lock at
// logon. Tests shorten it so that they do not sleep the real wait out.
constexpr int defaultHeldFileWaitMs = 3000;
int heldFileWaitMs();
void setHeldFileWaitMs(int milliseconds);

// Waits up to the time for another program to let go of the file (see
// isFileInUse), looking again every tenth of a second and giving progress
// the part of the time waited, 0 to 100; stopped, when given, ends the wait
// early once it answers true. True once the file is free.
bool waitWhileInUse(const String& path, int milliseconds, const std::function<void(int percent)>& progress,
                    const std::function<bool()>& stopped = {});

// Waits heldFileWaitMs, as at start, for another program to let go of the
// file, showing the window with the message unless silent; a close of that
// window ends the wait, and one it had before the wait ends it at once.
// True at once when the file is not held, and once it is free. Without a
// window, one of the UI hooks' is made.
bool waitForHeldFile(const String& path, const String& message, bool silent, ProgressWindow& window);
bool waitForHeldFile(const String& path, const String& message, bool silent);
