#pragma once

#include "foundation/String.h"

// Shortcut (".lnk") files through the platform's shell link object. COM must
// already be initialised on the calling thread.

// Creates a new shortcut at linkPath that points to the existing file
// targetPath, with the description when it is not empty. False when either
// path is empty, a file already exists at linkPath, the target is not an
// existing file, or the shortcut cannot be made or saved.
bool createShortcut(const String& linkPath, const String& targetPath, const String& description);
// The target path as stored in the shortcut; empty when the file is missing
// or is not a readable shortcut.
String shortcutTarget(const String& linkPath);

// The system facade's names for the two functions.
inline bool createShortcutFile(const String& linkPath, const String& targetPath, const String& description)
{
    return createShortcut(linkPath, targetPath, description);
}
inline String shortcutFileTarget(const String& linkPath)
{
    return shortcutTarget(linkPath);
}
