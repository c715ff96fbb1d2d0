#include "FileTestSupport.h"

#include "foundation/FileSystem.h"
#include "foundation/ShellShortcut.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

using namespace filetest;

namespace {

// The shortcut functions expect COM to be running on the calling thread.
class ShellShortcut : public ::testing::Test {
protected:
    void SetUp() override { m_initialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override
    {
        if (m_initialised)
            CoUninitialize();
    }

    TempFolder temp;

private:
    bool m_initialised = false;
};

} // namespace

TEST_F(ShellShortcut, RoundTrip)
{
    const String target = temp.file(L"target.txt");
    const String link = temp.file(L"target.lnk");
    ASSERT_TRUE(writeRaw(target, bytesOf("content")));
    ASSERT_TRUE(createShortcut(link, target, String(L"A description")));
    EXPECT_TRUE(fileExists(link));
    EXPECT_TRUE(String::equalsIgnoreCase(shortcutTarget(link), target)) << wide(shortcutTarget(link));
}

TEST_F(ShellShortcut, RoundTripWithoutDescription)
{
    const String target = temp.file(L"plain.bin");
    const String link = temp.file(L"plain.lnk");
    ASSERT_TRUE(writeRaw(target, bytesOf({1, 2})));
    ASSERT_TRUE(createShortcut(link, target, String()));
    EXPECT_TRUE(String::equalsIgnoreCase(shortcutTarget(link), target)) << wide(shortcutTarget(link));
}

TEST_F(ShellShortcut, RefusesToOverwriteAnExistingFile)
{
    const String target = temp.file(L"target.txt");
    const String link = temp.file(L"existing.lnk");
    ASSERT_TRUE(writeRaw(target, bytesOf("content")));
    ASSERT_TRUE(writeRaw(link, bytesOf("keep me")));
    EXPECT_FALSE(createShortcut(link, target, String()));
    EXPECT_EQ(readRaw(link), bytesOf("keep me"));
}

TEST_F(ShellShortcut, RefusesMissingTargetsAndEmptyPaths)
{
    const String target = temp.file(L"target.txt");
    ASSERT_TRUE(writeRaw(target, bytesOf("content")));
    EXPECT_FALSE(createShortcut(temp.file(L"a.lnk"), temp.file(L"missing.txt"), String()));
    EXPECT_FALSE(createShortcut(temp.file(L"b.lnk"), temp.path(), String())) << "a folder is not a target file";
    EXPECT_FALSE(createShortcut(String(), target, String()));
    EXPECT_FALSE(createShortcut(temp.file(L"c.lnk"), String(), String()));
    EXPECT_FALSE(fileExists(temp.file(L"a.lnk")));
    EXPECT_FALSE(fileExists(temp.file(L"b.lnk")));
}

// The save's result used to be ignored, so a shortcut that was never
// written still reported success.
TEST_F(ShellShortcut, ReportsAFailedSave)
{
    const String target = temp.file(L"target.txt");
    ASSERT_TRUE(writeRaw(target, bytesOf("content")));
    const String link = temp.file(L"no such folder\\target.lnk");
    EXPECT_FALSE(createShortcut(link, target, String()));
    EXPECT_FALSE(fileExists(link));
}

TEST_F(ShellShortcut, TargetOfAMissingOrForeignFileIsEmpty)
{
    const String notALink = temp.file(L"fake.lnk");
    ASSERT_TRUE(writeRaw(notALink, bytesOf("this is not a shell link")));
    EXPECT_TRUE(shortcutTarget(notALink).isEmpty());
    EXPECT_TRUE(shortcutTarget(temp.file(L"missing.lnk")).isEmpty());
    EXPECT_TRUE(shortcutTarget(String()).isEmpty());
}

TEST_F(ShellShortcut, FacadeNamesRoundTrip)
{
    const String target = temp.file(L"facade.txt");
    const String link = temp.file(L"facade.lnk");
    ASSERT_TRUE(writeRaw(target, bytesOf("content")));
    ASSERT_TRUE(createShortcutFile(link, target, String(L"Through the facade")));
    EXPECT_FALSE(createShortcutFile(link, target, String())) << "the link exists now";
    EXPECT_TRUE(String::equalsIgnoreCase(shortcutFileTarget(link), target)) << wide(shortcutFileTarget(link));
    EXPECT_TRUE(shortcutFileTarget(temp.file(L"missing.lnk")).isEmpty());
}
