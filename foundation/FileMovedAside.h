#pragma once

#include "foundation/String.h"

// Moves a file the program could not read out of the way before anything
// could write over it: to path + ".bad", or, when that name is taken, to a
// numbered name beside it (freeNameBeside with the extension "bad").
// The new path; empty when the file could not be moved, which leaves it in
// its place (for example while another program holds it open, or when it is
// a link whose file cannot be reached).
String moveAsideAsBad(const String& path);
