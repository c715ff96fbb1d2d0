#include "foundation/System.h"

#include <windows.h>
#include <rpc.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr DWORD nameBuffer = 510;
constexpr DWORD errorTextBuffer = 4096;
constexpr int specialFolderCount = 23;

// The platform folder (CSIDL) behind each SpecialFolder id; -1 for the
// temporary folder, which comes from GetTempPathW.
constexpr int platformFolders[specialFolderCount] = {
    36, 37, 38, 43, 20, 35, 25, 22, 23, 24, 26, 16, 11, 2, 7, 9, -1, 8, 5, 39, 13, 14, 6,
};

template <typename Query>
String nameFrom(Query query)
{
    wchar_t buffer[nameBuffer + 1] = {};
    DWORD size = nameBuffer;
    if (!query(buffer, &size))
        return {};
    return String(buffer);
}

bool readVersionRecord(OSVERSIONINFOEXW& info)
{
    info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != FALSE;
}

int classifyVersion5(const WindowsFacts& facts)
{
    switch (facts.minor) {
    case 0:
        return Windows2000;
    case 1:
        return WindowsXP;
    case 2: {
        // 5.2 is also XP x64 Edition, told apart from the servers only here.
        const bool x64Workstation = facts.productType == VER_NT_WORKSTATION
            && facts.processorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
        const bool serverSuite = (facts.suiteMask & 0xA000) != 0 || facts.serverR2;
        return x64Workstation && !serverSuite ? WindowsXP : WindowsServer2003;
    }
    default:
        return UnknownWindows;
    }
}

int classifyVersion6(const WindowsFacts& facts)
{
    const bool workstation = facts.productType == VER_NT_WORKSTATION;
    switch (facts.minor) {
    case 0:
        return workstation ? WindowsVista : Windows2008;
    case 1:
        return workstation ? Windows7 : Windows2008;
    default:
        return UnknownWindows;
    }
}

String shellFolderPath(int csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list)
        return {};
    wchar_t buffer[MAX_PATH + 1] = {};
    const BOOL ok = SHGetPathFromIDListW(list, buffer);
    CoTaskMemFree(list);
    if (!ok)
        return {};
    String path(buffer);
    // Wine gives some folders (Documents) with a trailing separator; a
    // folder path has none, except a drive root.
    if (path.length() > 3 && path.endsWith(L'\\'))
        path.resize(path.length() - 1);
    return path;
}

String temporaryFolderPath()
{
    wchar_t buffer[MAX_PATH + 2] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH + 1)
        return {};
    return String(buffer, static_cast<int>(length));
}

bool newUuid(UUID& uuid)
{
    const RPC_STATUS status = UuidCreate(&uuid);
    // A UUID unique to this machine only still serves as an identifier.
    return status == RPC_S_OK || status == RPC_S_UUID_LOCAL_ONLY;
}

} // namespace

String computerName()
{
    return nameFrom([](wchar_t* buffer, DWORD* size) { return GetComputerNameW(buffer, size) != FALSE; });
}

String userName()
{
    return nameFrom([](wchar_t* buffer, DWORD* size) { return GetUserNameW(buffer, size) != FALSE; });
}

bool alwaysFalse()
{
    return false;
}

String processorSignature(std::uint32_t revision, std::uint32_t level, std::uint32_t type, std::uint32_t count)
{
    const std::uint32_t product = revision * level * type * count;
    std::uint8_t bytes[4];
    memcpy(bytes, &product, sizeof(bytes));
    return ByteArray(bytes, 4).toHex();
}

String processorSignature()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return processorSignature(info.wProcessorRevision, info.wProcessorLevel, info.dwProcessorType,
                              info.dwNumberOfProcessors);
}

int processorCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return static_cast<int>(info.dwNumberOfProcessors);
}

String processorArchitectureName(int architecture)
{
    switch (architecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
        return L"Intel";
    case PROCESSOR_ARCHITECTURE_IA64:
        return L"IA64";
    case PROCESSOR_ARCHITECTURE_AMD64:
        return L"AMD64";
    default:
        return L"Unknown";
    }
}

String processorArchitectureName()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return processorArchitectureName(info.wProcessorArchitecture);
}

int processorFeatures()
{
    int mask = 0;
    if (IsProcessorFeaturePresent(PF_MMX_INSTRUCTIONS_AVAILABLE))
        mask |= FeatureMmx;
    if (IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE))
        mask |= FeatureSse;
    if (IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE))
        mask |= FeatureSse2;
    if (IsProcessorFeaturePresent(PF_3DNOW_INSTRUCTIONS_AVAILABLE))
        mask |= Feature3DNow;
    return mask;
}

std::uint32_t physicalMemory()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    return static_cast<std::uint32_t>(status.ullTotalPhys >> 20) + 1;
}

ByteArray environmentVariable(const char* name)
{
    if (!name)
        return {};
    // The size query reports a too-small buffer (ERANGE) along with the size,
    // so only the size counts; 0 means the variable is not set.
    size_t size = 0;
    getenv_s(&size, nullptr, 0, name);
    if (size == 0 || size > 0x7FFFFFFF)
        return {};
    std::vector<char> buffer(size);
    size_t got = 0;
    if (getenv_s(&got, buffer.data(), size, name) != 0 || got == 0 || got > size)
        return {};
    return ByteArray(reinterpret_cast<const std::uint8_t*>(buffer.data()), static_cast<int>(got));
}

std::uint32_t idleMilliseconds()
{
    LASTINPUTINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetLastInputInfo(&info))
        return 0;
    return GetTickCount() - info.dwTime;
}

int windowsBitness()
{
#ifdef _WIN64
    // A 64-bit program only runs on 64-bit Windows.
    return 64;
#else
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                              reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                                 : nullptr;
    BOOL wow64 = FALSE;
    if (isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64)
        return 64;
    return 32;
#endif
}

bool is64BitWindows()
{
    return windowsBitness() == 64;
}

bool windowsVersion(int& major, int& minor)
{
    OSVERSIONINFOEXW info;
    if (!readVersionRecord(info))
        return false;
    major = static_cast<int>(info.dwMajorVersion);
    minor = static_cast<int>(info.dwMinorVersion);
    return true;
}

bool servicePackVersion(int& major, int& minor)
{
    OSVERSIONINFOEXW info;
    if (!readVersionRecord(info))
        return false;
    major = info.wServicePackMajor;
    minor = info.wServicePackMinor;
    return true;
}

bool isVersionAtLeast(int major, int minor, int wantedMajor, int wantedMinor)
{
    return major > wantedMajor || (major == wantedMajor && minor >= wantedMinor);
}

bool isWindowsXpOrLater()
{
    int major = 0;
    int minor = 0;
    return windowsVersion(major, minor) && isVersionAtLeast(major, minor, 5, 1);
}

bool isWindowsVistaOrLater()
{
    int major = 0;
    int minor = 0;
    return windowsVersion(major, minor) && major >= 6;
}

bool isWindows7OrLater()
{
    int major = 0;
    int minor = 0;
    return windowsVersion(major, minor) && isVersionAtLeast(major, minor, 6, 1);
}

String windowsEdition()
{
    OSVERSIONINFOEXW info;
    if (!readVersionRecord(info))
        return {};
    return (info.wSuiteMask & VER_SUITE_PERSONAL) ? L"Home Edition" : L"Professional";
}

WindowsFacts currentWindowsFacts()
{
    WindowsFacts facts;
    OSVERSIONINFOEXW info;
    if (!readVersionRecord(info))
        return facts;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    facts.known = true;
    facts.platformId = info.dwPlatformId;
    facts.major = info.dwMajorVersion;
    facts.minor = info.dwMinorVersion;
    facts.productType = info.wProductType;
    facts.suiteMask = info.wSuiteMask;
    facts.processorArchitecture = system.wProcessorArchitecture;
    facts.serverR2 = GetSystemMetrics(SM_SERVERR2) != 0;
    return facts;
}

int windowsKind(const WindowsFacts& facts)
{
    if (!facts.known || facts.platformId != VER_PLATFORM_WIN32_NT)
        return UnknownWindows;
    if (facts.major < 5)
        return WindowsNT;
    if (facts.major == 5)
        return classifyVersion5(facts);
    if (facts.major == 6)
        return classifyVersion6(facts);
    return UnknownWindows;
}

int windowsKind()
{
    return windowsKind(currentWindowsFacts());
}

String windowsVersionName(int kind)
{
    static const wchar_t* const names[] = {
        L"Unknown OS", L"Windows Mobile 5", L"Windows Mobile 6", L"Windows NT", L"Windows 2000",
        L"Windows Server 2003", L"Windows 2008", L"Windows XP", L"Windows Vista", L"Windows 7",
    };
    if (kind < 0 || kind >= static_cast<int>(sizeof(names) / sizeof(names[0])))
        return names[0];
    return names[kind];
}

String windowsVersionName()
{
    return windowsVersionName(windowsKind());
}

String specialFolderPath(int id)
{
    if (id < 0 || id >= specialFolderCount)
        return {};
    if (id == SpecialFolder::Temp)
        return temporaryFolderPath();
    return shellFolderPath(platformFolders[id]);
}

String tempPath()
{
    return specialFolderPath(SpecialFolder::Temp);
}

String applicationDirectoryPath()
{
    return Path::directoryOf(Path::executablePath());
}

String newUuidText()
{
    UUID uuid;
    if (!newUuid(uuid))
        return {};
    RPC_WSTR text = nullptr;
    if (UuidToStringW(&uuid, &text) != RPC_S_OK || !text)
        return {};
    String result(reinterpret_cast<const wchar_t*>(text));
    RpcStringFreeW(&text);
    return result;
}

std::uint32_t randomUuidWord()
{
    UUID uuid;
    if (!newUuid(uuid))
        return 0;
    return uuid.Data1;
}

bool isValidHandle(const void* handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

String systemErrorMessage(int code)
{
    // Read first: anything called below may change it.
    const DWORD lastError = GetLastError();
    DWORD error = 0;
    if (code >= 1)
        error = static_cast<DWORD>(code);
    else if (code == -1)
        error = lastError;
    else
        return {};
    std::vector<wchar_t> buffer(errorTextBuffer);
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer.data(), errorTextBuffer,
                                        nullptr);
    return String(buffer.data(), static_cast<int>(length));
}
