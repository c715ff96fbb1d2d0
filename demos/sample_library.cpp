// Writes a sample library for looking at the program: items and tags with
// varied usage into the program's own application-data folder, and the
// names of the tags to select at the next start into its settings.
//
//   sample_library.exe [items] [tags] [selected tag names, joined with "|"]
//
// Any library and settings there are replaced. It refuses while the program
// runs in the same Wine prefix: the program reads them only at its start,
// and at its exit it would find them changed under it.

#include "app/SettingsSchema.h"
#include "devkit/SampleLibrary.h"
#include "foundation/Application.h"
#include "foundation/Settings.h"

#include <cstdio>
#include <cwchar>

namespace {

const wchar_t* const words[] = {
    L"Holiday",  L"Invoices", L"Photos",  L"Music",    L"Projects", L"Taxes",    L"Recipes",  L"Garden",
    L"Family",   L"Work",     L"Drafts",  L"Archive",  L"Travel",   L"Reports",  L"Letters",  L"School",
    L"Scans",    L"Video",    L"Books",   L"Ideas",    L"Contracts", L"Health",  L"Car",      L"House",
    L"Friends",  L"Wallpapers", L"Games", L"Software", L"Receipts", L"Manuals",  L"Budget",   L"Notes",
};

String tagName(int index)
{
    constexpr int wordCount = sizeof(words) / sizeof(words[0]);
    if (index < wordCount)
        return words[index];
    return String::format(L"%ls %d", words[index % wordCount], 2000 + index / wordCount);
}

void writeLibrary(int itemCount, int tagCount)
{
    LibraryModel model;
    addSampleContent(model, {itemCount, tagCount, tagName, [](int i) {
                                 return String::format(L"C:\\users\\Public\\Documents\\%ls\\Document %d.txt",
                                                       words[i % 8], i);
                             }});
    const bool written = saveAsDefaultLibrary(model);
    printf("library: %s, %d items, %d tags\n", written ? "written" : "NOT written", itemCount, tagCount);
}

void writeSelection(const String& selected)
{
    Settings settings(L"kestrola.config", Application::instance()->productName(), Settings::UserData, Settings::Xml);
    registerSettings(settings);
    settings.setValue(L"tagCloud/selectedTags", selected);
    printf("settings: %s\n", settings.save() ? "written" : "NOT written");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Application application(L"Kestrola", L"1.8.3");
    const int itemCount = argc > 1 ? static_cast<int>(std::wcstol(argv[1], nullptr, 10)) : 2000;
    const int tagCount = argc > 2 ? static_cast<int>(std::wcstol(argv[2], nullptr, 10)) : 200;
    if (itemCount < 0 || tagCount < 1) {
        printf("usage: sample_library [items] [tags >= 1] [selected names joined with |]\n");
        return 1;
    }
    if (application.isAnotherInstanceRunning()) {
        printf("sample_library: Kestrola runs in this Wine prefix; close it first (it reads its library only\n"
               "at its start, and at its exit it would find the library changed under it)\n");
        return 1;
    }
    application.ensureUserDataPath();
    writeLibrary(itemCount, tagCount);
    writeSelection(argc > 3 ? String(argv[3]) : String());
    return 0;
}
