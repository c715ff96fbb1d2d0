#include "foundation/Drives.h"

#include "tests/support/StringPrinting.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

// The drive the system lives on; every test machine has it.
String systemDriveRoot()
{
    wchar_t folder[MAX_PATH + 1] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return String(folder, 3);
}

// A letter with no drive behind it, or an empty text when all are taken.
String unusedLetter()
{
    const StringList roots = Drive::logicalDrives();
    for (wchar_t c = L'Z'; c >= L'D'; --c) {
        const String root = String(&c, 1) + L":\\";
        if (roots.indexOf(root) < 0)
            return String(&c, 1);
    }
    return {};
}

} // namespace

TEST(DriveConstruction, LetterOrRootOnly)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* letter;
        const wchar_t* root;
    };
    const Row rows[] = {
        {L"c", L"c", L"C:\\"},   {L"D", L"D", L"D:\\"},   {L"c:\\", L"c", L"C:\\"},
        {L"c:", L"", L""},       {L"", L"", L""},         {L"c:\\x", L"", L""},
    };
    for (const Row& row : rows) {
        const Drive drive{String(row.text)};
        EXPECT_EQ(drive.letter(), String(row.letter)) << row.text;
        EXPECT_EQ(drive.root(), String(row.root)) << row.text;
    }
}

TEST(DriveConstruction, TwoCharacterTextIsAbsent)
{
    const Drive drive{String(L"c:")};
    EXPECT_FALSE(drive.exists());
    EXPECT_FALSE(drive.isReady());
    EXPECT_EQ(drive.type(), 0);
}

TEST(DriveLetter, Table)
{
    struct Row {
        const wchar_t* path;
        const wchar_t* letter;
    };
    const Row rows[] = {
        {L"C:\\", L"C"},      {L"c:\\folder\\file.txt", L"c"}, {L"C:", L""},  {L":\\x", L""},
        {L"C:x", L""},        {L"1:\\", L""},                  {L"", L""},    {L"ab:\\", L"b"},
        {L"\\\\server\\share", L""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(driveLetter(row.path), String(row.letter)) << row.path;
}

TEST(DriveList, RootsAreExactAndLettersMatch)
{
    const StringList roots = Drive::logicalDrives();
    const StringList letters = Drive::driveLetters();
    ASSERT_FALSE(roots.isEmpty());
    ASSERT_EQ(letters.count(), roots.count());
    auto letter = letters.begin();
    for (const String& root : roots) {
        EXPECT_EQ(root.length(), 3);
        EXPECT_TRUE(Drive::isLogicalDrive(root));
        EXPECT_EQ(*letter, root.mid(0, 1));
        ++letter;
    }
    EXPECT_GE(roots.indexOf(systemDriveRoot()), 0);
}

TEST(DriveList, IsLogicalDriveWantsTheExactRoot)
{
    const String root = systemDriveRoot();
    EXPECT_TRUE(Drive::isLogicalDrive(root));
    EXPECT_FALSE(Drive::isLogicalDrive(root.toLower()));
    EXPECT_FALSE(Drive::isLogicalDrive(root.mid(0, 2)));
    EXPECT_FALSE(Drive::isLogicalDrive(L""));
}

TEST(DriveQueries, SystemDriveIsPresentAndReady)
{
    const Drive drive{systemDriveRoot()};
    EXPECT_TRUE(drive.exists());
    EXPECT_TRUE(drive.isReady());
    EXPECT_EQ(drive.type(), 3); // fixed
    EXPECT_GT(drive.freeSpace(), 0u);
    EXPECT_FALSE(drive.fileSystemName().isEmpty());
    EXPECT_EQ(drive.serialNumberText(), String::number(static_cast<unsigned int>(drive.serialNumber())));
    EXPECT_FALSE(drive.isUsb());
}

TEST(DriveQueries, AbsentDriveAnswersEmpty)
{
    const String letter = unusedLetter();
    if (letter.isEmpty())
        GTEST_SKIP() << "every drive letter is in use";
    const Drive drive{letter};
    EXPECT_FALSE(drive.exists());
    EXPECT_FALSE(drive.isReady());
    EXPECT_TRUE(drive.volumeLabel().isEmpty());
    EXPECT_TRUE(drive.fileSystemName().isEmpty());
    EXPECT_EQ(drive.serialNumber(), 0u);
    EXPECT_EQ(drive.serialNumberText(), String(L"0"));
    EXPECT_EQ(drive.type(), 0);
    EXPECT_EQ(drive.freeSpace(), 0u);
    EXPECT_FALSE(drive.isUsb());
}

TEST(DriveQueries, UsbTestRejectsNonDrives)
{
    EXPECT_FALSE(Drive::isUsbDrive(L""));
    EXPECT_FALSE(Drive::isUsbDrive(L"1:\\"));
    EXPECT_FALSE(Drive::isUsbDrive(L"\\\\server\\share"));
    EXPECT_FALSE(Drive::isUsbDrive(systemDriveRoot()));
}

TEST(DriveQueries, ErrorModeIsRestored)
{
    const UINT before = SetErrorMode(0);
    SetErrorMode(before);
    const String letter = unusedLetter();
    Drive(systemDriveRoot()).volumeLabel();
    Drive(letter.isEmpty() ? String(L"c") : letter).isReady();
    const UINT after = SetErrorMode(0);
    SetErrorMode(after);
    EXPECT_EQ(after, before);
}
