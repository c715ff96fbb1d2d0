// Measures the library at user sizes: saving and loading the library file
// (each against writing and reading the same bytes raw), finding every item
// by its path and its duplicates, the work of a tag click, and weighing
// every tag for the cloud. Runs 10,000 and 100,000 items and then compares
// the two runs; the library file also at 1,000,000 items, each figure of the
// file with the peak working set it reached.
#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"
#include "foundation/BinaryWriter.h"
#include "foundation/ByteArray.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/System.h"
#include "library/CloudMetrics.h"
#include "library/Database.h"
#include "library/LibraryModel.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

using namespace bench;

namespace {

using PathMaker = std::function<String(int, std::mt19937&)>;

// In the folder: 70% files with an extension, 20% without, 10% folders.
String itemIn(String path, int n, std::mt19937& random)
{
    static const wchar_t* const extensions[] = {L"jpg", L"txt", L"mp3", L"docx", L"pdf", L"png", L"zip", L"cpp"};
    const unsigned kind = random() % 10;
    if (kind == 0)
        return path + String::format(L"Collected folder number %07d\\", n);
    path += String::format(L"Recorded file number %07d", n);
    if (kind <= 2)
        return path;
    return path + L'.' + extensions[random() % 8];
}

// About 80 characters, in folders that do not exist: the disk answers for
// the first missing folder only.
String itemPath(int n, std::mt19937& random)
{
    return itemIn(String::format(L"C:\\Users\\benchmark\\Documents\\Archive %04d\\Projects %03d\\", n % 997,
                                 n % 113),
                  n, random);
}

// The folders of items on disk: 37 x 27 of them below the root.
String diskFolder(const String& root, int n)
{
    return root + String::format(L"Archive %02d\\Projects %02d\\", n % 37, n % 27);
}

// N items, N / 50 tags and three distinct tags per item. Tags are as
// unevenly popular as in real libraries: tag t is picked in proportion to
// 1 / (t + 1), so the first tags carry thousands of items.
void fillLibrary(LibraryModel& model, int itemCount, const PathMaker& makePath = itemPath)
{
    std::mt19937 random(20240509);
    const int tagCount = itemCount / 50;
    std::vector<Tag*> tags;
    std::vector<double> popularity;
    for (int t = 0; t < tagCount; ++t) {
        tags.push_back(model.addTagWithUsage(String::format(L"tag %05d", t), random() % 500, DateTime(2023, 5, 1)));
        popularity.push_back(1.0 / (t + 1));
    }
    std::discrete_distribution<int> pick(popularity.begin(), popularity.end());
    for (int n = 0; n < itemCount; ++n) {
        TaggedItem* item = model.addItem(makePath(n, random), random() % 1000, DateTime(2024, 1 + n % 12, 1 + n % 28));
        int linked[3] = {-1, -1, -1};
        for (int l = 0; l < 3;) {
            const int t = pick(random);
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

// The best of three runs, so that a short operation is not measured by one
// cold cache.
double bestOfThree(const std::function<void()>& work)
{
    double best = timed(work);
    for (int run = 1; run < 3; ++run)
        best = std::min(best, timed(work));
    return best;
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

// The same records added straight to a model, as a load adds them.
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

// The items that carry both selected tags: the item list of a tag click.
int itemsWithBoth(const Tag* a, const Tag* b)
{
    const Tag* fewer = a->itemCount() <= b->itemCount() ? a : b;
    const Tag* other = fewer == a ? b : a;
    int found = 0;
    for (const TaggedItem* item : fewer->items())
        found += item->hasTag(other) ? 1 : 0;
    return found;
}

// Every tag's weight and font size, as one cloud layout asks for them.
float weighAllTags(const LibraryModel& model)
{
    float sum = 0;
    for (const Tag* tag : model.tags())
        sum += model.tagWeight(tag) + model.tagFontSize(tag);
    return sum;
}

float weighAllTagsWithMetrics(const LibraryModel& model)
{
    const CloudMetrics metrics(model);
    float sum = 0;
    for (const Tag* tag : model.tags())
        sum += metrics.weight(tag) + metrics.fontSize(tag);
    return sum;
}

// The figures of one run, printed as they come, kept for the comparison.
class Run {
public:
    explicit Run(int itemCount) : m_itemCount(itemCount) {}

    // detail gets the time and describes the result.
    void measure(const char* what, const std::function<void()>& work, const std::function<std::string(double)>& detail)
    {
        const double ms = bestOfThree(work);
        m_ms[what] = ms;
        printf("%-46s N=%6d: %10.3f ms  %s\n", what, m_itemCount, ms, detail(ms).c_str());
    }

    const std::map<std::string, double>& figures() const { return m_ms; }

private:
    int m_itemCount;
    std::map<std::string, double> m_ms;
};

std::string text(const char* format, double a, double b = 0, double c = 0)
{
    char buffer[200];
    snprintf(buffer, sizeof(buffer), format, a, b, c);
    return buffer;
}

// A model and its library file component, for a load as at start-up.
struct Library {
    LibraryModel model;
    Database database{&model};
};

std::vector<std::unique_ptr<Library>> newLibraries()
{
    std::vector<std::unique_ptr<Library>> fresh;
    for (int i = 0; i < 3; ++i)
        fresh.push_back(std::make_unique<Library>());
    return fresh;
}

// Loads the file into three new models; detail gets the time and the item
// count of a load (-1 when it failed).
void measureLoad(Run& run, const char* what, const String& path,
                 const std::function<std::string(double, int)>& detail)
{
    std::vector<std::unique_ptr<Library>> fresh = newLibraries();
    int next = 0;
    bool done = false;
    run.measure(what, [&] { done = fresh[next++]->database.openFile(path, true); },
                [&](double ms) { return detail(ms, done ? fresh[0]->model.itemCount() : -1); });
}

std::uint64_t workingSet(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize;
}

// The highest working set while the work runs, against the one before it:
// sampled every millisecond from a thread of its own, and the process's own
// peak where the work raised it, which no sample can miss.
class WorkingSetPeak {
public:
    WorkingSetPeak() : m_before(workingSet(false)), m_peakBefore(workingSet(true)), m_highest(m_before)
    {
        m_watcher = std::thread([this] {
            while (!m_stop) {
                m_highest = std::max<std::uint64_t>(m_highest, workingSet(false));
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }

    ~WorkingSetPeak() { stop(); }

    std::uint64_t before() const { return m_before; }

    // "peak working set A MB, B MB above the C MB before"
    std::string stop()
    {
        if (m_watcher.joinable()) {
            m_stop = true;
            m_watcher.join();
            const std::uint64_t peak = workingSet(true);
            if (peak > m_peakBefore)
                m_highest = std::max<std::uint64_t>(m_highest, peak);
        }
        char line[120];
        snprintf(line, sizeof(line), "peak working set %.0f MB, %.0f MB above the %.0f MB before",
                 double(m_highest) / 1e6, double(m_highest - m_before) / 1e6, double(m_before) / 1e6);
        return line;
    }

private:
    std::uint64_t m_before;
    std::uint64_t m_peakBefore;
    std::atomic<std::uint64_t> m_highest;
    std::atomic<bool> m_stop = false;
    std::thread m_watcher;
};

// As Run::measure, with the peak working set of the runs after the detail.
void measureWatched(Run& run, const char* what, const std::function<void()>& work,
                    const std::function<std::string(double)>& detail)
{
    WorkingSetPeak peak;
    std::string memory;
    run.measure(what, work, [&](double ms) {
        memory = peak.stop();
        return detail(ms);
    });
    printf("%-46s %8s  %s\n", "", "", memory.c_str());
}

// In a process of its own, where no memory an earlier figure freed can be
// taken again unseen: one load and the working set it reached.
int loadOnce(const String& path)
{
    Library library;
    WorkingSetPeak peak;
    library.database.openFile(path, true);
    const std::string memory = peak.stop();
    printf("%-46s %8s  %s (one load of %d items in a process of its own; the model keeps %.0f MB)\n", "", "",
           memory.c_str(), library.model.itemCount(), double(workingSet(false) - peak.before()) / 1e6);
    return 0;
}

void loadInChild(const String& path)
{
    runSelf(L"load \"" + std::wstring(path.c_str()) + L"\"");
}

// The library's bytes from one pass of its writer straight into a file:
// the cost a save with something to write is held to.
bool writeOnce(Database& database, const String& path)
{
    return writeFileAtomically(path, [&](FileOutputStream& stream) {
        BinaryWriter writer(&stream);
        return writer.attach() && database.write(writer);
    });
}

// A save that finds nothing to write, and the check its replace adds: that
// the file is still the one it wrote (the checksum of the file's bytes).
void measureUnchangedSave(Run& run, Database& database)
{
    const FileIdentity before = FileSystem::identity(database.path());
    bool done = false;
    measureWatched(run, "save of an unchanged library", [&] { done = database.save(true); }, [&](double) {
        const bool untouched = done && FileSystem::identity(database.path()) == before;
        return text(untouched ? "(nothing written; the file holds %.0f bytes)" : "(WRITTEN OR FAILED; %.0f bytes)",
                    static_cast<double>(before.size));
    });
    std::optional<FileVersion> version;
    run.measure("content check of the library file", [&] { version = FileSystem::version(database.path()); },
                [&](double) { return text("(%.0f bytes read and summed)", version ? version->content.size : -1.0); });
}

// The library written once, a save with a change, one without and a load,
// each against the raw transfer of the same bytes, with the peak working
// set of each.
void measureFile(Run& run, LibraryModel& model, Database& database, const String& folder)
{
    const String raw = folder + L"raw.bin";
    bool done = false;
    measureWatched(run, "library written once", [&] { done = writeOnce(database, raw); }, [&](double) {
        return text("(%.0f bytes, %.0f items, one pass of the writer)", done ? FileSystem::fileSize(raw) : -1.0,
                    model.itemCount());
    });
    const double once = run.figures().at("library written once");
    ByteArray bytes;
    bytes.fromFile(raw);
    const auto writeAll = [&](FileOutputStream& s) { return s.write(bytes.data(), bytes.size()) == bytes.size(); };
    run.measure("raw write of the same bytes", [&] { done = writeFileAtomically(raw, writeAll); },
                [&](double) { return text("(%.0f bytes)", done ? bytes.size() : -1.0); });
    std::int64_t usage = 0;
    const auto saveAChange = [&] {
        model.tags()[0]->setUsage(++usage);
        done = database.save(true);
    };
    measureWatched(run, "save of a changed library", saveAChange, [&](double ms) {
        const double size = static_cast<double>(FileSystem::fileSize(database.path()));
        const bool same = done && size == bytes.size();
        return text(same ? "(%.0f bytes; against the library written once %.2f)" : "(FAILED OR %.0f BYTES; %.2f)",
                    size, ms / once);
    });

    measureUnchangedSave(run, database);

    measureLoad(run, "load", database.path(), [&](double ms, int items) {
        ByteArray again;
        const double rawRead = bestOfThree([&] { again.fromFile(raw); });
        return text("(%.0f items; raw read %.2f ms, ratio %.2f)", items, rawRead, ms / rawRead);
    });
    loadInChild(database.path());
    deleteFile(raw);
}

// The model's own part of a load: the same records added straight to it.
void measureModelAdding(Run& run, LibraryModel& model)
{
    const std::vector<std::vector<int>> links = tagPositions(model);
    std::vector<std::unique_ptr<Library>> fresh = newLibraries();
    int next = 0;
    run.measure("load: the model's adding alone", [&] { rebuildThroughModel(model, links, fresh[next++]->model); },
                [](double) { return std::string("(addItem, addTagWithUsage, linkItem of the same records)"); });
}

int itemsWithoutExtension(const LibraryModel& model)
{
    return static_cast<int>(std::count_if(model.items().begin(), model.items().end(), [](const TaggedItem* item) {
        return item->kind() == TaggedItem::Kind::File && item->extension().isEmpty();
    }));
}

void removeDiskFolders(const String& root)
{
    for (int n = 0; n < 37 * 27; ++n)
        removeDirectoryIfExists(diskFolder(root, n));
    for (int n = 0; n < 37; ++n)
        removeDirectoryIfExists(root + String::format(L"Archive %02d\\", n));
    removeDirectoryIfExists(root);
}

// The same load where the items' folders exist: each path without an
// extension then asks the disk whether it is a folder.
void measureLoadOnDisk(Run& run, int itemCount, const String& folder)
{
    const String root = folder + L"items\\";
    for (int n = 0; n < 37 * 27; ++n)
        createPath(diskFolder(root, n));
    const String path = folder + L"on-disk.database";
    {
        deleteFile(path);
        FileSystem::createEmpty(path);
        Library library;
        library.database.openFile(path, true);
        fillLibrary(library.model, itemCount,
                    [&](int n, std::mt19937& random) { return itemIn(diskFolder(root, n), n, random); });
        library.database.save(true);
    }
    const double synthetic = run.figures().at("load");
    Library probe;
    probe.database.openFile(path, true);
    const int asked = itemsWithoutExtension(probe.model);
    measureLoad(run, "load, the items' folders on disk", path, [&](double ms, int items) {
        return text("(%.0f items, %.0f without an extension; synthetic load ratio %.2f)", items, asked,
                    ms / synthetic);
    });
    deleteFile(path);
    removeDiskFolders(root);
}

void measureLookups(Run& run, LibraryModel& model)
{
    int found = 0;
    run.measure(
        "findItemByPath, every item",
        [&] {
            found = 0;
            for (TaggedItem* item : model.items())
                found += model.findItemByPath(item->path()) == item ? 1 : 0;
        },
        [&](double) { return text("(%.0f found)", found); });
    int groups = 0;
    run.measure("findDuplicateItems", [&] { groups = model.findDuplicateItems().count(); },
                [&](double) { return text("(%.0f groups)", groups); });
}

// The two tags that carry the most items, the most first: a click on the
// cloud's biggest words. The first-run tags carry none and never win.
PointerArray<Tag*> mostUsedTags(const LibraryModel& model)
{
    std::vector<Tag*> tags(model.tags().begin(), model.tags().end());
    const auto byItems = [](const Tag* a, const Tag* b) { return a->itemCount() > b->itemCount(); };
    std::partial_sort(tags.begin(), tags.begin() + std::min<std::size_t>(2, tags.size()), tags.end(), byItems);
    PointerArray<Tag*> selected;
    for (std::size_t t = 0; t < std::min<std::size_t>(2, tags.size()); ++t)
        selected.append(tags[t]);
    return selected;
}

void measureTagClick(Run& run, LibraryModel& model)
{
    const PointerArray<Tag*> selected = mostUsedTags(model);
    const auto related = [&](std::uint32_t mode) {
        model.setCollectMode(mode);
        PointerArray<Tag*> out;
        model.relatedTags(selected, out);
        return out.count();
    };
    int count = 0;
    run.measure("relatedTags of two tags, all (mode 0)", [&] { count = related(0); },
                [&](double) { return text("(%.0f tags; the tags carry %.0f and %.0f items)", count,
                                  selected[0]->itemCount(), selected[1]->itemCount()); });
    run.measure("relatedTags of two tags, any (mode 1)", [&] { count = related(1); },
                [&](double) { return text("(%.0f tags)", count); });
    int items = 0;
    run.measure("item filter of two tags", [&] { items = itemsWithBoth(selected[0], selected[1]); },
                [&](double) { return text("(%.0f items)", items); });
    run.measure("tag click: relatedTags (mode 0) + item filter",
                [&] { count = related(0) + itemsWithBoth(selected[0], selected[1]); },
                [&](double) { return text("(target at most 10 ms; the tags carry %.0f and %.0f items)",
                                          selected[0]->itemCount(), selected[1]->itemCount()); });
}

void measureWeights(Run& run, LibraryModel& model)
{
    float sum = 0;
    model.setWeightMethod(CloudMetrics::ByUsage);
    run.measure("weights and sizes of all tags, by usage", [&] { sum = weighAllTags(model); },
                [&](double) { return text("(sum %.1f)", sum); });
    model.setWeightMethod(CloudMetrics::ByItemCount);
    run.measure("weights and sizes of all tags, by items", [&] { sum = weighAllTags(model); },
                [&](double) { return text("(sum %.1f)", sum); });
    run.measure("the same through one CloudMetrics", [&] { sum = weighAllTagsWithMetrics(model); },
                [&](double) { return text("(sum %.1f)", sum); });
}

// Library::database saves to the path: opening an empty file there sets
// it. An empty file opens as a first run, so the model also holds the
// first-run content: the tags "Desktop" and "Recent" without items, and their
// scan rules.
std::unique_ptr<Library> filledLibrary(int itemCount, const String& path)
{
    deleteFile(path);
    FileSystem::createEmpty(path);
    auto library = std::make_unique<Library>();
    library->database.openFile(path, true);
    fillLibrary(library->model, itemCount);
    return library;
}

Run runAt(int itemCount, const String& folder)
{
    Run run(itemCount);
    const String path = folder + L"bench.database";
    const std::unique_ptr<Library> library = filledLibrary(itemCount, path);
    LibraryModel& model = library->model;
    measureFile(run, model, library->database, folder);
    measureModelAdding(run, model);
    measureLoadOnDisk(run, itemCount, folder);
    measureLookups(run, model);
    measureTagClick(run, model);
    measureWeights(run, model);
    deleteFile(path);
    return run;
}

// The library file alone, at a size where the rest would take minutes.
Run fileRunAt(int itemCount, const String& folder)
{
    Run run(itemCount);
    const String path = folder + L"bench.database";
    const std::unique_ptr<Library> library = filledLibrary(itemCount, path);
    measureFile(run, library->model, library->database, folder);
    deleteFile(path);
    return run;
}

void printFileSummary(const std::vector<std::pair<int, Run>>& runs)
{
    printf("the library file, ms (ratio to the library written once):\n");
    for (const char* what : {"library written once", "save of a changed library", "save of an unchanged library",
                             "load"}) {
        printf("  %-30s", what);
        for (const auto& [items, run] : runs) {
            const double ms = run.figures().at(what);
            printf("  N=%7d %9.1f (%4.2f)", items, ms, ms / run.figures().at("library written once"));
        }
        printf("\n");
    }
}

} // namespace

// With the argument "file", only the library file's figures, at every size;
// with "load" and a path (ASCII), one load of that file.
int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "load")
        return loadOnce(String::fromUtf8(argv[2]));
    const String folder = tempPath() + L"kestrola-library-bench\\";
    createPath(folder);
    if (argc > 1 && std::string(argv[1]) == "file") {
        printFileSummary({{10000, fileRunAt(10000, folder)},
                          {100000, fileRunAt(100000, folder)},
                          {1000000, fileRunAt(1000000, folder)}});
        removeDirectoryIfExists(folder);
        return 0;
    }
    const Run small = runAt(10000, folder);
    const Run large = runAt(100000, folder);
    printf("growth from 10,000 to 100,000 items (target at most 15x):\n");
    for (const auto& [what, ms] : large.figures()) {
        const double before = small.figures().at(what);
        printf("  %-46s %8.1fx\n", what.c_str(), ms / (before > 0 ? before : 0.001));
    }
    printFileSummary({{10000, small}, {100000, large}, {1000000, fileRunAt(1000000, folder)}});
    removeDirectoryIfExists(folder);
    return 0;
}
