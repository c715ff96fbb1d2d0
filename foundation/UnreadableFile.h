#pragma once

#include "foundation/String.h"

// What the program does with one of its own files that it could not read:
// keep the user's copy out of the way before anything writes over it.

// Moves the file to path + ".bad", or, when that name is taken, to a
// numbered name beside it (Path::uniqueFileName with the extension "bad").
// The new path; empty when the file could not be moved, which leaves it in
// its place (for example while another program holds it open).
String moveAsideAsBad(const String& path);

// Whether the existing file is held open by another program in a way that
// keeps this one from reading it.
bool isFileInUse(const String& path);
