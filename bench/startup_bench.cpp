// The program's start-up, from the main controller's construction to the
// first paint of the main window, and its exit, from the exit command to
// the controller's end, with libraries of 10,000 and 100,000 items. Both
// run in this process, in an application-data folder of the benchmark's
// own: what the program does before (Application, data pack, style) takes
// well under 10 ms and is left out.

#include "app/MainController.h"
#include "bench/BenchTiming.h"
#include "foundation/Application.h"
#include "foundation/Hooks.h"
#include "library/Database.h"
#include "library/LibraryModel.h"
#include "ui/UIManager.h"

#include <windows.h>

#include <cstdio>

namespace {

using bench::Clock;
using bench::millisecondsSince;

void removeFolder(const String& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((folder + L'\\' + data.cFileName).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// Items in folders of 100, each with two of itemCount / 50 tags.
void writeLibrary(int itemCount)
{
    LibraryModel model;
    const int tagCount = itemCount / 50;
    PointerArray<Tag*> tags;
    for (int t = 0; t < tagCount; ++t)
        tags.append(model.addTagWithUsage(String::format(L"tag %d", t), t % 13, DateTime::currentUtc()));
    for (int i = 0; i < itemCount; ++i) {
        TaggedItem* item =
            model.addItem(String::format(L"C:\\Bench\\Folder %d\\File %d.txt", i / 100, i), 0, DateTime::currentUtc());
        Tag::linkItem(tags[i % tagCount], item);
        Tag::linkItem(tags[(i * 7 + 3) % tagCount], item);
    }
    Database database(&model);
    if (!database.save(true))
        printf("The library could not be written.\n");
}

MainController* controller = nullptr;
Clock::time_point exitStart;
double exitSaving = 0;

void CALLBACK exitFromLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    exitStart = Clock::now();
    controller->exit();
    exitSaving = millisecondsSince(exitStart);
}

// The window paints while the queue holds its messages: once the queue is
// empty, the first paint is done.
void pumpUntilIdle()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void measure(Application& application, int itemCount)
{
    removeFolder(application.userDataPath());
    application.ensureUserDataPath();
    writeLibrary(itemCount);

    double loadAlone = 0;
    {
        LibraryModel model;
        Database database(&model);
        const Clock::time_point loadStart = Clock::now();
        database.openFile(Database::defaultPath(), true);
        loadAlone = millisecondsSince(loadStart);
    }

    const Clock::time_point start = Clock::now();
    controller = new MainController(false);
    pumpUntilIdle();
    const double startUp = millisecondsSince(start);
    const int tags = controller->libraryModel()->tagCount();
    const int items = controller->libraryModel()->itemCount();

    SetTimer(nullptr, 0, 1, exitFromLoop);
    application.run();
    delete controller;
    // The quit message the exit posted would end the next run at once.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    controller = nullptr;
    const double exit = millisecondsSince(exitStart);
    printf("%7d items, %5d tags: library load alone %6.1f ms; start-up to the first paint %7.1f ms (target 1000 at "
           "100,000); exit %7.1f ms, of which saving %6.1f ms (target 500)\n",
           items, tags, loadAlone, startUp, exit, exitSaving);
}

} // namespace

int main()
{
    Application application(L"KestrolaStartupBench", L"1.8.3");
    const String folder = application.applicationDirectory() + L"\\..";
    if (!application.loadPack(folder + L"\\data.pak") || !UIManager::instance()->loadStyle(folder + L"\\white.style")) {
        printf("The data pack or the style was not found beside the build.\n");
        return 1;
    }
    for (int itemCount : {10000, 100000})
        measure(application, itemCount);
    removeFolder(application.userDataPath());
    return 0;
}
