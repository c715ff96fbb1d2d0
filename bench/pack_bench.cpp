// Measures opening a data pack of the size the program ships (about 20,000
// files, 50 MB) from its file, against a raw read of the same bytes and an
// open of those bytes from memory. Each figure is the best of a few runs,
// so the file is in the system's cache for all of them.
#include "bench/BenchTiming.h"
#include "foundation/ByteArray.h"
#include "foundation/DataPack.h"
#include "foundation/FileSystem.h"
#include "foundation/System.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

using namespace bench;

namespace {

constexpr int folderCount = 200;
constexpr int filesPerFolder = 100;
constexpr int sourceCount = 64;
constexpr int runs = 5;

// Source files of 200 bytes to 5.2 KB, so the pack averages about 2.7 KB a
// file like the shipped one.
bool writeSources(const String& folder)
{
    std::mt19937 random(11);
    for (int i = 0; i < sourceCount; ++i) {
        ByteArray bytes;
        bytes.resize(200 + (5000 * i) / (sourceCount - 1));
        for (int b = 0; b < bytes.size(); ++b)
            bytes.data()[b] = static_cast<std::uint8_t>(random());
        if (!bytes.saveToFile(folder + String::format(L"source%d.bin", i)))
            return false;
    }
    return true;
}

bool buildPack(const String& folder, const String& packPath)
{
    if (!writeSources(folder))
        return false;
    DataPack pack;
    for (int f = 0; f < folderCount; ++f) {
        const String folderName = String::format(L"images/set%d", f);
        for (int i = 0; i < filesPerFolder; ++i) {
            const String source = folder + String::format(L"source%d.bin", (f * filesPerFolder + i) % sourceCount);
            if (!pack.addFile(source, folderName, String::format(L"image%d.png", i)))
                return false;
        }
    }
    return pack.saveFile(packPath);
}

// The best of a few runs of work on a new object each time; the object is
// destroyed outside the timing, as a program loading its packs at start-up
// does not free anything first.
template <typename Object>
double bestOf(const std::function<bool(Object&)>& work, bool& ok)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        auto object = std::make_unique<Object>();
        const Clock::time_point start = Clock::now();
        ok = work(*object) && ok;
        best = std::min(best, millisecondsSince(start));
    }
    return best;
}

bool isWhole(const DataPack& pack)
{
    return pack.fileCount() == folderCount * filesPerFolder;
}

void removeFolder(const String& folder, const String& packPath)
{
    deleteFile(packPath);
    for (int i = 0; i < sourceCount; ++i)
        deleteFile(folder + String::format(L"source%d.bin", i));
    removeDirectoryIfExists(folder);
}

} // namespace

int main()
{
    const String folder = tempPath() + String::format(L"kestrola_pack_bench_%u\\", randomUuidWord());
    const String packPath = folder + L"bench.pak";
    if (!createPath(folder) || !buildPack(folder, packPath)) {
        printf("could not build the pack in %ls\n", folder.c_str());
        removeFolder(folder, packPath);
        return 1;
    }
    bool ok = true;
    // Into new memory, like the pack's own entries; and, for comparison, into
    // one buffer that earlier reads have already touched.
    const double rawMs = bestOf<ByteArray>([&](ByteArray& bytes) { return bytes.fromFile(packPath); }, ok);
    ByteArray bytes;
    const double reusedMs = bestOf<int>([&](int&) { return bytes.fromFile(packPath); }, ok);
    const double memoryMs = bestOf<DataPack>(
        [&](DataPack& pack) { return pack.openMemory(bytes.data(), bytes.size()) && isWhole(pack); }, ok);
    const double fileMs =
        bestOf<DataPack>([&](DataPack& pack) { return pack.openFile(packPath) && isWhole(pack); }, ok);
    printf("pack of %d files, %.1f MB: openFile %.2f ms, raw read %.2f ms (into a reused buffer %.2f ms), "
           "openMemory %.2f ms; openFile / raw read %.2f, openFile / openMemory %.2f, all opened: %s\n",
           folderCount * filesPerFolder, bytes.size() / 1048576.0, fileMs, rawMs, reusedMs, memoryMs, fileMs / rawMs,
           fileMs / memoryMs, ok ? "yes" : "NO");
    removeFolder(folder, packPath);
    return ok ? 0 : 1;
}
