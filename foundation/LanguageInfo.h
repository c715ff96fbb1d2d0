#pragma once

#include "foundation/DateTime.h"
#include "foundation/String.h"

// The header of a language file, as listed for the user to choose from.
struct LanguageInfo {
    // The file's full path.
    String path;
    // The file name without its extension, for either form of file.
    String name;
    String englishName;
    String nativeName;
    String author;
    // The date stored in a ".lang" file, in local time; empty for XML.
    DateTime date;
    // The file's last write time in UTC.
    DateTime modified;
};
