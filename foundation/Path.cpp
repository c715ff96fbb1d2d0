#include "foundation/Path.h"

#include "foundation/CharHelpers.h"
#include "foundation/FileSystem.h"

#include <windows.h>

#include <vector>

namespace {

constexpr int maxExtensionLength = 255;

String textBefore(const String& text, int index)
{
    return index > 0 ? text.mid(0, index) : String();
}

bool hasDriveColon(const String& path, int colon)
{
    return colon >= 1 && isAsciiLetter(path[colon - 1]);
}

// Runs the platform call into a maxPathLength buffer; empty when it fails or
// the result does not fit.
template <typename Call>
String boundedPlatformPath(Call call)
{
    wchar_t buffer[maxPathLength + 1] = {};
    const DWORD n = call(buffer, static_cast<DWORD>(maxPathLength + 1));
    if (n == 0 || n > maxPathLength)
        return {};
    return String(buffer, static_cast<int>(n));
}

} // namespace

wchar_t Path::separator()
{
    return L'\\';
}

bool Path::hasValidLength(const String& path)
{
    return !path.isEmpty() && path.length() < maxPathLength;
}

String Path::fileName(const String& path)
{
    const int p = path.lastIndexOf(L'\\');
    if (p < 0)
        return path;
    return path.mid(p + 1);
}

String Path::baseName(const String& path)
{
    const String name = fileName(path);
    const int dot = name.lastIndexOf(L'.');
    if (dot < 0 || dot == name.length() - 1)
        return name;
    return textBefore(name, dot);
}

String Path::extension(const String& path, int option)
{
    const int dot = path.lastIndexOf(L'.');
    if (dot < 0 || dot < path.lastIndexOf(L'\\') || dot == path.length() - 1)
        return {};
    const String ext = path.mid(dot + 1);
    if (ext.length() > maxExtensionLength)
        return {};
    if (option == LowerCase)
        return ext.toLower();
    if (option == UpperCase)
        return ext.toUpper();
    return ext;
}

bool Path::hasExtension(const String& path)
{
    return !extension(path).isEmpty();
}

String Path::directoryOf(const String& path)
{
    const int p = path.lastIndexOf(L'\\');
    if (p < 0)
        return {};
    if (p == path.length() - 1)
        return textBefore(path, p);
    if (path.indexOf(L'.', p + 1) >= 0 || fileExists(path))
        return textBefore(path, p);
    return path;
}

String Path::folderName(const String& path)
{
    const String directory = directoryOf(path);
    if (directory.isEmpty())
        return {};
    const int q = directory.lastIndexOf(L'\\');
    if (q >= 0 && q != directory.length() - 1)
        return directory.mid(q + 1);
    return directory;
}

String Path::driveLetter(const String& path)
{
    const int colon = path.lastIndexOf(L':');
    if (colon <= 0 || colon >= path.length() - 1)
        return {};
    if (!hasDriveColon(path, colon) || path[colon + 1] != L'\\')
        return {};
    return String(path[colon - 1], 1);
}

bool Path::isDriveRoot(const String& path)
{
    const int length = path.length();
    if (length < 3 || path.last() != L'\\')
        return false;
    const int colon = path.lastIndexOf(L':');
    return colon == length - 2 && hasDriveColon(path, colon);
}

namespace {

constexpr const wchar_t* longPrefix = L"\\\\?\\";
constexpr int longPrefixLength = 4;
constexpr const wchar_t* longUncPrefix = L"\\\\?\\UNC\\";
constexpr int longUncPrefixLength = 8;

bool isSeparator(wchar_t c)
{
    return c == L'/' || c == L'\\';
}

// Where the text after the prefix begins, and whether the path names a
// share ("\\server\share", also in its "\\?\UNC\" form), whose leading
// "\\" must survive the collapsing of separators.
struct PathStart {
    int index = 0;
    bool share = false;
};

PathStart pathStart(const String& text)
{
    if (text.startsWith(String(longUncPrefix), false))
        return {longUncPrefixLength, true};
    if (text.startsWith(String(longPrefix)))
        return {longPrefixLength, false};
    if (text.length() >= 2 && isSeparator(text[0]) && isSeparator(text[1]))
        return {2, true};
    return {};
}

// The length of "server\share\" from start, or 0 when either name is
// missing or no '\' ends the share.
int shareRootLength(const String& path, int start)
{
    const int serverEnd = path.indexOf(L'\\', start);
    if (serverEnd <= start)
        return 0;
    const int shareEnd = path.indexOf(L'\\', serverEnd + 1);
    return shareEnd > serverEnd + 1 ? shareEnd + 1 - start : 0;
}

int driveRootLength(const String& path, int start)
{
    const bool root = path.length() >= start + 3 && isAsciiLetter(path[start]) && path[start + 1] == L':' &&
                      path[start + 2] == L'\\';
    return root ? 3 : 0;
}

} // namespace

String Path::normalized(const String& path)
{
    const String text = path.trimmed();
    if (text.isEmpty())
        return {};
    const PathStart start = pathStart(text);
    String out;
    out.reserve(text.length() - start.index + 2);
    if (start.share)
        out.append(String(L"\\\\"));
    for (int i = start.index; i < text.length(); ++i) {
        const wchar_t c = text[i];
        if (isSeparator(c)) {
            if (out.isEmpty() || out.last() != L'\\')
                out.append(L'\\');
        } else if (c == L':') {
            out.append(L':');
            out.append(L'\\');
        } else {
            out.append(c);
        }
        if (out.length() > maxPathLength)
            return {};
    }
    return out;
}

int Path::rootLength(const String& path)
{
    if (path.startsWith(String(longUncPrefix), false)) {
        const int share = shareRootLength(path, longUncPrefixLength);
        return share > 0 ? longUncPrefixLength + share : 0;
    }
    if (path.startsWith(String(longPrefix))) {
        const int drive = driveRootLength(path, longPrefixLength);
        return drive > 0 ? longPrefixLength + drive : 0;
    }
    if (path.startsWith(String(L"\\\\"))) {
        const int share = shareRootLength(path, 2);
        return share > 0 ? 2 + share : 0;
    }
    return driveRootLength(path, 0);
}

bool Path::isNormalized(const String& path)
{
    return path == normalized(path);
}

String Path::withTrailingSeparator(const String& path)
{
    return path.endsWith(L'\\') ? path : path + L'\\';
}

String Path::nearestExistingDirectory(const String& path)
{
    if (path.isEmpty())
        return {};
    const String work = withTrailingSeparator(path);
    for (int p = work.length() - 1; p > 0; --p) {
        if (work[p] != L'\\')
            continue;
        const String candidate = work.mid(0, p + 1);
        if (directoryExists(candidate))
            return candidate;
    }
    return {};
}

String Path::numberedName(const String& name, int number, const String& extension)
{
    return name + String::format(L"_%04d.", number) + extension;
}

bool Path::isNumberedName(const String& candidate, const String& name, const String& extension)
{
    const String sample = numberedName(name, 0, extension);
    if (candidate.length() != sample.length() || !candidate.startsWith(name + L'_', false) ||
        !candidate.endsWith(L"." + extension, false))
        return false;
    // numberedName writes ASCII digits; the platform's digit test takes
    // those of every script.
    for (int i = name.length() + 1; i < name.length() + 5; ++i) {
        if (candidate[i] < L'0' || candidate[i] > L'9')
            return false;
    }
    return true;
}

String Path::uniqueFileName(const String& name, const String& extension, const String& folder)
{
    if (name.isEmpty() || extension.isEmpty() || folder.isEmpty() || !directoryExists(folder))
        return {};
    const String base = withTrailingSeparator(folder);
    String candidate;
    for (int i = 0; i < numberedNameLimit; ++i) {
        candidate = numberedName(name, i, extension);
        if (!fileExists(base + candidate))
            break;
    }
    return candidate;
}

String Path::executablePath()
{
    // Larger than the path limit, so that a long install path still works.
    std::vector<wchar_t> buffer(32768);
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n >= buffer.size())
        return {};
    return String(buffer.data(), static_cast<int>(n));
}

String Path::longPathName(const String& path)
{
    if (!path.contains(L'~'))
        return {};
    return boundedPlatformPath([&](wchar_t* buffer, DWORD size) { return GetLongPathNameW(path.c_str(), buffer, size); });
}

String Path::shortPathName(const String& path)
{
    if (path.isEmpty())
        return {};
    return boundedPlatformPath([&](wchar_t* buffer, DWORD size) { return GetShortPathNameW(path.c_str(), buffer, size); });
}

bool isValidFileName(const String& name)
{
    if (name.isEmpty())
        return false;
    for (const wchar_t c : {L'\\', L'/', L':', L'*', L'?', L'"', L'<', L'>', L'|'}) {
        if (name.contains(c))
            return false;
    }
    return true;
}

namespace {

bool isFileNameChar(wchar_t c)
{
    static const wchar_t allowed[] = L"$%-_@~!(){}^#&+=[].,;\u2116";
    return isAlnumChar(c) || wcsIndexOf(allowed, c) >= 0;
}

// Length of the reserved device name the text starts with, or 0.
int reservedDevicePrefix(const String& name)
{
    for (const wchar_t* device : {L"aux", L"con", L"prn", L"nul"}) {
        if (name.startsWith(String(device), false))
            return 3;
    }
    for (const wchar_t* stem : {L"lpt", L"com"}) {
        for (wchar_t digit = L'1'; digit <= L'9'; ++digit) {
            if (name.startsWith(String(stem) + digit, false))
                return 4;
        }
    }
    return 0;
}

} // namespace

String makeValidFileName(const String& name)
{
    if (name.isEmpty())
        return {};
    String out;
    out.reserve(name.length());
    for (int i = 0; i < name.length(); ++i)
        out.append(isFileNameChar(name[i]) ? name[i] : L'_');
    if (out.first() == L'.')
        out.replace(0, 1, String(L"_"));
    if (out.last() == L'.')
        out.replace(out.length() - 1, 1, String(L"_"));
    const int n = reservedDevicePrefix(out);
    if (n == 0)
        return out;
    if (out.length() == n || out[n] == L'.')
        out.replace(0, n, String(L'_', n));
    return out;
}

bool isReservedDeviceName(const String& name)
{
    int stem = reservedDevicePrefix(name);
    for (const wchar_t* console : {L"conin$", L"conout$"}) {
        if (name.startsWith(String(console), false))
            stem = wcsLength(console);
    }
    if (stem == 0)
        return false;
    int i = stem;
    while (i < name.length() && name[i] == L' ')
        ++i;
    return i == name.length() || name[i] == L'.';
}

PathParts::PathParts(const String& directory, const String& baseName, const String& extension)
    : m_directory(directory), m_baseName(baseName), m_extension(extension)
{
}

PathParts::PathParts(const String& path)
{
    split(path);
}

PathParts::PathParts(const wchar_t* path)
{
    split(String(path));
}

PathParts& PathParts::operator=(const String& path)
{
    split(path);
    return *this;
}

void PathParts::split(const String& path)
{
    if (path.isEmpty())
        return;
    m_directory = Path::directoryOf(path);
    m_baseName = Path::baseName(path);
    m_extension = Path::extension(path);
}
