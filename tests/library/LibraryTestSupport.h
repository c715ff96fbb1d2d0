#pragma once

// Shared pieces of the tag library's tests: image and shell hooks that
// answer with small recorded Bitmaps, and a check that every link of a
// model is two-sided.

#include "foundation/Hooks.h"
#include "graphics/Bitmap.h"
#include "library/LibraryModel.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

// Installed for its lifetime: the shell answers every icon, thumbnail and
// image request with a fresh opaque Bitmap of the asked size (the images
// by name: 16 or 48 by their name) and records what was asked.
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
        if (!answerIcons)
            return false;
        image = Bitmap(size, size, true);
        return true;
    }

    bool shellThumbnail(const String&, int size, Bitmap& image) override
    {
        if (!answerThumbnails)
            return false;
        image = Bitmap(size, size, true);
        return true;
    }

    bool imageByName(const String& name, Bitmap& image) override
    {
        const int size = name.contains(String(L"16x16")) ? 16 : 48;
        image = Bitmap(size, size, true);
        return true;
    }

    LibraryModel* libraryModel() override { return model; }
    void reloadTagCloudBackground() override { ++backgroundReloads; }

    std::vector<std::wstring> iconRequests;
    bool answerIcons = true;
    bool answerThumbnails = false;
    int backgroundReloads = 0;
    LibraryModel* model = nullptr;
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
