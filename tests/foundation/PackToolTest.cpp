#include "tests/support/TempFolder.h"

#include "foundation/DataPack.h"
#include "foundation/FileSystem.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// The build puts the tools beside the tests' folder.
String toolPath()
{
    wchar_t self[MAX_PATH + 1] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path = path.substr(0, path.rfind(L'\\') + 1);
    return String((path + L"..\\tools\\kestrola-pack.exe").c_str());
}

// Runs the tool with the arguments in the folder and returns its exit
// code, or -1 when it cannot start or does not end within a minute. Its
// output goes to NUL.
int runTool(const std::wstring& arguments, const String& folder)
{
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                             nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nul;
    startup.hStdError = nul;
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + wide(toolPath()) + L"\" " + arguments;
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.c_str(), &startup, &process);
    if (nul != INVALID_HANDLE_VALUE)
        CloseHandle(nul);
    if (!started)
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

std::wstring quoted(const String& path)
{
    return L"\"" + wide(path) + L"\"";
}

using Tree = std::map<std::wstring, Bytes>;

void writeTree(const String& root, const Tree& tree)
{
    for (const auto& [name, content] : tree) {
        const String path = root + name.c_str();
        ASSERT_TRUE(createPath(path.mid(0, path.lastIndexOf(L'\\') + 1))) << name;
        ASSERT_TRUE(writeRaw(path, content)) << name;
    }
}

// Every file under root by its path relative to root, upper-cased so the
// comparison does not depend on how the file system keeps case.
Tree readTree(const String& root)
{
    Tree tree;
    StringList paths;
    listFiles(paths, root, ListFiles | Recurse);
    for (const String& path : paths)
        tree[wide(path.substringFrom(root.length()).toUpper())] = readRaw(path);
    return tree;
}

Tree upperCased(const Tree& tree)
{
    Tree out;
    for (const auto& [name, content] : tree)
        out[wide(String(name.c_str()).toUpper())] = content;
    return out;
}

Tree sampleTree()
{
    Bytes large(200000);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<std::uint8_t>((i * 7919) >> 3);
    return {
        {L"readme.txt", bytesOf("top level")},
        {L"images\\logo.png", bytesOf({0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0})},
        {L"images\\icons\\small icon.png", large},
        {L"xml\\gr\u00f6\u00dfe.xml", bytesOf("<sizes/>")},
        {L"cursors\\a\\b\\c\\deep.bin", bytesOf({0})},
    };
}

} // namespace

TEST(PackTool, PacksAndExtractsAFolderTree)
{
    ASSERT_TRUE(fileExists(toolPath())) << "kestrola-pack.exe must be built into the tools folder";
    TempFolder temp;
    const Tree tree = sampleTree();
    writeTree(temp.file(L"source\\"), tree);

    ASSERT_EQ(runTool(L"pack " + quoted(temp.file(L"source")) + L" " + quoted(temp.file(L"data.pak")), temp.path()),
              0);
    DataPack pack;
    ASSERT_TRUE(pack.openFile(temp.file(L"data.pak")));
    EXPECT_EQ(pack.fileCount(), static_cast<int>(tree.size()));
    EXPECT_NE(pack.findFile(String(L"images/icons"), String(L"small icon.png")), nullptr);
    EXPECT_NE(pack.findFile(String(L"/"), String(L"readme.txt")), nullptr);

    ASSERT_EQ(runTool(L"extract " + quoted(temp.file(L"data.pak")) + L" " + quoted(temp.file(L"copy")), temp.path()),
              0);
    EXPECT_EQ(readTree(temp.file(L"copy\\")), upperCased(tree));
}

TEST(PackTool, TakesPathsRelativeToItsFolder)
{
    TempFolder temp;
    const Tree tree = sampleTree();
    writeTree(temp.file(L"src\\"), tree);
    ASSERT_EQ(runTool(L"pack src out.pak", temp.path()), 0);
    ASSERT_EQ(runTool(L"extract out.pak dst\\inner", temp.path()), 0);
    EXPECT_EQ(readTree(temp.file(L"dst\\inner\\")), upperCased(tree));
}

TEST(PackTool, WrongArgumentsAndFailures)
{
    TempFolder temp;
    EXPECT_EQ(runTool(L"", temp.path()), 2);
    EXPECT_EQ(runTool(L"pack onlyone", temp.path()), 2);
    EXPECT_EQ(runTool(L"squeeze a b", temp.path()), 2);
    EXPECT_EQ(runTool(L"pack missing out.pak", temp.path()), 1);
    EXPECT_FALSE(fileExists(temp.file(L"out.pak")));
    EXPECT_EQ(runTool(L"extract missing.pak out", temp.path()), 1);
}

TEST(PackTool, RefusesToExtractOutsideTheTarget)
{
    TempFolder temp;
    temp.writeFile(L"payload.txt", bytesOf("escaped"));
    DataPack pack;
    ASSERT_NE(pack.addFile(temp.file(L"payload.txt"), String(L"../.."), String(L"escaped.txt")), nullptr);
    ASSERT_TRUE(pack.saveFile(temp.file(L"evil.pak")));
    ASSERT_TRUE(deleteFile(temp.file(L"payload.txt")));

    EXPECT_EQ(runTool(L"extract evil.pak a\\b\\target", temp.path()), 1);
    StringList files;
    ASSERT_TRUE(listFiles(files, temp.path(), ListFiles | Recurse));
    EXPECT_EQ(files.count(), 1) << "only the pack itself";
}
