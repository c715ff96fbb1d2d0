#pragma once

#include "foundation/String.h"

// Text functions over full Windows paths with '\' as the separator. Only
// normalized() also reads '/' as a separator. Functions that test the disk
// say so.

// The platform's path limit, in characters.
constexpr int maxPathLength = 260;
// How many numbered candidate names Path::uniqueFileName and the names
// beside the program's own files try: "_0000" to "_9999".
constexpr int numberedNameLimit = 10000;

namespace Path {

enum ExtensionCase : int { AsWritten = 0, LowerCase = 1, UpperCase = 2 };

wchar_t separator();
// Non-empty and shorter than maxPathLength.
bool hasValidLength(const String& path);

// Text after the last '\' (the whole path without one); empty when the path
// ends in '\'.
String fileName(const String& path);
// The file name cut before its last '.'. A name without a '.', or ending in
// one, stays whole; ".profile" gives the empty text.
String baseName(const String& path);
// Text after the last '.' of the last component; empty when that '.' ends the
// path or the extension is longer than 255 characters.
String extension(const String& path, int option = AsWritten);
bool hasExtension(const String& path);
// The directory part. A last component without a '.' names a directory
// unless it is an existing file (tests the disk).
String directoryOf(const String& path);
// The last component of directoryOf (tests the disk).
String folderName(const String& path);
// The letter of "X:\", as written; empty when absent.
String driveLetter(const String& path);
// A letter, ':' and '\' at the end: "C:\" (also "ab:\"), not "C:" or "C:\x".
bool isDriveRoot(const String& path);
// Trimmed, '/' read as '\', runs of separators collapsed and a '\' after
// each ':'. A share keeps its leading "\\" ("\\?\UNC\server" becomes
// "\\server"); "\\?\" before a drive is dropped. Empty when the result
// would be longer than maxPathLength characters.
String normalized(const String& path);
bool isNormalized(const String& path);
// The length of the path's root with its final '\': "c:\", "\\server\share\",
// "\\?\c:\" or "\\?\UNC\server\share\"; 0 when the path starts with none.
int rootLength(const String& path);
// The longest leading part of the path, ending in '\', that is an existing
// directory; empty when none (tests the disk).
String nearestExistingDirectory(const String& path);
// The path with one '\' at its end.
String withTrailingSeparator(const String& path);
// name + "_" + the number in four digits + "." + extension: "shot_0042.png".
// name may hold a folder part.
String numberedName(const String& name, int number, const String& extension);
// Whether the candidate is a numberedName of name and extension (any number
// from 0 to numberedNameLimit - 1), ignoring case.
bool isNumberedName(const String& candidate, const String& name, const String& extension);
// The first free name "name_0000.ext" ... "name_9999.ext" in the folder,
// without the folder; the last one when all are taken (tests the disk).
String uniqueFileName(const String& name, const String& extension, const String& folder);
// The running program's own path.
String executablePath();
// The long form of a path holding '~'; empty otherwise or on failure.
String longPathName(const String& path);
String shortPathName(const String& path);

} // namespace Path

// Non-empty and free of \ / : * ? " < > |.
bool isValidFileName(const String& name);
// Replaces every character that is not a letter, digit or one of
// "$%-_@~!(){}^#&+=[].,;№" by '_', also a leading or trailing '.', and
// hides reserved device names ("con", "com1.txt") behind underscores.
String makeValidFileName(const String& name);
// Whether Windows opens a device instead of a file for this name: "aux",
// "con", "prn", "nul", "com1"-"com9", "lpt1"-"lpt9", "conin$" or "conout$",
// ignoring case, alone or followed by blanks or an extension ("COM1.txt").
bool isReservedDeviceName(const String& name);

// A path taken apart into directory, base name and extension.
class PathParts {
public:
    PathParts() = default;
    PathParts(const String& directory, const String& baseName, const String& extension);
    explicit PathParts(const String& path);
    explicit PathParts(const wchar_t* path);
    PathParts& operator=(const String& path);

    // Leaves all three parts untouched for an empty path.
    void split(const String& path);

    const String& directory() const { return m_directory; }
    const String& baseName() const { return m_baseName; }
    const String& extension() const { return m_extension; }
    void setDirectory(const String& directory) { m_directory = directory; }
    void setBaseName(const String& baseName) { m_baseName = baseName; }
    void setExtension(const String& extension) { m_extension = extension; }
    void clearBaseName() { m_baseName.clear(); }
    void clearExtension() { m_extension.clear(); }

private:
    String m_directory;
    String m_baseName;
    String m_extension;
};
