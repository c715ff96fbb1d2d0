#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"

// Asks the shell to open documents and folders and starts programs.

// Opens a path or web address with the "open" verb; does nothing for an
// empty text.
void openPath(const String& path);
// Opens the path with its default verb; true when the shell accepted it.
bool shellExecuteDefault(const String& path);
bool shellExecuteWithParameters(const String& file, const String& parameters);
// Starts the command line (no inherited handles, the caller's environment
// and folder) and lets the new process take the foreground. Optionally waits
// up to 10 seconds for it to become idle, and without limit for its exit.
bool runProcess(const String& commandLine, bool waitUntilIdle, bool waitForExit);
// Opens an Explorer window on the existing folder with the named items
// selected; with no names it just opens the folder. False when the folder
// is missing or any item cannot be found.
bool showItemsInFolder(const String& folder, const StringList& names);
bool showFileInFolder(const String& path);
