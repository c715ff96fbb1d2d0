#pragma once

#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/String.h"

#include <functional>
#include <optional>

class OutputStream;

// Whether a save may write over one of the program's own files, and the
// writes that look again just before the new file takes its place.

// Whether a save may write over what lies at target: only the file this run
// read or wrote (own), unchanged since, or nothing at all. Unchanged is
// the same file with the same bytes: a rewrite in place that keeps the size
// and time, or a file made anew that gets the old id back, differs by its
// content. A file whose bytes cannot be read now (another program writes
// it or locks a part of it) cannot be told to be unchanged.
bool mayWriteOver(const String& target, const std::optional<FileVersion>& own);

// Whether the file at the path is still exactly what this run wrote there
// (written), read through. One that another program holds so that it
// cannot be read is a held file, not a changed one: it counts while its
// identity (id, size, write time) is still the one written and nothing of
// it moved since (its change time, which a writer that gives the write time
// back cannot restore).
bool keepsVersion(const String& path, const std::optional<FileVersion>& written);

// What stands at the name of a file this run wrote there (written), looked
// at by name: AsWritten while it is still exactly that file, else Gone,
// Folder, InUse, ReadOnly or Changed (a link at the name too, wherever it
// leads).
CopyState copyState(const String& path, const std::optional<FileVersion>& written);

// Writes the file at the path while it is own's (mayWriteOver): over the
// file own names, looked at again once the new file is complete
// (replaceOwnFile), or, where no file is, as a new file in a free name with
// its folder made (writeNewFile), so that it appears only whole and nothing
// that appeared meanwhile is written over. The version written; none, with
// the path as it was, when the write failed or the file was not own's.
std::optional<FileVersion> writeOwnFile(const String& path, const std::optional<FileVersion>& own,
                                        const std::function<bool(OutputStream&)>& write);
