#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"

// The sessions kept beside the file at the path (names with the session
// extension, see NameBeside.h) that were written later than that file (any,
// when there is none or it is empty, which no save leaves), in name order.
// An empty one holds no session, as an empty file in the place holds no
// library. Saves through a link write beside the file it leads to, so that
// is where they are looked for.
StringList newerFilesBeside(const String& path);
