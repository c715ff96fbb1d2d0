#include "graphics/BoundedFileStream.h"

#include "foundation/FileStream.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <string>

namespace {

std::string readSome(IStream* stream, ULONG count)
{
    std::string text(count, '\0');
    ULONG got = 0;
    stream->Read(text.data(), count, &got);
    text.resize(got);
    return text;
}

} // namespace

// A decoder handed the file by its name read whatever stood there by then:
// the stream reads the file the program opened, though its folder was
// renamed and another file put in its place, and lets it go with its
// holder, whatever references the decoder kept.
TEST(BoundedFileStream, ReadsTheOpenFileAndLetsItGo)
{
    TempFolder folder;
    folder.makeFolder(L"shown");
    const String path = folder.writeFile(L"shown\\image.bmp", bytesOf("checked"));
    const String moved = folder.file(L"moved");
    IStream* kept = nullptr;
    {
        FileInputStream file(path);
        const BoundedFileStream owner(file);
        ASSERT_NE(owner.stream(), nullptr);
        ASSERT_TRUE(MoveFileW(folder.file(L"shown").c_str(), moved.c_str()));
        folder.makeFolder(L"shown");
        folder.writeFile(L"shown\\image.bmp", bytesOf("swapped in"));
        STATSTG stat = {};
        ASSERT_EQ(owner.stream()->Stat(&stat, STATFLAG_NONAME), S_OK);
        EXPECT_EQ(stat.cbSize.QuadPart, 7u);
        EXPECT_EQ(readSome(owner.stream(), 4), "chec");
        ASSERT_EQ(owner.stream()->Clone(&kept), S_OK);
        EXPECT_EQ(readSome(kept, 9), "ked");
        LARGE_INTEGER start = {};
        ASSERT_EQ(kept->Seek(start, STREAM_SEEK_SET, nullptr), S_OK);
    }
    EXPECT_EQ(readSome(kept, 4), "");
    kept->Release();
    EXPECT_TRUE(DeleteFileW((moved + L"\\image.bmp").c_str()));
}
