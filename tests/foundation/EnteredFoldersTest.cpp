#include "foundation/EnteredFolders.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// Identities by path, index 0 where a redirector gives none; the paths
// asked, in order.
std::map<std::wstring, std::uint64_t> fakeIndices;
std::vector<std::wstring> askedPaths;

std::optional<FileId> fakeIdentity(const String& folder)
{
    askedPaths.push_back(wide(folder));
    const auto found = fakeIndices.find(wide(folder));
    if (found == fakeIndices.end())
        return std::nullopt;
    return FileId{7, 0, found->second};
}

class EnteredFoldersTest : public ::testing::Test {
protected:
    EnteredFoldersTest()
    {
        fakeIndices = {{L"r\\", 1}, {L"r\\a\\", 2}, {L"r\\a\\b\\", 3}, {L"r\\c\\", 4}, {L"r\\link\\", 3},
                       {L"r\\zero1\\", 0}, {L"r\\zero2\\", 0}, {L"r\\zeroLink\\", 0}};
        askedPaths.clear();
    }

    EnteredFolders entered{fakeIdentity};
};

} // namespace

// The folders passed before the first link are read back exactly when it
// comes, and the link to one of them is not entered.
TEST_F(EnteredFoldersTest, FoldersPassedBeforeTheFirstLinkAreChecked)
{
    for (const wchar_t* folder : {L"r\\", L"r\\a\\", L"r\\a\\b\\", L"r\\c\\"})
        EXPECT_TRUE(entered.enter(folder, false));
    EXPECT_TRUE(askedPaths.empty()) << "no identity is read before a link";
    EXPECT_FALSE(entered.enter(L"r\\link\\", true));
    EXPECT_EQ(askedPaths, (std::vector<std::wstring>{L"r\\", L"r\\a\\", L"r\\a\\b\\", L"r\\c\\", L"r\\link\\"}));
    EXPECT_FALSE(entered.enter(L"r\\a\\", false));
}

// An index of 0 used to count as an identity, so the second folder that had
// it was skipped without a word.
TEST_F(EnteredFoldersTest, FoldersWithoutAnIdentityAreEnteredAndLinksWithoutOneAreNot)
{
    EXPECT_TRUE(entered.enter(L"r\\", false));
    EXPECT_FALSE(entered.enter(L"r\\link\\missing\\", true)) << "an unreadable link";
    EXPECT_TRUE(entered.enter(L"r\\zero1\\", false));
    EXPECT_TRUE(entered.enter(L"r\\zero2\\", false));
    EXPECT_TRUE(entered.enter(L"r\\zero1\\", false));
    EXPECT_FALSE(entered.enter(L"r\\zeroLink\\", true));
    EXPECT_TRUE(entered.enter(L"r\\c\\", false));
    EXPECT_FALSE(entered.enter(L"r\\c\\", false));
}
