#include "tests/support/Links.h"
#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"

#include "foundation/DateTime.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/Path.h"

#include <gtest/gtest.h>

namespace {

struct PathRow {
    const wchar_t* path;
    const wchar_t* expected;
};

void expectRows(String (*function)(const String&), const std::vector<PathRow>& rows)
{
    for (const PathRow& row : rows)
        EXPECT_EQ(wide(function(String(row.path))), row.expected) << row.path;
}

bool makeFile(const String& path, int size = 0)
{
    return writeRaw(path, Bytes(static_cast<std::size_t>(size), 'x'));
}

bool makeFolder(const String& path)
{
    return CreateDirectoryW(path.c_str(), nullptr) != 0;
}

std::set<std::wstring> listed(const String& folder, int flags, const StringList& extensions = StringList())
{
    StringList out;
    EXPECT_TRUE(listFiles(out, folder, flags, extensions));
    EXPECT_EQ(countFiles(folder, flags, extensions), out.count());
    return setOf(out);
}

} // namespace

TEST(Path, FileName)
{
    expectRows(Path::fileName, {
        {L"C:\\dir\\", L""},
        {L"name.txt", L"name.txt"},
        {L"C:\\dir\\name.txt", L"name.txt"},
        {L"C:\\a.b\\file", L"file"},
        {L"", L""},
    });
}

// A file beside the library whose number held another script's digits
// was named at start as a session kept beside it.
TEST(Path, NumberedNamesHoldAsciiDigits)
{
    EXPECT_TRUE(Path::isNumberedName(String(L"LIB.DB_9999.NEW"), String(L"lib.db"), String(L"new")));
    EXPECT_FALSE(Path::isNumberedName(String(L"lib.db_000\uff13.new"), String(L"lib.db"), String(L"new")));
}

TEST(Path, BaseName)
{
    expectRows(Path::baseName, {
        {L"C:\\a\\report.final.txt", L"report.final"},
        {L"C:\\a\\Holiday", L"Holiday"},
        {L"C:\\a\\b.", L"b."},
        {L"C:\\a\\.profile", L""},
        {L"C:\\a\\", L""},
        {L"plain.txt", L"plain"},
    });
}

TEST(Path, Extension)
{
    struct Row {
        const wchar_t* path;
        int option;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"C:\\a.b\\file", 0, L""},
        {L"x.TXT", 1, L"txt"},
        {L"x.txt", 2, L"TXT"},
        {L"x.TxT", 0, L"TxT"},
        {L"x.TxT", 7, L"TxT"},
        {L"x.", 0, L""},
        {L"C:\\dir\\archive.tar.gz", 0, L"gz"},
        {L"C:\\dir\\.profile", 0, L"profile"},
        {L"noext", 0, L""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(Path::extension(String(row.path), row.option)), row.expected) << row.path;
    EXPECT_TRUE(Path::hasExtension(String(L"a.b")));
    EXPECT_FALSE(Path::hasExtension(String(L"a.b\\c")));
}

TEST(Path, OverlongExtensionIsRefused)
{
    const String fits = String(L"f.") + String(L'e', 255);
    const String tooLong = String(L"f.") + String(L'e', 256);
    EXPECT_EQ(Path::extension(fits).length(), 255);
    EXPECT_TRUE(Path::extension(tooLong).isEmpty());
}

TEST(Path, DirectoryOfAndFolderName)
{
    expectRows(Path::directoryOf, {
        {L"C:\\data\\file.txt", L"C:\\data"},
        {L"C:\\data\\", L"C:\\data"},
        {L"\\", L""},
        {L"\\file.txt", L""},
        {L"name.txt", L""},
        {L"C:\\missing-folder-7f3a\\new", L"C:\\missing-folder-7f3a\\new"},
    });
    expectRows(Path::folderName, {
        {L"C:\\data\\sub\\file.txt", L"sub"},
        {L"C:\\data\\", L"data"},
        {L"name.txt", L""},
    });
}

TEST(Path, DirectoryOfTestsTheDiskForNamesWithoutDot)
{
    TempFolder temp;
    const String file = temp.file(L"README");
    const String folder = temp.file(L"Docs");
    ASSERT_TRUE(makeFile(file));
    ASSERT_TRUE(makeFolder(folder));
    EXPECT_EQ(Path::directoryOf(file) + L'\\', temp.path());
    EXPECT_EQ(Path::directoryOf(folder), folder);
}

TEST(Path, DriveLetterAndDriveRoot)
{
    expectRows(Path::driveLetter, {
        {L"C:\\x", L"C"},
        {L"d:\\", L"d"},
        {L"C:", L""},
        {L"C:x", L""},
        {L":\\x", L""},
        {L"1:\\x", L""},
    });
    struct Row {
        const wchar_t* path;
        bool root;
    };
    const Row rows[] = {
        {L"C:\\", true}, {L"ab:\\", true}, {L"C:", false},   {L"C:\\x", false},
        {L"1:\\", false}, {L":\\", false}, {L"C:/", false},  {L"\\\\", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Path::isDriveRoot(String(row.path)), row.root) << row.path;
}

TEST(Path, Normalized)
{
    expectRows(Path::normalized, {
        {L"  c:/a//b\\  ", L"c:\\a\\b\\"},
        {L"c:x", L"c:\\x"},
        {L"\\\\?\\d:\\x", L"d:\\x"},
        {L"   ", L""},
        {L"", L""},
        {L"c:\\\\a", L"c:\\a"},
        // A share used to lose one of its two leading separators, so no
        // scan rule over a network path was valid.
        {L"\\\\server\\share\\a", L"\\\\server\\share\\a"},
        {L" //server/share//a/ ", L"\\\\server\\share\\a\\"},
        {L"\\\\\\server\\share", L"\\\\server\\share"},
        {L"\\/server", L"\\\\server"},
        {L"\\\\?\\UNC\\server\\share\\a", L"\\\\server\\share\\a"},
        {L"\\\\?\\unc\\server\\share", L"\\\\server\\share"},
        {L"\\\\?\\d:\\x\\\\y", L"d:\\x\\y"},
        {L"\\server", L"\\server"},
    });
    EXPECT_TRUE(Path::isNormalized(String(L"c:\\a")));
    EXPECT_TRUE(Path::isNormalized(String(L"\\\\server\\share\\a")));
    EXPECT_FALSE(Path::isNormalized(String(L"c:/a")));
}

TEST(Path, RootLength)
{
    struct Row {
        const wchar_t* path;
        int length;
    };
    const Row rows[] = {
        {L"c:\\", 3},
        {L"C:\\a\\b", 3},
        {L"\\\\server\\share\\a", 15},
        {L"\\\\server\\share\\", 15},
        {L"\\\\server\\share", 0},
        {L"\\\\server\\", 0},
        {L"\\\\\\share\\", 0},
        {L"\\\\?\\c:\\a", 7},
        {L"\\\\?\\UNC\\server\\share\\a", 21},
        {L"\\\\?\\UNC\\server", 0},
        {L"c:", 0},
        {L"a\\b", 0},
        {L"", 0},
    };
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(Path::rootLength(String(row.path)), row.length) << row.path; });
}

TEST(Path, NormalizedRefusesWhatExceedsThePathLimit)
{
    const String fits = String(L"c:\\") + String(L'a', 257);
    const String tooLong = String(L"c:\\") + String(L'a', 258);
    EXPECT_EQ(Path::normalized(fits), fits);
    EXPECT_TRUE(Path::normalized(tooLong).isEmpty());
    // Separators only grow the text after a ':'.
    EXPECT_TRUE(Path::normalized(String(L':', 140)).isEmpty());
}

TEST(Path, HasValidLength)
{
    EXPECT_FALSE(Path::hasValidLength(String()));
    EXPECT_TRUE(Path::hasValidLength(String(L'a', 259)));
    EXPECT_FALSE(Path::hasValidLength(String(L'a', 260)));
    EXPECT_EQ(Path::separator(), L'\\');
}

TEST(Path, ValidFileNames)
{
    EXPECT_FALSE(isValidFileName(String()));
    EXPECT_TRUE(isValidFileName(String(L"report (final).txt")));
    for (const wchar_t* bad : {L"a\\b", L"a/b", L"a:b", L"a*b", L"a?b", L"a\"b", L"a<b", L"a>b", L"a|b"})
        EXPECT_FALSE(isValidFileName(String(bad))) << bad;
}

TEST(Path, MakeValidFileName)
{
    expectRows(makeValidFileName, {
        {L"con", L"___"},
        {L"CON", L"___"},
        {L"com1.txt", L"____.txt"},
        {L"Lpt9", L"____"},
        {L"aux.tar.gz", L"___.tar.gz"},
        {L"console.txt", L"console.txt"},
        {L"com0.txt", L"com0.txt"},
        {L"nul.", L"nul_"},
        {L"a:b?.txt", L"a_b_.txt"},
        {L".hidden.", L"_hidden_"},
        {L"a b\tc", L"a_b_c"},
        {L"caf\u00E9 \u2116 5", L"caf\u00E9_\u2116_5"},
        {L"$%-_@~!(){}^#&+=[].,;", L"$%-_@~!(){}^#&+=[].,;"},
        {L"", L""},
    });
}

TEST(Path, ReservedDeviceNames)
{
    const struct {
        const wchar_t* name;
        bool reserved;
    } cases[] = {
        {L"nul", true},        {L"AUX", true},        {L"com1.txt", true},   {L"Lpt9.tar.gz", true},
        {L"con .txt", true},   {L"prn  ", true},      {L"CONIN$", true},     {L"conout$.log", true},
        {L"console.txt", false}, {L"com0", false},    {L"com10", false},     {L"nulx", false},
        {L"con_", false},      {L"xnul", false},      {L"", false},          {L"conin", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isReservedDeviceName(String(c.name)), c.reserved) << c.name;
}

TEST(Path, PathParts)
{
    PathParts parts(String(L"C:\\dir\\photo.JPG"));
    EXPECT_EQ(wide(parts.directory()), L"C:\\dir");
    EXPECT_EQ(wide(parts.baseName()), L"photo");
    EXPECT_EQ(wide(parts.extension()), L"JPG");
    parts.split(String());
    EXPECT_EQ(wide(parts.baseName()), L"photo") << "an empty path changes nothing";
    parts = String(L"D:\\x\\y.txt");
    EXPECT_EQ(wide(parts.directory()), L"D:\\x");
    parts.clearExtension();
    parts.clearBaseName();
    EXPECT_TRUE(parts.extension().isEmpty());
    EXPECT_TRUE(parts.baseName().isEmpty());
    const PathParts copy = PathParts(L"E:\\a.b");
    EXPECT_EQ(wide(copy.baseName()), L"a");
}

TEST(Path, NearestExistingDirectory)
{
    TempFolder temp;
    ASSERT_TRUE(makeFolder(temp.file(L"a")));
    EXPECT_EQ(Path::nearestExistingDirectory(temp.file(L"a\\b\\c")), temp.file(L"a\\"));
    EXPECT_EQ(Path::nearestExistingDirectory(temp.file(L"a")), temp.file(L"a\\"));
    EXPECT_TRUE(Path::nearestExistingDirectory(String()).isEmpty());
    EXPECT_TRUE(Path::nearestExistingDirectory(String(L"nothing\\here")).isEmpty());
}

TEST(Path, UniqueFileName)
{
    TempFolder temp;
    const String name(L"shot");
    const String ext(L"png");
    EXPECT_EQ(wide(Path::uniqueFileName(name, ext, temp.path())), L"shot_0000.png");
    ASSERT_TRUE(makeFile(temp.file(L"shot_0000.png")));
    ASSERT_TRUE(makeFile(temp.file(L"shot_0001.png")));
    EXPECT_EQ(wide(Path::uniqueFileName(name, ext, temp.bare())), L"shot_0002.png");
    EXPECT_TRUE(Path::uniqueFileName(name, ext, temp.file(L"missing")).isEmpty());
    EXPECT_TRUE(Path::uniqueFileName(String(), ext, temp.path()).isEmpty());
}

TEST(Path, ExecutablePathNamesThisProgram)
{
    const String path = Path::executablePath();
    EXPECT_TRUE(fileExists(path));
    EXPECT_TRUE(path.endsWith(String(L".exe"), false));
    EXPECT_TRUE(Path::longPathName(path).isEmpty()) << "only paths with '~' are expanded";
}

TEST(FileSystem, ExistenceTests)
{
    TempFolder temp;
    const String file = temp.file(L"f.txt");
    ASSERT_TRUE(makeFile(file));
    EXPECT_TRUE(fileExists(file));
    EXPECT_TRUE(FileSystem::exists(file));
    EXPECT_FALSE(directoryExists(file));
    EXPECT_TRUE(directoryExists(temp.path()));
    EXPECT_FALSE(fileExists(temp.path()));
    EXPECT_FALSE(fileExists(temp.file(L"missing")));
    EXPECT_FALSE(fileExists(String()));
    EXPECT_FALSE(directoryExists(String()));
}

// Inside a scope the answers are those of the disk, except that a folder
// found missing stays missing for the paths below it until the scope ends.
TEST(FileSystem, FolderExistenceScopeAnswersAsTheDiskAndRemembersMissingFolders)
{
    TempFolder temp;
    const String sub = temp.makeFolder(L"Sub");
    ASSERT_TRUE(makeFile(sub + L"file"));
    const String paths[] = {temp.path(), temp.bare(), sub, sub + L"file", sub + L"file\\below",
                            temp.file(L"gone\\deeper\\leaf"), temp.file(L"SUB\\"), String(L"C:\\"),
                            String(L"relative\\name"), String(L"\\\\?\\") + sub};
    std::vector<bool> outside;
    for (const String& path : paths)
        outside.push_back(directoryExists(path));
    {
        FolderExistenceScope scope;
        for (std::size_t i = 0; i < std::size(paths); ++i)
            EXPECT_EQ(directoryExists(paths[i]), outside[i]) << wide(paths[i]);
        ASSERT_TRUE(createPath(temp.file(L"gone\\deeper\\leaf\\")));
        EXPECT_FALSE(directoryExists(temp.file(L"gone\\deeper\\leaf"))) << "a missing folder above is remembered";
        EXPECT_TRUE(directoryExists(temp.file(L"gone"))) << "the path itself is always asked";
    }
    EXPECT_TRUE(directoryExists(temp.file(L"gone\\deeper\\leaf")));
}

TEST(FileSystem, SizesAndCreateEmpty)
{
    TempFolder temp;
    const String file = temp.file(L"sized.bin");
    ASSERT_TRUE(makeFile(file, 1536));
    EXPECT_EQ(FileSystem::fileSize(file), 1536u);
    EXPECT_FALSE(FileSystem::isEmpty(file));
    int unit = -1;
    EXPECT_EQ(wide(FileSystem::fileSizeText(file, unit)), L"1.50 ");
    EXPECT_EQ(unit, 1);
    EXPECT_TRUE(FileSystem::createEmpty(file));
    EXPECT_EQ(FileSystem::fileSize(file), 0u);
    EXPECT_TRUE(FileSystem::isEmpty(temp.file(L"missing")));
    EXPECT_EQ(FileSystem::fileSize(String()), 0u);
    EXPECT_FALSE(FileSystem::createEmpty(String()));
    // The library's first start made its empty file over one that appeared meanwhile.
    ASSERT_TRUE(makeFile(file, 7));
    EXPECT_FALSE(FileSystem::createNew(file));
    EXPECT_EQ(FileSystem::fileSize(file), 7u);
    EXPECT_TRUE(FileSystem::createNew(temp.file(L"new.bin")));
    EXPECT_TRUE(fileExistsRaw(temp.file(L"new.bin")));
}

TEST(FileSystem, Attributes)
{
    TempFolder temp;
    const String file = temp.file(L"attr.txt");
    ASSERT_TRUE(makeFile(file));
    EXPECT_EQ(FileSystem::attributes(file), 0);
    ASSERT_TRUE(FileSystem::setAttribute(file, AttributeReadOnly, true));
    EXPECT_TRUE(FileSystem::isReadOnly(file));
    EXPECT_TRUE(FileSystem::setAttribute(file, 5, true)) << "other values write back unchanged";
    EXPECT_TRUE(FileSystem::isReadOnly(file));
    ASSERT_TRUE(FileSystem::setAttribute(file, AttributeReadOnly, false));
    EXPECT_FALSE(FileSystem::isReadOnly(file));
    EXPECT_FALSE(FileSystem::setAttribute(file, 0, true));
    EXPECT_FALSE(FileSystem::setAttribute(temp.file(L"missing"), AttributeHidden, true));
    EXPECT_EQ(FileSystem::attributes(temp.file(L"missing")), 0);
}

TEST(FileSystem, IsLocked)
{
    TempFolder temp;
    const String file = temp.file(L"lock.txt");
    EXPECT_TRUE(FileSystem::isLocked(file)) << "a missing file counts as locked";
    ASSERT_TRUE(makeFile(file));
    EXPECT_FALSE(FileSystem::isLocked(file));
    {
        FileOutputStream holder(file, true);
        ASSERT_TRUE(holder.isOpen());
        EXPECT_TRUE(FileSystem::isLocked(file));
    }
    EXPECT_FALSE(FileSystem::isLocked(file)) << "the test must not leave its handle open";
}

TEST(FileSystem, CopyMoveRenameRemove)
{
    TempFolder temp;
    const String a = temp.writeFile(L"a.txt", bytesOf("first"));
    const String b = temp.file(L"b.txt");
    const String c = temp.writeFile(L"c.txt", bytesOf("old"));
    EXPECT_TRUE(FileSystem::copy(a, c));
    EXPECT_EQ(readRaw(c), bytesOf("first")) << "copy overwrites";
    EXPECT_TRUE(FileSystem::rename(a, String(L"b.txt")));
    EXPECT_FALSE(fileExists(a));
    EXPECT_EQ(readRaw(b), bytesOf("first"));
    EXPECT_FALSE(FileSystem::rename(a, String(L"z.txt")));
    EXPECT_FALSE(FileSystem::rename(b, String()));
    EXPECT_FALSE(FileSystem::rename(temp.path(), String(L"z")));
    EXPECT_TRUE(FileSystem::move(b, a));
    EXPECT_TRUE(fileExists(a));
    EXPECT_FALSE(FileSystem::move(a, String()));
    EXPECT_FALSE(FileSystem::copy(String(), a));
    EXPECT_TRUE(FileSystem::remove(a));
    EXPECT_FALSE(deleteFile(a));
    EXPECT_FALSE(deleteFile(String()));
}

TEST(FileSystem, CreatePath)
{
    TempFolder temp;
    EXPECT_TRUE(createPath(temp.file(L"x\\y")));
    EXPECT_TRUE(directoryExists(temp.file(L"x")));
    EXPECT_FALSE(directoryExists(temp.file(L"x\\y"))) << "only components followed by '\\' are made";
    EXPECT_TRUE(createPath(temp.file(L"x\\y\\z\\")));
    EXPECT_TRUE(directoryExists(temp.file(L"x\\y\\z")));
    EXPECT_TRUE(createPath(temp.path()));
    EXPECT_TRUE(createPath(String()));
    ASSERT_TRUE(makeFile(temp.file(L"file")));
    EXPECT_FALSE(createPath(temp.file(L"file\\sub\\")));
}

// The walk used to try "\\" and "\\?\" on the way, which fail.
TEST(FileSystem, CreatePathStartsBelowALongFormRoot)
{
    TempFolder temp;
    EXPECT_TRUE(createPath(L"\\\\?\\" + temp.file(L"x\\y\\")));
    EXPECT_TRUE(directoryExists(temp.file(L"x\\y")));
}

TEST(FileSystem, CreatePathRefusesOverlongPaths)
{
    TempFolder temp;
    String path = temp.path();
    while (path.length() <= maxPathLength)
        path += L"abcdefgh\\";
    EXPECT_FALSE(createPath(path));
    EXPECT_FALSE(directoryExists(temp.file(L"abcdefgh"))) << "refused before creating anything";
}

TEST(FileSystem, RemoveDirectoryIfExists)
{
    TempFolder temp;
    const String folder = temp.file(L"d");
    EXPECT_FALSE(removeDirectoryIfExists(folder));
    ASSERT_TRUE(makeFolder(folder));
    ASSERT_TRUE(makeFile(temp.file(L"d\\f")));
    EXPECT_FALSE(removeDirectoryIfExists(folder)) << "not empty";
    ASSERT_TRUE(deleteFile(temp.file(L"d\\f")));
    EXPECT_TRUE(removeDirectoryIfExists(folder));
    EXPECT_FALSE(directoryExists(folder));
}

TEST(FileSystem, RecycleBin)
{
    TempFolder temp;
    EXPECT_FALSE(FileSystem::moveToRecycleBin(String()));
    EXPECT_FALSE(FileSystem::moveToRecycleBin(temp.file(L"missing.txt")));
    EXPECT_FALSE(FileSystem::moveToRecycleBin(String(L'a', 1023)));
    // Where the platform has a recycle bin the file leaves its folder; the
    // result itself differs between systems.
    const String file = temp.file(L"trash.txt");
    ASSERT_TRUE(makeFile(file));
    if (FileSystem::moveToRecycleBin(file)) {
        EXPECT_FALSE(fileExists(file));
    }
}

TEST(FileSystem, CanWriteToDirectory)
{
    TempFolder temp;
    const String file = temp.file(L"plain.txt");
    ASSERT_TRUE(makeFile(file));
    EXPECT_FALSE(canWriteToDirectory(file));
    EXPECT_FALSE(canWriteToDirectory(temp.file(L"missing")));
    EXPECT_FALSE(canWriteToDirectory(String()));
    // The access check itself is answered differently under Wine; it must
    // only come back.
    canWriteToDirectory(temp.path());
}

TEST(FileSystem, WriteTimeRoundTrip)
{
    TempFolder temp;
    const String file = temp.file(L"stamp.txt");
    const String other = temp.file(L"other.txt");
    ASSERT_TRUE(makeFile(file));
    ASSERT_TRUE(makeFile(other));
    const DateTime stamp(2021, 3, 14, 15, 9, 26, 535);
    ASSERT_TRUE(FileSystem::setFileTime(file, stamp, false));
    EXPECT_EQ(FileSystem::writeTime(file, false), stamp);
    EXPECT_TRUE(FileSystem::writeTime(temp.file(L"missing"), false).isNull());
    ASSERT_TRUE(FileSystem::copyFileTimes(other, file));
    EXPECT_EQ(FileSystem::writeTime(other, false), stamp);
    EXPECT_FALSE(FileSystem::setFileTime(temp.file(L"missing"), stamp, false));
}

// What a save compares to tell its own file: the size and write time the
// system keeps, an id shared by the file's names and no other file, and
// nothing for a folder or a missing file.
TEST(FileSystem, IdentityTellsOneFileFromAnother)
{
    TempFolder temp;
    const String file = temp.file(L"file.bin");
    const String other = temp.file(L"other.bin");
    ASSERT_TRUE(makeFile(file, 1234) && makeFile(other, 1234));
    const DateTime stamp(2021, 3, 14, 15, 9, 26, 535);
    ASSERT_TRUE(FileSystem::setFileTime(file, stamp, false));
    ASSERT_TRUE(CreateHardLinkW(temp.file(L"link.bin").c_str(), file.c_str(), nullptr));
    const FileIdentity identity = FileSystem::identity(file);
    EXPECT_EQ(FileIdentity({true, *FileSystem::id(file), 1234, stamp.toFileTime()}), identity);
    EXPECT_EQ(identity, FileSystem::identity(temp.file(L"link.bin")));
    EXPECT_NE(identity.id, FileSystem::identity(other).id);
    EXPECT_FALSE(FileSystem::identity(temp.bare()).exists);
    EXPECT_FALSE(FileSystem::identity(temp.file(L"missing.bin")).exists);
}

// Wine shows a Linux link at a name only by the path of the file it leads
// to; a plain file named through a linked folder or in another case, whose
// path differs from its final one too, was taken for a link.
TEST(FileSystem, OnlyALinkAtTheNameItselfIsALink)
{
    TempFolder temp;
    temp.makeFolder(L"sub");
    const String file = temp.writeFile(L"sub\\file.bin", bytesOf("file"));
    const String link = temp.file(L"link.bin");
    const String linkedFolder = temp.file(L"linked");
    if (!makeLink(link, file) || !makeLink(linkedFolder, temp.file(L"sub")))
        GTEST_SKIP() << "no link could be made here";
    const LinkRemover linkRemover{link};
    const LinkRemover folderRemover{linkedFolder};
    const std::pair<String, bool> rows[] = {
        {temp.file(L"linked\\file.bin"), false},
        {temp.file(L"SUB\\FILE.bin"), false},
        {link, true},
    };
    forEachRow(rows, [](const auto& row) { EXPECT_EQ(FileSystem::isLink(row.first), row.second) << wide(row.first); });
}

TEST(FileSystem, DirectorySizeRecursive)
{
    TempFolder temp;
    ASSERT_TRUE(makeFile(temp.file(L"a"), 100));
    ASSERT_TRUE(makeFolder(temp.file(L"sub")));
    ASSERT_TRUE(makeFile(temp.file(L"sub\\b"), 20));
    ASSERT_TRUE(makeFolder(temp.file(L"sub\\deep")));
    ASSERT_TRUE(makeFile(temp.file(L"sub\\deep\\c"), 3));
    EXPECT_EQ(directorySizeRecursive(temp.path()), 123u);
    EXPECT_EQ(directorySizeRecursive(temp.file(L"sub\\")), 23u);
    EXPECT_EQ(directorySizeRecursive(temp.file(L"missing\\")), 0u);
}

class FileListing : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = temp.path();
        for (const wchar_t* name : {L"a.JPG", L"b.jpg", L"jpg", L"c.txt", L"sub\\d.Jpg", L"sub\\e.png",
                                    L"sub\\deep\\f.jpg"}) {
            if (wcschr(name, L'\\'))
                createPath(root + name);
            ASSERT_TRUE(makeFile(root + name));
        }
    }

    std::set<std::wstring> full(std::initializer_list<const wchar_t*> names) const
    {
        std::set<std::wstring> out;
        for (const wchar_t* name : names)
            out.insert(wide(root) + name);
        return out;
    }

    TempFolder temp;
    String root;
};

TEST_F(FileListing, FilesOnlyWithFullPaths)
{
    EXPECT_EQ(listed(root, ListFiles), full({L"a.JPG", L"b.jpg", L"jpg", L"c.txt"}));
}

TEST_F(FileListing, NamesOnly)
{
    EXPECT_EQ(listed(root, ListFiles | NamesOnly), (std::set<std::wstring>{L"a.JPG", L"b.jpg", L"jpg", L"c.txt"}));
}

TEST_F(FileListing, FoldersWithAndWithoutRecursion)
{
    EXPECT_EQ(listed(root, ListFolders), full({L"sub"}));
    EXPECT_EQ(listed(root, ListFolders | Recurse), full({L"sub", L"sub\\deep"}));
}

TEST_F(FileListing, ExtensionsMatchIgnoringCaseAndNeedTheDot)
{
    const StringList jpg = listOf({L"jpg"});
    EXPECT_EQ(countFiles(root, ListFiles, jpg), 2);
    EXPECT_EQ(listed(root, ListFiles | Recurse | NamesOnly, jpg),
              (std::set<std::wstring>{L"a.JPG", L"b.jpg", L"d.Jpg", L"f.jpg"}));
    EXPECT_EQ(listed(root, ListFiles | Recurse | NamesOnly, listOf({L"png", L"JPG"})),
              (std::set<std::wstring>{L"a.JPG", L"b.jpg", L"d.Jpg", L"e.png", L"f.jpg"}));
}

TEST_F(FileListing, FilesAndFoldersTogetherRecursively)
{
    EXPECT_EQ(listed(root, ListFiles | ListFolders | Recurse),
              full({L"a.JPG", L"b.jpg", L"jpg", L"c.txt", L"sub", L"sub\\d.Jpg", L"sub\\e.png", L"sub\\deep",
                    L"sub\\deep\\f.jpg"}));
}

TEST_F(FileListing, FolderWithoutTrailingSeparator)
{
    EXPECT_EQ(listed(temp.bare(), ListFiles), full({L"a.JPG", L"b.jpg", L"jpg", L"c.txt"}));
}

TEST_F(FileListing, ListingAppendsToTheCallersList)
{
    StringList out;
    out.append(String(L"kept"));
    ASSERT_TRUE(listFiles(out, root, ListFolders | NamesOnly));
    EXPECT_EQ(vectorOf(out), (std::vector<std::wstring>{L"kept", L"sub"}));
}

// The entries carry what the walk read: the same paths as listFiles, the
// folder part, the kind and the times the file system reports.
TEST_F(FileListing, EntriesCarryKindFolderAndTimes)
{
    const DateTime stamp(2020, 5, 6, 7, 8, 9);
    ASSERT_TRUE(FileSystem::setFileTime(root + L"sub\\e.png", stamp, false));
    std::vector<FileEntry> entries;
    ASSERT_TRUE(listFileEntries(entries, root, ListFiles | ListFolders | Recurse | NamesOnly, listOf({L"png"})));
    StringList paths;
    for (const FileEntry& entry : entries) {
        paths.append(entry.path);
        EXPECT_EQ(entry.isFolder, directoryExists(entry.path)) << wide(entry.path);
        EXPECT_EQ(entry.folderLength, entry.path.lastIndexOf(L'\\') + 1) << wide(entry.path);
        EXPECT_EQ(DateTime::fromFileTime(entry.writeTime), FileSystem::writeTime(entry.path, false));
        if (entry.path.endsWith(String(L".png"))) {
            EXPECT_EQ(entry.writeTime, stamp.toFileTime());
        }
    }
    EXPECT_EQ(setOf(paths), full({L"sub", L"sub\\e.png", L"sub\\deep"}));
    EXPECT_FALSE(listFileEntries(entries, root + L"missing", ListFiles));
}

TEST_F(FileListing, MissingFolder)
{
    StringList out;
    out.append(String(L"kept"));
    EXPECT_FALSE(listFiles(out, root + L"missing", ListFiles));
    EXPECT_EQ(out.count(), 1);
    EXPECT_EQ(countFiles(root + L"missing", ListFiles), -1);
    EXPECT_EQ(countFiles(root + L"a.JPG", ListFiles), -1) << "a file is not a folder";
}

TEST_F(FileListing, SkipHidden)
{
    // Wine keeps the hidden attribute only on some file systems and reads
    // every dot-file as hidden, so the expectation follows what the file
    // system reports for each entry.
    ASSERT_TRUE(makeFile(root + L"h.txt"));
    ASSERT_TRUE(makeFile(root + L".dot"));
    FileSystem::setAttribute(root + L"h.txt", AttributeHidden, true);
    std::set<std::wstring> visible;
    for (const wchar_t* name : {L"a.JPG", L"b.jpg", L"jpg", L"c.txt", L"h.txt", L".dot"}) {
        if (!FileSystem::isHidden(root + name))
            visible.insert(name);
    }
    EXPECT_TRUE(visible.count(L"a.JPG"));
    EXPECT_EQ(listed(root, ListFiles | SkipHidden | NamesOnly), visible);
    EXPECT_EQ(listed(root, ListFiles | NamesOnly).size(), 6u) << "without the flag hidden files are listed";
}

TEST_F(FileListing, LinkLoopIsNotFollowed)
{
    const String link = root + L"sub\\loop";
    if (!makeLink(link, temp.bare()))
        GTEST_SKIP() << "no directory link could be made here";
    const LinkRemover remover{link};
    ASSERT_TRUE(fileExists(link + L"\\a.JPG")) << "the link leads back to the root";
    ASSERT_TRUE(makeFile(root + L"a.JPG", 5));
    // Following the link would list the tree again under sub\loop, and again
    // beneath that until the path limit.
    EXPECT_EQ(listed(root, ListFiles | ListFolders | Recurse),
              full({L"a.JPG", L"b.jpg", L"jpg", L"c.txt", L"sub", L"sub\\d.Jpg", L"sub\\e.png", L"sub\\loop",
                    L"sub\\deep", L"sub\\deep\\f.jpg"}));
    EXPECT_EQ(countFiles(root, ListFiles | Recurse), 7);
    EXPECT_EQ(directorySizeRecursive(root), 5u);
}

// Walks used to skip every linked folder, so a scan rule missed whatever
// lay behind a junction or a symbolic link.
TEST_F(FileListing, LinkedFoldersAreWalkedOnce)
{
    TempFolder outside;
    ASSERT_TRUE(makeFolder(outside.file(L"inner")));
    ASSERT_TRUE(makeFile(outside.file(L"o.jpg"), 10));
    ASSERT_TRUE(makeFile(outside.file(L"inner\\p.jpg"), 20));
    const String link = root + L"sub\\music";
    if (!makeLink(link, outside.bare()))
        GTEST_SKIP() << "no directory link could be made here";
    const LinkRemover remover{link};
    EXPECT_EQ(listed(root, ListFiles | Recurse, listOf({L"jpg"})),
              full({L"a.JPG", L"b.jpg", L"sub\\d.Jpg", L"sub\\deep\\f.jpg", L"sub\\music\\o.jpg",
                    L"sub\\music\\inner\\p.jpg"}));
    EXPECT_EQ(directorySizeRecursive(root), 30u);
    // A second way to the same folder leads to nothing new.
    const String again = root + L"again";
    ASSERT_TRUE(makeLink(again, outside.bare()));
    const LinkRemover secondRemover{again};
    StringList names;
    ASSERT_TRUE(listFiles(names, root, ListFiles | ListFolders | Recurse | NamesOnly));
    EXPECT_EQ(names.count(), 14) << "the tree's 7 files and 2 folders, both links, and inner, o.jpg and p.jpg once";
    EXPECT_EQ(setOf(names).size(), 14u);
    EXPECT_EQ(directorySizeRecursive(root), 30u);
}

// Whichever of the two ways the walk takes first, the folder is walked once.
TEST_F(FileListing, LinkIntoTheTreeAddsNothing)
{
    const String link = root + L"shortcut";
    if (!makeLink(link, root + L"sub\\deep"))
        GTEST_SKIP() << "no directory link could be made here";
    const LinkRemover remover{link};
    ASSERT_TRUE(fileExists(link + L"\\f.jpg"));
    EXPECT_EQ(countFiles(root, ListFiles | Recurse), 7);
}

namespace {

// A share that Wine serves from its prefix ("dosdevices\unc\server\share"),
// removed with what was made for it.
class WineShare {
public:
    WineShare()
    {
        // Wine names the drive by its entry in "dosdevices" ("...\dosdevices\c:\").
        const UnixNameFunction unixName = wineUnixName();
        const std::wstring drive = unixName ? unixPath(unixName, String(L"C:\\")) : std::wstring();
        if (drive.size() < 2)
            return;
        const std::wstring devicesPath = drive.substr(0, drive.rfind(L'/', drive.size() - 2) + 1) + L"unc/";
        const String devices = L"Z:" + String(devicesPath.c_str()).replaceChar(L'/', L'\\');
        m_server = String::format(L"kestrola-test-%lu", GetCurrentProcessId());
        m_folder = devices + m_server;
        if (CreateDirectoryW(devices.c_str(), nullptr))
            m_madeDevices = devices;
        CreateDirectoryW(m_folder.c_str(), nullptr);
        if (!CreateDirectoryW((m_folder + L"\\share").c_str(), nullptr))
            m_server.clear();
    }
    ~WineShare()
    {
        if (!m_folder.isEmpty())
            removeTree(wide(m_folder));
        if (!m_madeDevices.isEmpty())
            RemoveDirectoryW(m_madeDevices.c_str());
    }

    // "\\server\share\"; empty when no share could be made.
    String root() const { return m_server.isEmpty() ? String() : L"\\\\" + m_server + L"\\share\\"; }

private:
    String m_server;
    String m_folder;
    String m_madeDevices;
};

} // namespace

TEST(FileSystem, CreatePathMakesFoldersBelowAShare)
{
    const WineShare share;
    if (share.root().isEmpty())
        GTEST_SKIP() << "no share to write to here";
    EXPECT_TRUE(createPath(share.root() + L"a\\b\\"));
    EXPECT_TRUE(directoryExists(share.root() + L"a\\b"));
    EXPECT_TRUE(createPath(L"\\\\?\\UNC\\" + share.root().mid(2) + L"c\\"));
    EXPECT_TRUE(directoryExists(share.root() + L"c"));
}
