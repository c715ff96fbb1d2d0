#include "foundation/UnreadableFile.h"

#include "tests/support/Links.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

TEST(UnreadableFile, MovesAsideToDotBadThenToNumberedNames)
{
    TempFolder folder;
    const String path = folder.file(L"kestrola.config");
    const std::vector<std::wstring> expected = {wide(path) + L".bad", wide(folder.file(L"kestrola.config_0000.bad")),
                                                wide(folder.file(L"kestrola.config_0001.bad"))};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Bytes bytes = bytesOf("copy " + std::to_string(i));
        folder.writeFile(L"kestrola.config", bytes);
        const String kept = moveAsideAsBad(path);
        EXPECT_EQ(wide(kept), expected[i]);
        EXPECT_EQ(readRaw(kept), bytes);
        EXPECT_FALSE(fileExistsRaw(path));
    }
    EXPECT_TRUE(moveAsideAsBad(path).isEmpty());
    EXPECT_TRUE(moveAsideAsBad(L"no folder part").isEmpty());
}

TEST(UnreadableFile, FileHeldByAnotherProgramIsInUseAndStaysInPlace)
{
    TempFolder folder;
    const String path = folder.writeFile(L"kestrola.database", bytesOf("library"));
    EXPECT_FALSE(isFileInUse(path));
    HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(isFileInUse(path));
    EXPECT_TRUE(moveAsideAsBad(path).isEmpty());
    CloseHandle(held);
    EXPECT_EQ(readRaw(path), bytesOf("library"));
    EXPECT_FALSE(fileExistsRaw(path + L".bad"));
    EXPECT_FALSE(isFileInUse(folder.file(L"missing")));
}

// Windows lists a link whose file is on a drive not there as a file: it was
// moved aside as damaged, which parted the library from the file it leads to.
TEST(UnreadableFile, LinkWhoseFileIsAwayStaysInPlace)
{
    TempFolder folder;
    const String synced = folder.makeFolder(L"synced");
    const String away = folder.file(L"away");
    const String link = folder.file(L"kestrola.database");
    if (!makeLink(link, folder.writeFile(L"synced\\kestrola.database", bytesOf("library"))))
        GTEST_SKIP() << "no file link could be made here";
    const LinkRemover remover{link};
    ASSERT_TRUE(MoveFileW(synced.c_str(), away.c_str()));
    EXPECT_TRUE(moveAsideAsBad(link).isEmpty());
    ASSERT_TRUE(MoveFileW(away.c_str(), synced.c_str()));
    EXPECT_EQ(readRaw(link), bytesOf("library"));
    EXPECT_FALSE(fileExistsRaw(link + L".bad"));
}

// A save may write over only the file as this run last saw it, or nothing:
// a file put in its place, even one of the same size and time, differs.
TEST(UnreadableFile, MayWriteOverOnlyTheOwnFileUnchangedOrNothing)
{
    TempFolder folder;
    const String path = folder.file(L"kestrola.database");
    EXPECT_TRUE(mayWriteOver(path, std::nullopt));
    folder.writeFile(L"kestrola.database", bytesOf("mine"));
    const FileIdentity own = FileSystem::identity(path);
    ASSERT_TRUE(own.exists);
    EXPECT_TRUE(mayWriteOver(path, own));
    EXPECT_FALSE(mayWriteOver(path, std::nullopt));

    const String theirs = folder.writeFile(L"theirs", bytesOf("them"));
    HANDLE file = CreateFileW(theirs.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const FILETIME time = {static_cast<DWORD>(own.writeTime), static_cast<DWORD>(own.writeTime >> 32)};
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
    ASSERT_TRUE(MoveFileExW(theirs.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    const FileIdentity now = FileSystem::identity(path);
    ASSERT_EQ(now.size, own.size);
    ASSERT_EQ(now.writeTime, own.writeTime);
    EXPECT_FALSE(mayWriteOver(path, own));
}
