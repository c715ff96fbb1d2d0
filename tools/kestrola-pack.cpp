// Builds and unpacks the program's data packs and style files:
//   kestrola-pack pack <folder> <file.pak>
//   kestrola-pack extract <file.pak> <folder>
// Exit codes: 0 done, 1 failed, 2 wrong arguments.

#include "foundation/DataPack.h"
#include "foundation/String.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// The full path, so that relative arguments work from any folder.
String fullPath(const wchar_t* path)
{
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0)
        return {};
    std::vector<wchar_t> buffer(needed + 1);
    const DWORD length = GetFullPathNameW(path, static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    if (length == 0 || length >= buffer.size())
        return {};
    return String(buffer.data(), static_cast<int>(length));
}

int usage()
{
    std::fwprintf(stderr, L"usage: kestrola-pack pack <folder> <file.pak>\n"
                          L"       kestrola-pack extract <file.pak> <folder>\n");
    return 2;
}

int runPack(const String& folder, const String& pack)
{
    int count = 0;
    if (!packFolder(folder, pack, count)) {
        std::fwprintf(stderr, L"kestrola-pack: cannot pack \"%ls\" into \"%ls\"\n", folder.c_str(), pack.c_str());
        return 1;
    }
    std::wprintf(L"%d files packed into %ls\n", count, pack.c_str());
    return 0;
}

int runExtract(const String& pack, const String& folder)
{
    int count = 0;
    if (!extractPack(pack, folder, count)) {
        std::fwprintf(stderr, L"kestrola-pack: cannot extract \"%ls\" into \"%ls\" (%d files written)\n",
                      pack.c_str(), folder.c_str(), count);
        return 1;
    }
    std::wprintf(L"%d files extracted into %ls\n", count, folder.c_str());
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4)
        return usage();
    const String command(argv[1]);
    const String first = fullPath(argv[2]);
    const String second = fullPath(argv[3]);
    if (first.isEmpty() || second.isEmpty())
        return usage();
    if (command == L"pack")
        return runPack(first, second);
    if (command == L"extract")
        return runExtract(first, second);
    return usage();
}
