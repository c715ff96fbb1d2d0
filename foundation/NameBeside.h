#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"

// The names the program gives files it keeps beside one of its own: path +
// "." + extension, or, when that is taken, a numbered name (Path::
// numberedName: path + "_0000." + extension, and on).

// The extension of the names a session is kept under beside its file.
inline const wchar_t* const sessionExtension = L"new";

// A name beside the path that no file or folder holds and that is not one
// of passedOver. Empty when the path's folder cannot be reached or every
// name is taken.
String freeNameBeside(const String& path, const String& extension, const StringList& passedOver = StringList());

// Whether the file name (without its folder) is one freeNameBeside gives
// for a file called name with the extension, ignoring case.
bool isNameBeside(const String& candidate, const String& name, const String& extension);
