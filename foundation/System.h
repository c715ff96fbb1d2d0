#pragma once

#include "foundation/ByteArray.h"
#include "foundation/Path.h"
#include "foundation/String.h"

#include <cstdint>

// Facts about the machine, the user and the operating system, asked of the
// platform at each call. Failures give empty texts and zeros; nothing here
// shows a message. (maxPathLength, the platform's path limit, lives in
// Path.h.)

// The program's own numbering of special folders (stored in settings, so
// the numbers never change).
namespace SpecialFolder {
enum : int {
    Windows = 0,
    System = 1,
    ProgramFiles = 2,
    CommonFiles = 3,
    Fonts = 4,
    CommonAppData = 5,
    CommonDesktop = 6,
    CommonStartMenu = 7,
    CommonPrograms = 8,
    CommonStartup = 9,
    AppData = 10,
    Desktop = 11,
    StartMenu = 12,
    Programs = 13,
    Startup = 14,
    SendTo = 15,
    Temp = 16,
    Recent = 17,
    Documents = 18,
    Pictures = 19,
    Music = 20,
    Videos = 21,
    Favorites = 22,
};
} // namespace SpecialFolder

// Bits of processorFeatures().
enum ProcessorFeature : int { FeatureMmx = 1, FeatureSse = 2, FeatureSse2 = 4, Feature3DNow = 8 };

// Operating-system kinds of windowsKind(); 1 and 2 are never produced here.
enum WindowsKind : int {
    UnknownWindows = 0,
    WindowsMobile5 = 1,
    WindowsMobile6 = 2,
    WindowsNT = 3,
    Windows2000 = 4,
    WindowsServer2003 = 5,
    Windows2008 = 6,
    WindowsXP = 7,
    WindowsVista = 8,
    Windows7 = 9,
};

// What windowsKind() reads from the platform, so that the classification
// can be checked without the platform.
struct WindowsFacts {
    bool known = false; // false when the version query failed
    unsigned platformId = 0; // 2 = NT
    unsigned major = 0;
    unsigned minor = 0;
    int productType = 0; // 1 = workstation
    unsigned suiteMask = 0;
    int processorArchitecture = 0; // 9 = AMD64
    bool serverR2 = false; // GetSystemMetrics(89)
};

// Machine and user.
String computerName();
String userName();
bool alwaysFalse();
// Eight lower-case hex digits: the bytes, in memory order, of revision x
// level x type x count of the processors (32-bit, wrapping).
String processorSignature();
String processorSignature(std::uint32_t revision, std::uint32_t level, std::uint32_t type, std::uint32_t count);
int processorCount();
// "Intel", "IA64", "AMD64" or "Unknown".
String processorArchitectureName();
String processorArchitectureName(int architecture);
// ProcessorFeature bits.
int processorFeatures();
// Total physical memory in MiB, plus 1; 0 when the query fails.
std::uint32_t physicalMemory();
// The C runtime's value of the variable with its terminating zero byte;
// empty when the variable is not set.
ByteArray environmentVariable(const char* name);
// Time since the user's last input; 0 when it cannot be read.
std::uint32_t idleMilliseconds();

// The operating system.
int windowsBitness();
bool is64BitWindows();
// Leave major and minor untouched when the query fails.
bool windowsVersion(int& major, int& minor);
bool servicePackVersion(int& major, int& minor);
// (major, minor) is the version (wantedMajor, wantedMinor) or a later one.
bool isVersionAtLeast(int major, int minor, int wantedMajor, int wantedMinor);
bool isWindowsXpOrLater();
bool isWindowsVistaOrLater();
bool isWindows7OrLater();
// "Home Edition" or "Professional"; empty when the query fails.
String windowsEdition();
WindowsFacts currentWindowsFacts();
int windowsKind(const WindowsFacts& facts);
int windowsKind();
// The name of a WindowsKind; "Unknown OS" for 0 and any other value.
String windowsVersionName(int kind);
String windowsVersionName();

// Folders.
// A SpecialFolder id's path; Temp keeps its trailing separator. Empty for an
// unknown id or when the shell does not know the folder.
String specialFolderPath(int id);
String tempPath();
// The program's folder.
String applicationDirectoryPath();
inline String longPathName(const String& path) { return Path::longPathName(path); }
inline String shortPathName(const String& path) { return Path::shortPathName(path); }

// Identifiers and small helpers.
// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx"; empty on failure.
String newUuidText();
// The first 32 bits of a new UUID.
std::uint32_t randomUuidWord();
// Neither null nor INVALID_HANDLE_VALUE.
bool isValidHandle(const void* handle);
inline int minInt(int a, int b) { return a < b ? a : b; }
inline int maxInt(int a, int b) { return a > b ? a : b; }

// The system's text for an error code (>= 1), or for the calling thread's
// last error (-1); empty otherwise and when the system has no text.
String systemErrorMessage(int code);
