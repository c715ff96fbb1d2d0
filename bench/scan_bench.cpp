// Measures the scanner against the bare walk it rests on: a tree of N files
// in N / 20 folders (two levels of subfolders) in a temp folder, walked
// with FindFirstFileExW alone, then scanned by a rule that matches names by
// words and assigns two tags, then merged into a library that already holds
// N other items. Run for 10,000 and 50,000 files; the last lines compare
// the large run with the small one.
#include "bench/BenchTiming.h"
#include "foundation/FileSystem.h"
#include "foundation/System.h"
#include "library/LibraryModel.h"
#include "library/Scanner.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

using namespace bench;

namespace {

const wchar_t* const nameWords[] = {L"Holiday", L"report", L"Invoice", L"trip2010", L"family", L"Scan",
                                    L"draft",   L"Budget", L"notes",    L"TripPlan", L"photo",  L"backup"};
const wchar_t* const extensions[] = {L"jpg", L"TXT", L"mp3", L"docx", L"pdf", L"Png", L"zip", L"cpp", L"xlsx"};

// Root, then a tenth of the folders at the first level, each with nine
// subfolders; every folder gets its share of the files.
std::vector<String> makeTree(const String& root, int fileCount)
{
    const int folderCount = std::max(10, fileCount / 20);
    std::vector<String> folders;
    for (int top = 0; top < folderCount / 10; ++top) {
        const String first = root + String::format(L"Album %03d %ls\\", top, nameWords[top % 12]);
        CreateDirectoryW(first.c_str(), nullptr);
        folders.push_back(first);
        for (int sub = 0; sub < 9; ++sub) {
            const String second = first + String::format(L"%ls part %d\\", nameWords[(top + sub) % 12], sub);
            CreateDirectoryW(second.c_str(), nullptr);
            folders.push_back(second);
        }
    }
    std::mt19937 random(20261207);
    for (int n = 0; n < fileCount; ++n) {
        const String& folder = folders[static_cast<std::size_t>(n) % folders.size()];
        const String path = folder + String::format(L"%ls %ls %05d.%ls", nameWords[random() % 12],
                                                    nameWords[random() % 12], n, extensions[random() % 9]);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return folders;
}

void removeTree(const String& root, const std::vector<String>& folders)
{
    std::vector<FileEntry> entries;
    listFileEntries(entries, root, ListFiles | Recurse);
    for (const FileEntry& entry : entries)
        deleteFile(entry.path);
    for (auto folder = folders.rbegin(); folder != folders.rend(); ++folder)
        removeDirectoryIfExists(*folder);
    removeDirectoryIfExists(root);
}

// Every entry of the tree, with nothing built but the folder names to
// descend into.
long bareWalk(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    long count = 0;
    do {
        const wchar_t* name = data.cFileName;
        if (name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0)))
            continue;
        ++count;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            count += bareWalk(folder + name + L'\\');
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return count;
}

double bestOf(int runs, const std::function<void()>& work)
{
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const Clock::time_point start = Clock::now();
        work();
        best = std::min(best, millisecondsSince(start));
    }
    return best;
}

ScanRule wordRule(const String& root)
{
    ScanRule rule;
    rule.setScanPath(root);
    rule.filter().addKind(Filter::Files);
    StringList tags;
    tags.append(String(L"found"));
    tags.append(String(L"scanned"));
    rule.assignableTags().setNames(tags);
    StringList words;
    words.append(String(L"holiday"));
    words.append(String(L"trip"));
    words.append(String(L"budget"));
    rule.searchWords().setNames(words);
    rule.setWholeWords(true);
    return rule;
}

struct Figures {
    double walk;
    double scan;
    double merge;
};

Figures measure(int fileCount)
{
    const String root = specialFolderPath(SpecialFolder::Temp) + String::format(L"kestrola-scan-bench-%d\\", fileCount);
    CreateDirectoryW(root.c_str(), nullptr);
    const std::vector<String> folders = makeTree(root, fileCount);
    bareWalk(std::wstring(root.view()));

    Figures figures{};
    long walked = 0;
    figures.walk = bestOf(3, [&] { walked = bareWalk(std::wstring(root.view())); });

    ScanRule rule = wordRule(root);
    List<ScanRule*> rules;
    rules.append(&rule);
    PointerArray<Tag*> tags;
    PointerArray<TaggedItem*> items;
    figures.scan = bestOf(3, [&] {
        Scanner::deleteResults(tags, items);
        Scanner scanner(nullptr, tags, items);
        scanner.scan(rules, true, false);
    });

    LibraryModel model;
    for (int n = 0; n < fileCount; ++n)
        model.addItem(String::format(L"C:\\Library\\Elsewhere %03d\\kept item %06d.jpg", n % 500, n), 0, DateTime());
    const Clock::time_point start = Clock::now();
    model.addScannedItems(items, true);
    figures.merge = millisecondsSince(start);

    printf("N = %6d: %ld entries walked, %d items and %d tags found, library now %d items\n", fileCount, walked,
           items.count(), tags.count(), model.itemCount());
    printf("  (a) bare walk   %9.2f ms\n  (b) scan rule   %9.2f ms\n  (c) merge       %9.2f ms\n"
           "  (b)/(a)         %9.2f (target <= 1.5)\n",
           figures.walk, figures.scan, figures.merge, figures.scan / figures.walk);
    Scanner::deleteResults(tags, items);
    removeTree(root, folders);
    return figures;
}

} // namespace

int main()
{
    const Figures small = measure(10000);
    const Figures large = measure(50000);
    printf("50,000 against 10,000 (target <= 7.5): walk %.2f, scan %.2f, merge %.2f\n", large.walk / small.walk,
           large.scan / small.scan, large.merge / small.merge);
    return 0;
}
