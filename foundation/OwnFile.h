#pragma once

#include "foundation/FileSystem.h"
#include "foundation/String.h"

#include <functional>
#include <optional>

class OutputStream;

// Whether a save may write over one of the program's own files, and the
// replace that looks again just before it takes the file's place.

// Whether a save may write over what lies at target: only the file this run
// read or wrote (own), unchanged since, or nothing at all. Unchanged is
// the same file with the same bytes: a rewrite in place that keeps the size
// and time, or a file made anew that gets the old id back, differs by its
// content. A file whose bytes cannot be read now (another program writes
// it or locks a part of it) cannot be told to be unchanged.
bool mayWriteOver(const String& target, const std::optional<FileVersion>& own);

// Whether the target is own's to write: it holds the file own names,
// unchanged, or an empty file could be made where none is seen (with its
// folder), which then stands for own. Making it fails where something
// unseen holds the name, such as a link whose file is on a drive not there
// (Wine lists no such link), which a save must not replace.
bool claimOwnFile(const String& target, std::optional<FileVersion>& own);

// Replaces the target with what write puts out (replaceOwnFile) while it is
// own's, looked at with mayWriteOver once the new file is complete; own then
// becomes the version written. False, with the target and own as they were,
// when the write fails or the file is no longer own's.
bool replaceWhileOwn(const String& target, std::optional<FileVersion>& own,
                     const std::function<bool(OutputStream&)>& write);
