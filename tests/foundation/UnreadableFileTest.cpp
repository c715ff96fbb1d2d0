#include "foundation/FileInUse.h"
#include "foundation/FileMovedAside.h"
#include "foundation/FileStream.h"
#include "foundation/NameBeside.h"
#include "foundation/NewerFilesBeside.h"
#include "foundation/OwnFile.h"

#include "tests/support/HeldFile.h"
#include "tests/support/Links.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

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
    // A folder that cannot be reached offers no name to write to.
    EXPECT_TRUE(freeNameBeside(folder.file(L"away\\kestrola.config"), String(L"new")).isEmpty());
    EXPECT_TRUE(freeNameBeside(L"no folder part", String(L"new")).isEmpty());
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

// A session kept beside a linked library, where its saves write (beside the
// file the link leads to), went unmentioned: only the link's folder was
// looked in.
TEST(UnreadableFile, NewerFilesBesideALinkAreFoundBesideTheFileItLeadsTo)
{
    TempFolder folder;
    folder.makeFolder(L"synced");
    const String target = folder.writeFile(L"synced\\kestrola.database", bytesOf("library"));
    const String link = folder.file(L"kestrola.database");
    if (!makeLink(link, target))
        GTEST_SKIP() << "no file link could be made here";
    const LinkRemover remover{link};
    const String kept = folder.writeFile(L"synced\\kestrola.database_0000.new", bytesOf("session"));
    ASSERT_TRUE(setWriteTimeRaw(kept, writeTimeRaw(target) + 10'000'000));
    EXPECT_EQ(vectorOf(newerFilesBeside(link)), std::vector<std::wstring>{wide(kept)});
}

// A save may write over only the file as this run last saw it, or nothing:
// a file put in its place, even one of the same size and time, differs.
TEST(UnreadableFile, MayWriteOverOnlyTheOwnFileUnchangedOrNothing)
{
    TempFolder folder;
    const String path = folder.file(L"kestrola.database");
    EXPECT_TRUE(mayWriteOver(path, std::nullopt));
    folder.writeFile(L"kestrola.database", bytesOf("mine"));
    const std::optional<FileVersion> own = FileSystem::version(path);
    ASSERT_TRUE(own);
    EXPECT_TRUE(mayWriteOver(path, own));
    EXPECT_FALSE(mayWriteOver(path, std::nullopt));

    const String theirs = folder.writeFile(L"theirs", bytesOf("them"));
    ASSERT_TRUE(setWriteTimeRaw(theirs, own->identity.writeTime));
    ASSERT_TRUE(MoveFileExW(theirs.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    const FileIdentity now = FileSystem::identity(path);
    ASSERT_EQ(now.size, own->identity.size);
    ASSERT_EQ(now.writeTime, own->identity.writeTime);
    EXPECT_FALSE(mayWriteOver(path, own));
}

namespace {

// Their program keeps its file open and renames it over the name through
// that handle, one call a try, so it takes the first moment the name is
// free: a move by name takes several calls, and mostly missed the moment
// between a removal's compare and its delete by name.
void renameOverWhenFree(const String& theirs, const String& name)
{
    HANDLE file = CreateFileW(theirs.c_str(), DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                              FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const DWORD nameBytes = static_cast<DWORD>(name.length() * sizeof(wchar_t));
    std::vector<std::uint8_t> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->ReplaceIfExists = TRUE;
    rename->FileNameLength = nameBytes;
    std::memcpy(rename->FileName, name.c_str(), nameBytes);
    // Refused while the name is held; the bound only keeps a fault from
    // hanging the test.
    bool renamed = false;
    for (int attempt = 0; attempt < 10'000'000 && !renamed; ++attempt)
        renamed = SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()));
    CloseHandle(file);
}

} // namespace

// The copy beside was compared, then removed by its name: a file another
// program moved onto that name in between went in its place. Their program
// waits until the copy is held, then moves its file onto the name as soon
// as it may; their file must never be the one that goes. On a busy machine
// their thread may not run while a round holds the copy, so rounds go on
// until it has found the copy held a few times; the bound on rounds only
// keeps a fault from hanging the test.
TEST(UnreadableFile, OnlyTheCopyWhoseBytesWereComparedIsRemoved)
{
    TempFolder folder;
    const String copy = folder.file(L"kestrola.database.new");
    const String theirs = folder.file(L"theirs");
    const Bytes session(1 << 20, 's');
    const int heldRounds = 3;
    int timed = 0;
    for (int round = 0; round < 5000 && timed < heldRounds; ++round) {
        ASSERT_TRUE(writeRaw(copy, session) && writeRaw(theirs, bytesOf("their file")));
        const std::optional<FileVersion> written = FileSystem::version(copy);
        ASSERT_TRUE(written);
        std::atomic<bool> held = false;
        std::atomic<bool> done = false;
        std::thread mover([&] {
            while (!done) {
                HANDLE writer = CreateFileW(copy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE |
                                            FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
                if (writer == INVALID_HANDLE_VALUE) {
                    held = GetLastError() == ERROR_SHARING_VIOLATION;
                    break;
                }
                CloseHandle(writer);
            }
            renameOverWhenFree(theirs, copy);
        });
        const CopyState state = FileSystem::removeVersion(copy, *written);
        done = true;
        mover.join();
        timed += held ? 1 : 0;
        // One failed round says it all; the rounds after it would only repeat it.
        ASSERT_EQ(readRaw(copy), bytesOf("their file")) << "round " << round;
        ASSERT_TRUE(state == CopyState::Removed || state == CopyState::InUse) << "round " << round;
    }
    EXPECT_EQ(timed, heldRounds) << "their program found the copy held too seldom";
}

// The wait's progress stood still at its first step, and nothing could end
// the wait early. It rises to 100 by the end of the time, and a stop that
// answers true ends it at once.
TEST(UnreadableFile, WaitForAHeldFileRisesToTheEndOrStops)
{
    TempFolder folder;
    const String path = folder.writeFile(L"kestrola.database", bytesOf("library"));
    HeldFile held(path, Hold::NoSharing);
    ASSERT_TRUE(held.isHeld());
    std::vector<int> seen;
    const auto record = [&seen](int percent) { seen.push_back(percent); };
    EXPECT_FALSE(waitWhileInUse(path, 500, record));
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(std::adjacent_find(seen.begin(), seen.end(), std::greater_equal<int>()), seen.end()) << "rises";
    EXPECT_EQ(seen.back(), 100);

    seen.clear();
    EXPECT_FALSE(waitWhileInUse(path, 5000, record, [&seen] { return seen.size() == 2; }));
    EXPECT_EQ(seen, (std::vector<int>{2, 4}));
    held.release();
    EXPECT_TRUE(waitWhileInUse(path, 500, record));
}
