#include "foundation/Directory.h"
#include "foundation/FileSystem.h"
#include "foundation/ShellCommands.h"
#include "foundation/System.h"

#include "tests/support/TempFolder.h"

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cwctype>
#include <vector>

namespace {

WindowsFacts nt(unsigned major, unsigned minor, int productType = 1, int architecture = 0, unsigned suite = 0,
                bool serverR2 = false)
{
    WindowsFacts facts;
    facts.known = true;
    facts.platformId = 2;
    facts.major = major;
    facts.minor = minor;
    facts.productType = productType;
    facts.processorArchitecture = architecture;
    facts.suiteMask = suite;
    facts.serverR2 = serverR2;
    return facts;
}

constexpr int workstation = 1;
constexpr int server = 3;
constexpr int amd64 = 9;
constexpr int x86 = 0;

String exeFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    String text(path);
    return text.mid(0, text.lastIndexOf(L'\\'));
}

} // namespace

TEST(WindowsKindTest, ClassifiesFromTheFactsAlone)
{
    struct Row {
        const char* what;
        WindowsFacts facts;
        int kind;
    };
    WindowsFacts failed = nt(6, 1);
    failed.known = false;
    WindowsFacts win9x = nt(4, 10);
    win9x.platformId = 1;
    const Row rows[] = {
        {"failed query", failed, 0},
        {"not NT", win9x, 0},
        {"NT 4", nt(4, 0), 3},
        {"NT 3.51", nt(3, 51), 3},
        {"2000", nt(5, 0), 4},
        {"XP", nt(5, 1), 7},
        {"XP x64", nt(5, 2, workstation, amd64), 7},
        {"5.2 x86 workstation", nt(5, 2, workstation, x86), 5},
        {"Server 2003", nt(5, 2, server, amd64), 5},
        {"Home Server suite", nt(5, 2, workstation, amd64, 0x8000), 5},
        {"Storage Server suite", nt(5, 2, workstation, amd64, 0x2000), 5},
        {"other suite bits", nt(5, 2, workstation, amd64, 0x0200), 7},
        {"Server 2003 R2", nt(5, 2, workstation, amd64, 0, true), 5},
        {"5.3", nt(5, 3), 0},
        {"Vista", nt(6, 0, workstation), 8},
        {"Server 2008", nt(6, 0, server), 6},
        {"7", nt(6, 1, workstation), 9},
        {"Server 2008 R2", nt(6, 1, server), 6},
        {"domain controller 6.1", nt(6, 1, 2), 6},
        {"8", nt(6, 2, workstation), 0},
        {"10", nt(10, 0, workstation), 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(windowsKind(row.facts), row.kind) << row.what;
}

TEST(WindowsKindTest, Names)
{
    struct Row {
        int kind;
        const wchar_t* name;
    };
    const Row rows[] = {
        {0, L"Unknown OS"},       {1, L"Windows Mobile 5"},     {2, L"Windows Mobile 6"},
        {3, L"Windows NT"},       {4, L"Windows 2000"},         {5, L"Windows Server 2003"},
        {6, L"Windows 2008"},     {7, L"Windows XP"},           {8, L"Windows Vista"},
        {9, L"Windows 7"},        {10, L"Unknown OS"},          {-1, L"Unknown OS"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(windowsVersionName(row.kind), String(row.name)) << row.kind;
    EXPECT_EQ(windowsVersionName(windowsKind(nt(6, 1, server))), String(L"Windows 2008"));
}

TEST(WindowsKindTest, CurrentSystemIsConsistent)
{
    const WindowsFacts facts = currentWindowsFacts();
    ASSERT_TRUE(facts.known);
    EXPECT_EQ(windowsKind(), windowsKind(facts));
    EXPECT_EQ(windowsVersionName(), windowsVersionName(windowsKind(facts)));
    int major = -1;
    int minor = -1;
    ASSERT_TRUE(windowsVersion(major, minor));
    EXPECT_EQ(static_cast<unsigned>(major), facts.major);
    EXPECT_EQ(static_cast<unsigned>(minor), facts.minor);
    EXPECT_EQ(isWindows7OrLater(), isVersionAtLeast(major, minor, 6, 1));
    EXPECT_EQ(isWindowsVistaOrLater(), major >= 6);
    EXPECT_EQ(isWindowsXpOrLater(), isVersionAtLeast(major, minor, 5, 1));
    // The platform's own record is the reference; the numbers come from
    // unsigned words, so only a comparison can fail.
    OSVERSIONINFOEXW platform = {};
    platform.dwOSVersionInfoSize = sizeof platform;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&platform)));
    int spMajor = -1;
    int spMinor = -1;
    EXPECT_TRUE(servicePackVersion(spMajor, spMinor));
    EXPECT_EQ(spMajor, platform.wServicePackMajor);
    EXPECT_EQ(spMinor, platform.wServicePackMinor);
    const String edition = windowsEdition();
    EXPECT_TRUE(edition == L"Home Edition" || edition == L"Professional");
}

TEST(WindowsVersionTest, LaterVersionsCountAsLater)
{
    struct Row {
        int major, minor, wantedMajor, wantedMinor;
        bool atLeast;
    };
    const Row rows[] = {
        // 10.0 has a lower minor than 6.1, and is still later.
        {10, 0, 6, 1, true}, {6, 1, 6, 1, true}, {6, 2, 6, 1, true}, {6, 0, 6, 1, false},
        {5, 2, 6, 1, false}, {5, 1, 5, 1, true}, {5, 0, 5, 1, false}, {6, 0, 5, 1, true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(isVersionAtLeast(row.major, row.minor, row.wantedMajor, row.wantedMinor), row.atLeast)
            << row.major << "." << row.minor << " vs " << row.wantedMajor << "." << row.wantedMinor;
}

TEST(SystemInfo, BitnessOfThis64BitProgram)
{
    EXPECT_EQ(windowsBitness(), 64);
    EXPECT_TRUE(is64BitWindows());
}

TEST(SystemInfo, ProcessorSignatureBytesInMemoryOrder)
{
    struct Row {
        std::uint32_t revision, level, type, count;
        const wchar_t* text;
    };
    const Row rows[] = {
        {1, 2, 3, 4, L"18000000"},
        {0x0102, 1, 1, 1, L"02010000"},
        {0x10000, 0x10000, 1, 1, L"00000000"}, // the product wraps at 32 bits
        {0x0201, 6, 8664, 16, L"00b16e19"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(processorSignature(row.revision, row.level, row.type, row.count), String(row.text)) << row.revision;
    const String current = processorSignature();
    EXPECT_EQ(current.length(), 8);
}

TEST(SystemInfo, ArchitectureNames)
{
    struct Row {
        int architecture;
        const wchar_t* name;
    };
    const Row rows[] = {{0, L"Intel"}, {6, L"IA64"}, {9, L"AMD64"}, {5, L"Unknown"}, {12, L"Unknown"}, {-1, L"Unknown"}};
    for (const Row& row : rows)
        EXPECT_EQ(processorArchitectureName(row.architecture), String(row.name)) << row.architecture;
    EXPECT_EQ(processorArchitectureName(), String(L"AMD64"));
}

TEST(SystemInfo, MachineFacts)
{
    EXPECT_GE(processorCount(), 1);
    EXPECT_GT(physicalMemory(), 1u);
    // Every x86-64 processor has SSE2.
    EXPECT_TRUE(processorFeatures() & FeatureSse2);
    EXPECT_FALSE(computerName().isEmpty());
    EXPECT_FALSE(userName().isEmpty());
    EXPECT_FALSE(alwaysFalse());
}

TEST(SystemInfo, EnvironmentVariableKeepsItsTerminator)
{
    ASSERT_EQ(_putenv("KESTROLA_SYSTEM_TEST=abc"), 0);
    const ByteArray value = environmentVariable("KESTROLA_SYSTEM_TEST");
    ASSERT_EQ(value.size(), 4);
    EXPECT_EQ(value[0], 'a');
    EXPECT_EQ(value[2], 'c');
    EXPECT_EQ(value[3], 0);
    ASSERT_EQ(_putenv("KESTROLA_SYSTEM_TEST="), 0);
    EXPECT_TRUE(environmentVariable("KESTROLA_SYSTEM_TEST").isEmpty());
    EXPECT_TRUE(environmentVariable(nullptr).isEmpty());
}

TEST(SpecialFolders, IdsOutsideTheTableAreEmpty)
{
    for (int id : {-1, 23, 24, 1000, -100})
        EXPECT_TRUE(specialFolderPath(id).isEmpty()) << id;
}

TEST(SpecialFolders, TempKeepsItsSeparator)
{
    const String temp = specialFolderPath(SpecialFolder::Temp);
    ASSERT_FALSE(temp.isEmpty());
    EXPECT_TRUE(temp.endsWith(L'\\'));
    EXPECT_EQ(tempPath(), temp);
    EXPECT_TRUE(directoryExists(temp));
}

TEST(SpecialFolders, IdsMapToTheirShellFolders)
{
    struct Row {
        int id;
        int csidl;
    };
    const Row rows[] = {
        {0, CSIDL_WINDOWS},         {1, CSIDL_SYSTEM},           {2, CSIDL_PROGRAM_FILES},
        {3, CSIDL_PROGRAM_FILES_COMMON}, {4, CSIDL_FONTS},       {5, CSIDL_COMMON_APPDATA},
        {6, CSIDL_COMMON_DESKTOPDIRECTORY}, {7, CSIDL_COMMON_STARTMENU}, {8, CSIDL_COMMON_PROGRAMS},
        {9, CSIDL_COMMON_STARTUP},  {10, CSIDL_APPDATA},         {11, CSIDL_DESKTOPDIRECTORY},
        {12, CSIDL_STARTMENU},      {13, CSIDL_PROGRAMS},        {14, CSIDL_STARTUP},
        {15, CSIDL_SENDTO},         {17, CSIDL_RECENT},          {18, CSIDL_PERSONAL},
        {19, CSIDL_MYPICTURES},     {20, CSIDL_MYMUSIC},         {21, CSIDL_MYVIDEO},
        {22, CSIDL_FAVORITES},
    };
    for (const Row& row : rows) {
        wchar_t expected[MAX_PATH + 1] = {};
        if (FAILED(SHGetFolderPathW(nullptr, row.csidl, nullptr, SHGFP_TYPE_CURRENT, expected)))
            continue;
        EXPECT_EQ(specialFolderPath(row.id), String(expected)) << row.id;
    }
    // The two the program relies on: its settings and its scan rules.
    EXPECT_FALSE(specialFolderPath(SpecialFolder::AppData).isEmpty());
    EXPECT_FALSE(specialFolderPath(SpecialFolder::CommonAppData).isEmpty());
    EXPECT_NE(specialFolderPath(SpecialFolder::AppData), specialFolderPath(SpecialFolder::CommonAppData));
}

namespace {

// The scripts mark the Wine prefixes they make for themselves; a user's own
// prefix (or Windows) keeps its user folders wherever the user put them.
bool inScriptsOwnPrefix()
{
    const ByteArray prefix = environmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        return false;
    const String marker = L"Z:" + String::fromUtf8(reinterpret_cast<const char*>(prefix.data())) +
                          L"/.kestrola-own-prefix";
    return GetFileAttributesW(marker.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Where the folder really is, with links followed.
String finalPath(const String& folder)
{
    HANDLE handle = CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = GetFinalPathNameByHandleW(handle, path, MAX_PATH, FILE_NAME_NORMALIZED);
    CloseHandle(handle);
    return length > 0 && length <= MAX_PATH ? String(path) : String();
}

} // namespace

// Wine links a new prefix's user folders to the Linux home: a test's file on
// its Desktop landed there, and a Desktop scan read the home.
TEST(SpecialFolders, UserFoldersOfTheScriptsOwnPrefixLieInsideIt)
{
    if (!inScriptsOwnPrefix())
        GTEST_SKIP() << "not in a Wine prefix the scripts made for themselves";
    const auto shellFolder = [](int csidl) {
        wchar_t path[MAX_PATH + 1] = {};
        return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? String(path)
                                                                                            : String();
    };
    std::vector<String> folders = {shellFolder(CSIDL_PROFILE) + L"\\Downloads"};
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_MYMUSIC, CSIDL_MYPICTURES, CSIDL_MYVIDEO,
                      CSIDL_TEMPLATES})
        folders.push_back(shellFolder(csidl));
    for (const String& folder : folders)
        EXPECT_EQ(finalPath(folder).toLower(), (L"\\\\?\\" + folder).toLower());
}

TEST(SystemInfo, ApplicationDirectoryIsTheProgramsFolder)
{
    EXPECT_EQ(applicationDirectoryPath(), exeFolder());
}

TEST(SystemInfo, UuidText)
{
    const String a = newUuidText();
    const String b = newUuidText();
    ASSERT_EQ(a.length(), 36);
    EXPECT_NE(a, b);
    for (int i = 0; i < a.length(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23)
            EXPECT_EQ(a.at(i), L'-') << i;
        else
            EXPECT_TRUE(std::iswxdigit(a.at(i))) << i;
    }
    EXPECT_NE(randomUuidWord(), randomUuidWord());
}

TEST(SystemInfo, ValidHandles)
{
    EXPECT_FALSE(isValidHandle(nullptr));
    EXPECT_FALSE(isValidHandle(INVALID_HANDLE_VALUE));
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(isValidHandle(event));
    CloseHandle(event);
}

TEST(SystemInfo, MinAndMax)
{
    EXPECT_EQ(minInt(-3, 2), -3);
    EXPECT_EQ(minInt(2, -3), -3);
    EXPECT_EQ(maxInt(-3, 2), 2);
    EXPECT_EQ(maxInt(2, -3), 2);
}

TEST(SystemErrors, Messages)
{
    EXPECT_TRUE(systemErrorMessage(0).isEmpty());
    EXPECT_TRUE(systemErrorMessage(-2).isEmpty());
    const String notFound = systemErrorMessage(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(notFound.isEmpty());
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(systemErrorMessage(-1), notFound);
    // A code the system has no text for.
    EXPECT_TRUE(systemErrorMessage(0x3FFFFFFF).isEmpty());
}

TEST(SystemPaths, LongAndShortForms)
{
    TempFolder folder;
    const String path = folder.writeFile(L"a rather long file name.text", bytesOf(std::string("x")));
    EXPECT_TRUE(longPathName(path).isEmpty()); // no '~' in it
    const String shortForm = shortPathName(path);
    ASSERT_FALSE(shortForm.isEmpty());
    if (shortForm.contains(L'~')) {
        EXPECT_TRUE(String::equalsIgnoreCase(longPathName(shortForm), path));
    }
    EXPECT_TRUE(shortPathName(folder.file(L"missing.txt")).isEmpty());
}

TEST(DirectoryFacade, CreateMeasureListAndRemove)
{
    TempFolder folder;
    const String nested = folder.path() + L"one\\two";
    ASSERT_TRUE(createDirectory(nested)); // no trailing separator needed
    const Directory directory(nested);
    EXPECT_TRUE(directory.exists());
    EXPECT_FALSE(directory.writeTime().isNull());
    EXPECT_FALSE(directory.creationTime().isNull());

    ASSERT_TRUE(writeRaw(nested + L"\\a.txt", Bytes(10, 'a')));
    ASSERT_TRUE(writeRaw(folder.path() + L"one\\b.dat", Bytes(20, 'b')));
    EXPECT_EQ(directorySize(folder.path() + L"one"), 30u);
    EXPECT_EQ(directorySize(folder.path() + L"one\\"), 30u);

    StringList extensions;
    extensions.append(L"txt");
    EXPECT_EQ(countMatchingFiles(folder.path() + L"one", ListFiles | Recurse, extensions), 1);
    StringList found;
    EXPECT_TRUE(findFiles(found, folder.path() + L"one", ListFiles | Recurse | NamesOnly));
    EXPECT_EQ(setOf(found), (std::set<std::wstring>{L"a.txt", L"b.dat"}));
    EXPECT_TRUE(canWriteTo(nested));

    EXPECT_FALSE(removeDirectory(nested)); // not empty
    ASSERT_TRUE(DeleteFileW((nested + L"\\a.txt").c_str()));
    EXPECT_TRUE(removeDirectory(nested));
    EXPECT_FALSE(Directory(nested).exists());
}

TEST(DirectoryFacade, MissingFoldersAndBadPaths)
{
    TempFolder folder;
    const String missing = folder.path() + L"missing";
    EXPECT_EQ(directorySize(missing), 0u);
    EXPECT_EQ(countMatchingFiles(missing, ListFiles), -1);
    StringList out;
    EXPECT_FALSE(findFiles(out, missing, ListFiles));
    EXPECT_FALSE(Directory(missing).exists());
    EXPECT_TRUE(Directory(missing).writeTime().isNull());
    EXPECT_FALSE(createDirectory(L""));
    EXPECT_FALSE(createDirectory(folder.path() + String(L'x', 260)));
}

TEST(ShellCommandsTest, RunProcessWaitsForExit)
{
    TempFolder folder;
    const String marker = folder.file(L"marker.txt");
    const String command = L"cmd.exe /c echo done> \"" + marker + L"\"";
    ASSERT_TRUE(runProcess(command, false, true));
    EXPECT_TRUE(fileExists(marker));
}

TEST(ShellCommandsTest, RunProcessOfAMissingProgramFails)
{
    TempFolder folder;
    EXPECT_FALSE(runProcess(L"\"" + folder.file(L"no such program.exe") + L"\"", false, true));
    EXPECT_FALSE(runProcess(L"", false, false));
}

TEST(ShellCommandsTest, ShowingItemsOfAMissingFolderFails)
{
    TempFolder folder;
    StringList names;
    names.append(L"file.txt");
    EXPECT_FALSE(showItemsInFolder(folder.path() + L"missing", names));
    EXPECT_FALSE(showItemsInFolder(folder.path() + L"missing", StringList()));
    EXPECT_FALSE(showFileInFolder(folder.path() + L"missing\\file.txt"));
}

TEST(ShellCommandsTest, ShellExecuteOfAMissingFileFails)
{
    TempFolder folder;
    EXPECT_FALSE(shellExecuteDefault(folder.file(L"missing.kestrola-none")));
    EXPECT_FALSE(shellExecuteWithParameters(folder.file(L"missing.exe"), L"-x"));
}
