// Measures the library at user sizes: saving and loading the library file
// (each against writing and reading the same bytes raw), finding every item
// by its path, and the work of a tag click. Run for 10,000 and 100,000
// items; the last column compares the large run with the small one.
#include "bench/BenchTiming.h"
#include "foundation/ByteArray.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/System.h"
#include "library/Database.h"
#include "library/LibraryModel.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

using namespace bench;

namespace {

// About 80 characters: 70% files with an extension, 20% without, 10%
// folders.
String itemPath(int n, std::mt19937& random)
{
    static const wchar_t* const extensions[] = {L"jpg", L"txt", L"mp3", L"docx", L"pdf", L"png", L"zip", L"cpp"};
    String path = String::format(L"C:\\Users\\benchmark\\Documents\\Archive %04d\\Projects %03d\\", n % 997, n % 113);
    const unsigned kind = random() % 10;
    if (kind == 0)
        return path + String::format(L"Collected folder number %07d\\", n);
    path += String::format(L"Recorded file number %07d", n);
    if (kind <= 2)
        return path;
    return path + L'.' + extensions[random() % 8];
}

// N items, N / 50 tags, three distinct tags per item.
void fillLibrary(LibraryModel& model, int itemCount)
{
    std::mt19937 random(20240509);
    const int tagCount = itemCount / 50;
    std::vector<Tag*> tags;
    for (int t = 0; t < tagCount; ++t)
        tags.push_back(model.addTagWithUsage(String::format(L"tag %05d", t), random() % 500, DateTime(2023, 5, 1)));
    for (int n = 0; n < itemCount; ++n) {
        TaggedItem* item = model.addItem(itemPath(n, random), random() % 1000, DateTime(2024, 1 + n % 12, 1 + n % 28));
        int linked[3] = {-1, -1, -1};
        for (int l = 0; l < 3;) {
            const int t = static_cast<int>(random() % static_cast<unsigned>(tagCount));
            if (t == linked[0] || t == linked[1])
                continue;
            linked[l++] = t;
            Tag::linkItem(tags[static_cast<std::size_t>(t)], item);
        }
    }
    model.recomputeTagUsage();
    model.recomputeItemUsage();
}

double timed(const std::function<void()>& work)
{
    const Clock::time_point start = Clock::now();
    work();
    return millisecondsSince(start);
}

// For each item, the positions of its tags.
std::vector<std::vector<int>> tagPositions(const LibraryModel& model)
{
    std::unordered_map<const Tag*, int> position;
    for (int t = 0; t < model.tagCount(); ++t)
        position[model.tags()[t]] = t;
    std::vector<std::vector<int>> links;
    for (const TaggedItem* item : model.items()) {
        links.emplace_back();
        for (const Tag* tag : item->tags())
            links.back().push_back(position[tag]);
    }
    return links;
}

// The same records added straight to a new model, as a load adds them.
void rebuildThroughModel(const LibraryModel& source, const std::vector<std::vector<int>>& links, LibraryModel& model)
{
    for (const TaggedItem* item : source.items())
        model.addItem(item->path(), item->usage(), item->date());
    for (const Tag* tag : source.tags())
        model.addTagWithUsage(tag->name(), tag->usage(), tag->date());
    for (int i = 0; i < model.itemCount(); ++i) {
        for (int t : links[static_cast<std::size_t>(i)])
            Tag::linkItem(model.tags()[t], model.items()[i]);
    }
}

// The items that carry both selected tags: what a tag click shows.
int itemsWithBoth(const Tag* a, const Tag* b)
{
    const Tag* fewer = a->itemCount() <= b->itemCount() ? a : b;
    const Tag* other = fewer == a ? b : a;
    int found = 0;
    for (const TaggedItem* item : fewer->items())
        found += item->hasTag(other) ? 1 : 0;
    return found;
}

struct Figures {
    std::map<std::string, double> ms;
};

void report(const char* what, int itemCount, double ms, const char* extra)
{
    printf("%-36s N=%6d: %10.2f ms %s\n", what, itemCount, ms, extra);
}

Figures run(int itemCount, const String& folder)
{
    Figures figures;
    LibraryModel model;
    const String path = folder + L"bench.database";
    deleteFile(path);
    Database database(&model);
    // Opening the missing file creates it and sets the path saves go to.
    database.openFile(path, true);
    fillLibrary(model, itemCount);

    bool saved = false;
    figures.ms["save"] = timed([&] { saved = database.save(true); });
    ByteArray bytes;
    bytes.fromFile(path);
    const double rawWrite = timed([&] {
        writeFileAtomically(folder + L"raw.bin", [&](FileOutputStream& stream) {
            return stream.write(bytes.data(), bytes.size()) == bytes.size();
        });
    });
    char extra[160];
    snprintf(extra, sizeof(extra), "(%d bytes, raw write %.2f ms, ratio %.1f%s)", bytes.size(), rawWrite,
             figures.ms["save"] / rawWrite, saved ? "" : ", FAILED");
    report("save", itemCount, figures.ms["save"], extra);

    bool loaded = false;
    figures.ms["load"] = timed([&] { loaded = database.openFile(path, true); });
    ByteArray again;
    const double rawRead = timed([&] { again.fromFile(folder + L"raw.bin"); });
    snprintf(extra, sizeof(extra), "(%d items, %d tags, raw read %.2f ms, ratio %.1f%s)", model.itemCount(),
             model.tagCount(), rawRead, figures.ms["load"] / rawRead, loaded ? "" : ", FAILED");
    report("load", itemCount, figures.ms["load"], extra);

    const std::vector<std::vector<int>> links = tagPositions(model);
    LibraryModel rebuilt;
    const double modelWork = timed([&] { rebuildThroughModel(model, links, rebuilt); });
    snprintf(extra, sizeof(extra), "(the model's share of a load: addItem, addTagWithUsage, linkItem)");
    report("load, model work alone", itemCount, modelWork, extra);
    figures.ms["load, model work alone"] = modelWork;

    int found = 0;
    figures.ms["findItemByPath, every item"] = timed([&] {
        for (TaggedItem* item : model.items())
            found += model.findItemByPath(item->path()) == item ? 1 : 0;
    });
    snprintf(extra, sizeof(extra), "(%d of %d found)", found, model.itemCount());
    report("findItemByPath, every item", itemCount, figures.ms["findItemByPath, every item"], extra);

    const Tag* a = model.tags()[0];
    const Tag* b = model.tags()[1];
    int both = 0;
    figures.ms["item filter of two tags"] = timed([&] { both = itemsWithBoth(a, b); });
    snprintf(extra, sizeof(extra), "(%d items)", both);
    report("item filter of two tags", itemCount, figures.ms["item filter of two tags"], extra);

    deleteFile(path);
    deleteFile(folder + L"raw.bin");
    return figures;
}

} // namespace

int main()
{
    const String folder = tempPath() + L"kestrola-library-bench\\";
    createPath(folder);
    const Figures small = run(10000, folder);
    const Figures large = run(100000, folder);
    printf("growth from 10,000 to 100,000 items (target at most 15x):\n");
    for (const auto& [what, ms] : large.ms) {
        const double before = small.ms.at(what);
        printf("  %-34s %8.1fx\n", what.c_str(), ms / (before > 0 ? before : 0.001));
    }
    removeDirectoryIfExists(folder);
    return 0;
}
