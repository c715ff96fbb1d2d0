#pragma once

// Libraries to look at and to measure: tags of varied usage and items that
// each carry one or two of them, from a fixed seed so every run writes the
// same library. Shared by the benchmarks and the sample-library demo (no
// test framework here).

#include "foundation/FileSystem.h"
#include "library/Database.h"
#include "library/LibraryModel.h"

#include <functional>
#include <random>

struct SampleLibraryShape {
    int itemCount = 0;
    int tagCount = 0;
    std::function<String(int)> tagName;
    std::function<String(int)> itemPath;
};

// Adds the tags (usage 0 to 39) and the items (usage 0 to 9), each item
// linked to one or two tags picked at random, and recounts the tag usages.
inline void addSampleContent(LibraryModel& model, const SampleLibraryShape& shape)
{
    std::mt19937 random(7);
    PointerArray<Tag*> tags;
    for (int t = 0; t < shape.tagCount; ++t)
        tags.append(model.addTagWithUsage(shape.tagName(t), static_cast<int>(random() % 40), DateTime::currentUtc()));
    for (int i = 0; i < shape.itemCount && shape.tagCount > 0; ++i) {
        TaggedItem* item = model.addItem(shape.itemPath(i), static_cast<int>(random() % 10), DateTime::currentUtc());
        const int first = static_cast<int>(random() % unsigned(shape.tagCount));
        const int second = static_cast<int>(random() % unsigned(shape.tagCount));
        Tag::linkItem(tags[first], item);
        if (second != first)
            Tag::linkItem(tags[second], item);
    }
    model.recomputeTagUsage();
}

// Saves the model to the default library file of the running Application,
// replacing the one there; false when it could not be written there. The old
// file goes first: a save keeps a library this run did not read and writes
// beside it instead.
inline bool saveAsDefaultLibrary(LibraryModel& model)
{
    FileSystem::remove(Database::defaultPath());
    Database database(&model);
    return database.save(true) && database.besidePath().isEmpty();
}
