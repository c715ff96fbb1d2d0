#pragma once

#include "foundation/FileSystem.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <functional>
#include <optional>

class OutputStream;

// What the program does with one of its own files that it could not read,
// or may not write over: keep the user's copy out of the way before
// anything writes over it, and keep its own beside it.

// A name beside the path that no file or folder holds and that is not one
// of passedOver: path + "." + extension, or, when that is taken, a numbered
// name (path + "_0000." + extension, and on). Empty when the folder cannot
// be reached or every name is taken.
String freeNameBeside(const String& path, const String& extension, const StringList& passedOver = StringList());

// Where saveBeside put what it saved, and each name it tried in vain.
struct BesideSave {
    // Empty when no name took the save.
    String path;
    StringList failed;
};

// Saves through save beside target: to kept, the name of an earlier save
// beside it, when there is one, else to a free name (freeNameBeside with the
// extension "new"). A name where the save fails (another program holds the
// file there, say) is passed over for the next free one, three names in all.
BesideSave saveBeside(const String& target, const String& kept, const std::function<bool(const String& path)>& save);

// Moves the file to path + ".bad", or, when that name is taken, to a
// numbered name beside it (freeNameBeside with the extension "bad").
// The new path; empty when the file could not be moved, which leaves it in
// its place (for example while another program holds it open, or when it is
// a link whose file cannot be reached).
String moveAsideAsBad(const String& path);

// The files beside the path under the names saveBeside gives (path + ".new"
// or a numbered name) that were written later than the file at the path
// (any, when there is none), in name order.
StringList newerFilesBeside(const String& path);

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
// file, showing a progress window with the message unless silent; a close
// of that window ends the wait. True at once when the file is not held, and
// once it is free.
bool waitForHeldFile(const String& path, const String& message, bool silent);

// Whether a save may write over what lies at target: only the file this run
// read or wrote (own), unchanged since, or nothing at all. Unchanged is
// the same file with the same bytes: a rewrite in place that keeps the size
// and time, or a file made anew that gets the old id back, differs by its
// content. A file whose bytes cannot be read now (another program writes
// it or locks a part of it) cannot be told to be unchanged.
bool mayWriteOver(const String& target, const std::optional<FileVersion>& own);
// Replaces the target with what write puts out (replaceOwnFile) while it is
// own's, looked at with mayWriteOver once the new file is complete; own then
// becomes the version written. False, with the target and own as they were,
// when the write fails or the file is no longer own's.
bool replaceWhileOwn(const String& target, std::optional<FileVersion>& own,
                     const std::function<bool(OutputStream&)>& write);
