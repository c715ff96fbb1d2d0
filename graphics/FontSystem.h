#pragma once

#include "foundation/Array.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

// The system's fonts: the installed families and the smooth-text switch
// that decides the quality of every font created afterwards.

// On by default: fonts are created with ClearType natural quality.
bool isSmoothTextEnabled();
void setSmoothTextEnabled(bool enabled);

// A family of exactly that name (case-sensitive) is installed.
bool isFontInstalled(const String& face);
// The installed family names, each once, sorted ignoring case; built on the
// first call and kept, so families installed later do not appear.
const StringList& fontFamilies();
// Empties out, then appends each size in points that the system enumerates
// for the face (matched ignoring case), each once.
void fontSizes(Array<int>& out, const String& face);

// Copies a face name into a LOGFONTW face field: at most 31 units, then
// the terminator, so an over-long name is cut rather than overrun.
void copyFaceName(wchar_t (&field)[32], const String& face);
