#include "foundation/UnreadableFile.h"

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
