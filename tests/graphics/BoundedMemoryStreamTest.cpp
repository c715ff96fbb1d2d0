#include "graphics/BoundedMemoryStream.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objidl.h>

#include <cstdint>
#include <string>
#include <utility>

namespace {

// Reads up to count bytes; the text read and the call's result.
std::pair<std::string, HRESULT> readSome(IStream* stream, ULONG count)
{
    std::string text(count, '\0');
    ULONG got = 0;
    const HRESULT result = stream->Read(text.data(), count, &got);
    text.resize(got);
    return {text, result};
}

// The call's result and the position it gives.
std::pair<HRESULT, std::uint64_t> seek(IStream* stream, std::int64_t move, DWORD origin)
{
    LARGE_INTEGER distance;
    distance.QuadPart = move;
    ULARGE_INTEGER at = {};
    const HRESULT result = stream->Seek(distance, origin, &at);
    return {result, at.QuadPart};
}

} // namespace

// Decoders seek as far as a damaged length field says; every read stays
// inside the bytes given.
TEST(BoundedMemoryStream, ReadsNeverLeaveTheBytes)
{
    const std::string bytes = "abcdef";
    const BoundedMemoryStream owner(bytes.data(), bytes.size());
    IStream* stream = owner.stream();
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(readSome(stream, 4), std::make_pair(std::string("abcd"), S_OK));
    EXPECT_EQ(readSome(stream, 4), std::make_pair(std::string("ef"), S_FALSE));
    EXPECT_EQ(seek(stream, 0x7FFFFFF0, STREAM_SEEK_SET), std::make_pair(S_OK, std::uint64_t(0x7FFFFFF0)));
    EXPECT_EQ(readSome(stream, 4), std::make_pair(std::string(), S_FALSE));
    EXPECT_NE(seek(stream, -0x7FFFFFFF, STREAM_SEEK_CUR).first, S_OK);
    EXPECT_NE(seek(stream, INT64_MAX, STREAM_SEEK_CUR).first, S_OK);
    EXPECT_EQ(seek(stream, -2, STREAM_SEEK_END), std::make_pair(S_OK, std::uint64_t(4)));
    EXPECT_EQ(readSome(stream, 9), std::make_pair(std::string("ef"), S_FALSE));
    STATSTG stat = {};
    EXPECT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 6u);
    ULONG written = 1;
    EXPECT_NE(stream->Write("x", 1, &written), S_OK);
    EXPECT_EQ(written, 0u);
}

// A reference a decoder kept reads nothing once the owner is gone.
TEST(BoundedMemoryStream, KeptReferencesAndClonesAreCutOffWithTheOwner)
{
    std::string bytes = "abcdef";
    IStream* kept = nullptr;
    IStream* clone = nullptr;
    {
        const BoundedMemoryStream owner(bytes.data(), bytes.size());
        ASSERT_EQ(owner.stream()->QueryInterface(__uuidof(IStream), reinterpret_cast<void**>(&kept)), S_OK);
        EXPECT_EQ(readSome(kept, 2).first, "ab");
        ASSERT_EQ(kept->Clone(&clone), S_OK);
        EXPECT_EQ(readSome(clone, 2).first, "cd");
    }
    EXPECT_EQ(readSome(kept, 2), std::make_pair(std::string(), S_FALSE));
    EXPECT_EQ(readSome(clone, 2), std::make_pair(std::string(), S_FALSE));
    kept->Release();
    clone->Release();
}

// Stat used to give no name when one was asked for, and Read wrote through
// a null buffer.
TEST(BoundedMemoryStream, StatGivesANameWhenAskedAndReadRefusesANullBuffer)
{
    const std::string bytes = "abc";
    const BoundedMemoryStream owner(bytes.data(), bytes.size());
    STATSTG stat = {};
    ASSERT_EQ(owner.stream()->Stat(&stat, STATFLAG_DEFAULT), S_OK);
    ASSERT_NE(stat.pwcsName, nullptr);
    EXPECT_EQ(stat.pwcsName[0], 0);
    CoTaskMemFree(stat.pwcsName);
    ULONG read = 1;
    EXPECT_EQ(owner.stream()->Read(nullptr, 2, &read), STG_E_INVALIDPOINTER);
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(readSome(owner.stream(), 3).first, "abc");
}
