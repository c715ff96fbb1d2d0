#pragma once

// Shared pieces of the tag library's tests: recording hooks, fixtures with
// a model the shell reaches, a temp tree for the scanner, and a check that
// every link of a model is two-sided.

#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Settings.h"
#include "graphics/Bitmap.h"
#include "library/LibraryModel.h"
#include "library/Scanner.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

// Two lower-case paths whose CRC-32 values are equal.
inline const wchar_t* const collidingPathA = L"c:\\music\\191.mp3";
inline const wchar_t* const collidingPathB = L"c:\\music\\50236140.mp3";

// Installed for its lifetime: the shell answers every icon, thumbnail and
// image request with a fresh opaque Bitmap of the asked size (the images
// by name: 16 or 48 by their name), keeps its own settings store, and
// records icon requests, message boxes, status changes and the cursor.
class FakeLibraryHooks : public UiHooks, public ShellHooks {
public:
    FakeLibraryHooks()
    {
        setUiHooks(this);
        setShellHooks(this);
    }
    ~FakeLibraryHooks() override
    {
        setUiHooks(nullptr);
        setShellHooks(nullptr);
    }

    bool shellFileIcon(const String& path, int size, Bitmap& image) override
    {
        iconRequests.push_back(wide(path));
        return answer(answerIcons, size, image);
    }
    bool shellThumbnail(const String&, int size, Bitmap& image) override
    {
        return answer(answerThumbnails, size, image);
    }
    bool imageByName(const String& name, Bitmap& image) override
    {
        return answer(true, name.contains(String(L"16x16")) ? 16 : 48, image);
    }
    int information(const String&, const String& text, const String&, int, int) override
    {
        boxes.push_back(wide(text));
        return 0;
    }

    LibraryModel* libraryModel() override
    {
        ++modelRequests;
        return model;
    }
    void reloadTagCloudBackground() override { ++backgroundReloads; }
    Settings& settings() override { return store; }
    void setStatus(int state) override { statuses.push_back(state); }
    void setOverrideCursor(int) override { ++cursorDepth; }
    void restoreOverrideCursor() override { --cursorDepth; }

    std::vector<std::wstring> iconRequests;
    std::vector<std::wstring> boxes;
    std::vector<int> statuses;
    bool answerIcons = true;
    bool answerThumbnails = false;
    int backgroundReloads = 0;
    int cursorDepth = 0;
    int modelRequests = 0;
    LibraryModel* model = nullptr;
    Settings store{String(), String(), Settings::NoLocation, Settings::NoFormat};

private:
    static bool answer(bool answers, int size, Bitmap& image)
    {
        if (answers)
            image = Bitmap(size, size, true);
        return answers;
    }
};

// Every link seen from the tag is seen from the item as often, and every
// linked record belongs to the model.
inline void expectLinksTwoSided(const LibraryModel& model)
{
    for (Tag* tag : model.tags()) {
        for (TaggedItem* item : tag->items()) {
            ASSERT_TRUE(model.containsItem(item)) << wide(tag->name());
            const auto fromTag = std::count(tag->items().begin(), tag->items().end(), item);
            const auto fromItem = std::count(item->tags().begin(), item->tags().end(), tag);
            EXPECT_EQ(fromTag, fromItem) << wide(tag->name()) << L" / " << wide(item->path());
        }
    }
    for (TaggedItem* item : model.items()) {
        for (Tag* tag : item->tags()) {
            ASSERT_TRUE(model.containsTag(tag)) << wide(item->path());
            EXPECT_TRUE(tag->hasItem(item)) << wide(tag->name()) << L" / " << wide(item->path());
        }
    }
}

// A path that names nothing on any machine, so setPath decides by its text.
inline String missingPath(const std::wstring& tail)
{
    return String((L"Z:\\kestrola-missing\\" + tail).c_str());
}

inline std::vector<std::wstring> tagNamesOf(const PointerArray<Tag*>& tags)
{
    std::vector<std::wstring> names;
    for (const Tag* tag : tags)
        names.push_back(wide(tag->name()));
    return names;
}

template <typename T>
std::vector<T*> vectorOf(const PointerArray<T*>& array)
{
    return std::vector<T*>(array.begin(), array.end());
}

// A model installed as the shell's and a temp tree.
class LibraryFixture : public ::testing::Test {
protected:
    LibraryFixture() { hooks.model = &model; }

    TaggedItem* item(const String& path, std::int64_t usage = 0, const DateTime& date = DateTime())
    {
        return model.addItem(path, usage, date);
    }
    Tag* tag(const String& name, std::int64_t usage, std::initializer_list<TaggedItem*> items)
    {
        Tag* made = model.addTagWithUsage(name, usage, DateTime());
        for (TaggedItem* linked : items)
            Tag::linkItem(made, linked);
        return made;
    }

    FakeLibraryHooks hooks;
    LibraryModel model;
    TempFolder tree;
};

// Scans over the tree, with result arrays that the fixture frees.
class ScanFixture : public LibraryFixture {
protected:
    ~ScanFixture() override { Scanner::deleteResults(resultTags, resultItems); }

    // Writes an empty file (path relative to the tree, '\' separated) whose
    // last-write time lies hoursOld hours back.
    String file(const wchar_t* relative, double hoursOld = 0) const
    {
        const String path = tree.writeFile(relative, Bytes());
        const auto back = static_cast<std::uint64_t>(hoursOld * 36000000000.0);
        FileSystem::setFileTime(path, DateTime::fromFileTime(DateTime::currentUtc().toFileTime() - back), false);
        return path;
    }
    String folder(const wchar_t* relative) const { return tree.makeFolder(relative); }

    // A checked automatic-free rule over the tree giving the names.
    ScanRule rule(const std::vector<const wchar_t*>& names, int kind = Filter::Files) const
    {
        ScanRule made;
        made.setScanPath(tree.path());
        made.assignableTags().setNames(listOf(names));
        made.filter().addKind(kind);
        made.setHasContentCondition(false);
        return made;
    }

    bool scan(std::initializer_list<ScanRule*> rules, bool silent = true, bool clearBeforeScan = false)
    {
        List<ScanRule*> list;
        for (ScanRule* one : rules)
            list.append(one);
        Scanner scanner(&model, resultTags, resultItems);
        return scanner.scan(list, silent, clearBeforeScan);
    }

    // The result paths of the rule alone, relative to the tree.
    std::set<std::wstring> foundBy(ScanRule& one)
    {
        Scanner::deleteResults(resultTags, resultItems);
        scan({&one});
        std::set<std::wstring> paths;
        for (const TaggedItem* found : resultItems)
            paths.insert(wide(found->path().mid(tree.path().length())));
        return paths;
    }

    PointerArray<Tag*> resultTags;
    PointerArray<TaggedItem*> resultItems;
};
