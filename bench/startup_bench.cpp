// The program's start-up and exit with libraries of 10,000 and 100,000
// items. In this process, in an application-data folder of the benchmark's
// own: the steps before the main controller (Application, data pack, style
// with the UI manager), the main controller's construction to the first
// paint of the main window, the first pointer moves over it, and the exit
// from the exit command to the controller's end. Outside it: the program
// itself started as a new process on a library of its own, from process
// creation to the first paint seen on the screen.

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/UserInterface.h"
#include "bench/BenchTiming.h"
#include "devkit/RawFiles.h"
#include "devkit/SampleLibrary.h"
#include "foundation/Application.h"
#include "foundation/Hooks.h"
#include "foundation/System.h"
#include "library/Database.h"
#include "library/LibraryModel.h"
#include "ui/UIManager.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

using bench::Clock;
using bench::millisecondsSince;

void removeFolder(const String& folder)
{
    removeTree(std::wstring(folder.view()));
}

// Items in folders of 100, each with two of itemCount / 50 tags, written to
// the benchmark's own data folder.
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
    if (!saveAsDefaultLibrary(model))
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
// empty, the first paint is done. True when a pointer move came through.
bool pumpUntilIdle()
{
    MSG message;
    bool moved = false;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        moved = moved || message.message == WM_MOUSEMOVE;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return moved;
}

// Puts the pointer on the point and handles what follows: the move, the
// cursor the window sets, any repaint. The display sends the move a little
// later, so the queue is watched for it for up to a second; -1 when none
// came.
double pointerMoveTo(Point point)
{
    const Clock::time_point start = Clock::now();
    SetCursorPos(point.x, point.y);
    while (millisecondsSince(start) < 1000) {
        if (pumpUntilIdle()) {
            pumpUntilIdle();
            return millisecondsSince(start);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return -1;
}

// A first move over the window and a second beside it.
struct PointerMoves {
    double first;
    double second;
};

PointerMoves movePointerOver(MainWindow& window)
{
    const Rect area = window.geometry();
    const Point centre = window.mapToGlobal(Point(area.width / 2, area.height / 2));
    const double first = pointerMoveTo(centre);
    return {first, pointerMoveTo(Point(centre.x + 23, centre.y + 17))};
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
    static bool firstInProcess = true;
    const PointerMoves moves = movePointerOver(*controller->userInterface()->mainWindow());

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
    printf("%7d items: pointer move over the main window, %s %6.1f ms (target 20), the next move %6.1f ms\n", items,
           firstInProcess ? "the process's first" : "a window's first   ", moves.first, moves.second);
    firstInProcess = false;
}

// ---- The program as a new process ----

// The visible top-level window of the process with the largest area.
struct WindowSearch {
    DWORD process;
    HWND found = nullptr;
    long area = 0;
};

BOOL CALLBACK considerWindow(HWND window, LPARAM context)
{
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    RECT rect;
    if (process != search->process || !IsWindowVisible(window) || !GetWindowRect(window, &rect))
        return TRUE;
    const long area = long(rect.right - rect.left) * (rect.bottom - rect.top);
    if (area > search->area) {
        search->found = window;
        search->area = area;
    }
    return TRUE;
}

HWND mainWindowOf(DWORD process)
{
    WindowSearch search{process};
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the screen shows a pixel of the colour inside the rectangle:
// the pixels the display holds, whatever the program believes it drew.
bool screenShows(const RECT& rect, COLORREF colour)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const std::uint32_t wanted = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    const bool shown = pixels && std::any_of(pixels, pixels + std::size_t(width) * height,
                                             [&](std::uint32_t p) { return (p & 0xFFFFFF) == wanted; });
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shown;
}

struct ProcessStart {
    double firstPaint = -1;
    double pollMs = 0;
    int polls = 0;
};

// Starts the program and watches the screen until its main window shows
// the cloud's background; then closes the window as a user does and waits
// for the process to end.
ProcessStart startProgram(const String& program, COLORREF cloud)
{
    ProcessStart result;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    String commandLine = L"\"" + program + L"\"";
    const Clock::time_point start = Clock::now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return result;
    double polling = 0;
    HWND window = nullptr;
    while (millisecondsSince(start) < 20000 && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        // Found again each time: a progress window may show before the main one.
        window = mainWindowOf(process.dwProcessId);
        RECT rect;
        if (window && GetWindowRect(window, &rect)) {
            const Clock::time_point poll = Clock::now();
            const bool shown = screenShows(rect, cloud);
            polling += millisecondsSince(poll);
            ++result.polls;
            if (shown) {
                result.firstPaint = millisecondsSince(start);
                break;
            }
        } else {
            Sleep(1);
        }
    }
    result.pollMs = result.polls ? polling / result.polls : 0;
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

// The program's own data folder is moved aside while the benchmark lends
// it a library, and put back afterwards.
class BorrowedDataFolder {
public:
    explicit BorrowedDataFolder(const String& folder) : m_folder(folder), m_kept(folder + L".startup-bench-kept")
    {
        m_moved = GetFileAttributesW(m_folder.c_str()) != INVALID_FILE_ATTRIBUTES &&
                  MoveFileW(m_folder.c_str(), m_kept.c_str());
        CreateDirectoryW(m_folder.c_str(), nullptr);
    }
    ~BorrowedDataFolder()
    {
        removeFolder(m_folder);
        if (m_moved)
            MoveFileW(m_kept.c_str(), m_folder.c_str());
    }
    BorrowedDataFolder(const BorrowedDataFolder&) = delete;
    BorrowedDataFolder& operator=(const BorrowedDataFolder&) = delete;

    const String& path() const { return m_folder; }

private:
    String m_folder;
    String m_kept;
    bool m_moved = false;
};

void measureProcess(Application& application, int itemCount)
{
    const String program = application.applicationDirectory() + L"\\..\\Kestrola.exe";
    const String appData = specialFolderPath(SpecialFolder::AppData);
    if (GetFileAttributesW(program.c_str()) == INVALID_FILE_ATTRIBUTES || appData.isEmpty()) {
        printf("Kestrola.exe or the application data folder was not found.\n");
        return;
    }
    removeFolder(application.userDataPath());
    application.ensureUserDataPath();
    writeLibrary(itemCount);
    const BorrowedDataFolder data(appData + L"\\Kestrola");
    CopyFileW(Database::defaultPath().c_str(), (data.path() + L"\\" + Database::defaultFileName()).c_str(), FALSE);
    removeFolder(application.userDataPath());
    const Colour background = LibraryModel().background().colour();
    const COLORREF cloud = RGB(background.red(), background.green(), background.blue());
    std::vector<ProcessStart> runs;
    for (int run = 0; run < 3; ++run)
        runs.push_back(startProgram(program, cloud));
    double best = runs[0].firstPaint;
    for (const ProcessStart& run : runs)
        best = run.firstPaint >= 0 && (best < 0 || run.firstPaint < best) ? run.firstPaint : best;
    printf("%7d items: the program as a new process, creation to the first paint seen on the screen: runs %.1f, "
           "%.1f, %.1f ms, best %.1f ms (target 1000, goal 600); the screen read every %.1f ms (%d reads)\n",
           itemCount, runs[0].firstPaint, runs[1].firstPaint, runs[2].firstPaint, best, runs[0].pollMs, runs[0].polls);
}

} // namespace

int main()
{
    Clock::time_point step = Clock::now();
    Application application(L"KestrolaStartupBench", L"1.8.3");
    const double applicationMs = millisecondsSince(step);
    const String folder = application.applicationDirectory() + L"\\..";
    step = Clock::now();
    const bool packLoaded = application.loadPack(folder + L"\\data.pak");
    const double packMs = millisecondsSince(step);
    step = Clock::now();
    if (!packLoaded || !UIManager::instance()->loadStyle(folder + L"\\white.style")) {
        printf("The data pack or the style was not found beside the build.\n");
        return 1;
    }
    const double styleMs = millisecondsSince(step);
    printf("steps before the main controller: Application %.1f ms, data pack %.1f ms, style with the UI manager %.1f "
           "ms\n",
           applicationMs, packMs, styleMs);
    for (int itemCount : {10000, 100000})
        measure(application, itemCount);
    for (int itemCount : {10000, 100000})
        measureProcess(application, itemCount);
    removeFolder(application.userDataPath());
    return 0;
}
