// A tag click in the running program: the real main window over libraries
// of 100,000 and 10,000 items (each item carries one or two tags of 2,000),
// left clicks sent to its window as a user's are, timed from the button's
// press until the window's queue is empty again, its paints included.
// Each click selects a tag of the cloud's top rows; the next deselects it.
// A click on the tag "Desktop" runs the first-run desktop rule, stored in
// the program's settings, over a folder of 50 files the benchmark makes,
// then merges the result into the library.
// Everything lives in an application-data folder of the benchmark's own.

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/SettingsSchema.h"
#include "app/UITagCloud.h"
#include "app/UserInterface.h"
#include "bench/BenchTiming.h"
#include "devkit/RawFiles.h"
#include "devkit/SampleLibrary.h"
#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/Settings.h"
#include "library/LibraryModel.h"
#include "ui/UIManager.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

namespace {

using bench::Clock;
using bench::millisecondsSince;

constexpr int clickRounds = 10;
constexpr int scanFileCount = 50;
const wchar_t* const scanTagName = L"Desktop";

const wchar_t* const words[] = {L"Holiday", L"Invoices", L"Photos", L"Music", L"Projects", L"Taxes", L"Recipes",
                                L"Garden",  L"Family",   L"Work",   L"Drafts", L"Archive",  L"Travel"};

// "Desktop" first, so it shows in the cloud's top row; the other tags'
// usages vary, so their fonts do.
void writeLibrary(int itemCount, int tagCount)
{
    LibraryModel model;
    model.addTag(scanTagName);
    constexpr int wordCount = sizeof(words) / sizeof(words[0]);
    addSampleContent(
        model, {itemCount, tagCount, [](int t) { return String::format(L"%ls %d", words[t % wordCount], t); },
                [](int i) { return String::format(L"C:\\Bench\\%ls\\Document %d.txt", words[i % wordCount], i); }});
    if (!saveAsDefaultLibrary(model))
        printf("The library could not be written.\n");
}

// The files the scan rule finds; the folder's path ends in '\'.
String writeScanFolder(const String& folder)
{
    createPath(folder);
    for (int i = 0; i < scanFileCount; ++i)
        FileSystem::createEmpty(folder + String::format(L"note %d.txt", i));
    return folder;
}

// The first-run rule of the desktop over the benchmark's folder, in its
// settings text, stored where the program reads its rules at start.
void writeClickRule(const String& folder)
{
    std::optional<ScanRule> rule =
        ScanRule::fromSettingsText(L"1;1;" + folder + L";0;0;" + scanTagName + L";:2:;0;0;;0;0;0;0;1;0;1;1;1");
    Settings settings(L"kestrola.config", Application::instance()->productName(), Settings::UserData, Settings::Xml);
    registerSettings(settings);
    List<ScanRule*> rules;
    if (rule)
        rules.append(&*rule);
    settings.setValue(L"model/scanRules", ScanRule::settingsText(rules));
    if (!rule || !settings.save())
        printf("The scan rule could not be stored.\n");
}

void pumpUntilIdle()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class ClickDriver {
public:
    explicit ClickDriver(MainWindow& window) : m_window(window), m_cloud(*window.tagCloud()) {}

    // The pointer rests on the tag first, as a user's would.
    double click(const Tag* tag)
    {
        const Point p = windowPoint(tag);
        post(WM_MOUSEMOVE, 0, p);
        pumpUntilIdle();
        const Clock::time_point start = Clock::now();
        post(WM_LBUTTONDOWN, MK_LBUTTON, p);
        post(WM_LBUTTONUP, 0, p);
        pumpUntilIdle();
        return millisecondsSince(start);
    }

    // From the middle of one tag to the middle of the next: the underline
    // leaves one word for the other.
    double hover(const Tag* from, const Tag* to) { return move(windowPoint(from), windowPoint(to)); }

    // A pixel across within the tag: nothing to repaint, the cost of a move
    // itself.
    double hoverWithin(const Tag* tag)
    {
        const Point p = windowPoint(tag);
        return move(p, {p.x + 1, p.y});
    }

    // Tags of the cloud wholly in view, "Desktop" left out.
    PointerArray<Tag*> visibleTags(int wanted) const
    {
        PointerArray<Tag*> found;
        for (const CloudEntry& entry : m_cloud.entries()) {
            const Rect r = entry.tag->cloudRect();
            if (found.count() < wanted && entry.tag->name() != String(scanTagName) && r.bottom() < m_cloud.height())
                found.append(entry.tag);
        }
        return found;
    }

    bool isSelected(const Tag* tag) const { return m_cloud.isSelected(tag); }

private:
    double move(Point from, Point to)
    {
        post(WM_MOUSEMOVE, 0, from);
        pumpUntilIdle();
        const Clock::time_point start = Clock::now();
        post(WM_MOUSEMOVE, 0, to);
        pumpUntilIdle();
        return millisecondsSince(start);
    }

    Point windowPoint(const Tag* tag) const
    {
        const Point inCloud = tag->cloudRect().center();
        return m_cloud.mapToWindow({inCloud.x, inCloud.y - m_cloud.scrollOffset()});
    }

    void post(UINT message, WPARAM keys, Point p)
    {
        POINT screen = {p.x, p.y};
        const HWND handle = static_cast<HWND>(m_window.nativeHandle());
        ClientToScreen(handle, &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(handle, message, keys, MAKELPARAM(p.x, p.y));
    }

    MainWindow& m_window;
    UITagCloud& m_cloud;
};

struct ClickTimes {
    double select = 0;
    double deselect = 0;
    int itemsCarried = 0;
    bool allToggled = true;
};

ClickTimes timePlainClicks(ClickDriver& driver)
{
    ClickTimes times;
    const PointerArray<Tag*> tags = driver.visibleTags(clickRounds);
    for (Tag* tag : tags) {
        times.select += driver.click(tag);
        times.allToggled = times.allToggled && driver.isSelected(tag);
        times.itemsCarried += tag->itemCount();
        times.deselect += driver.click(tag);
        times.allToggled = times.allToggled && !driver.isSelected(tag);
    }
    const int count = tags.isEmpty() ? 1 : tags.count();
    times.select /= count;
    times.deselect /= count;
    times.itemsCarried /= count;
    return times;
}

struct HoverTimes {
    double ontoNext = 0;
    double within = 0;
    int moves = 0;
};

// Along the tags of the top rows, each move onto the next word, and a move
// within each word.
HoverTimes timeHoverMoves(ClickDriver& driver)
{
    HoverTimes times;
    const PointerArray<Tag*> tags = driver.visibleTags(clickRounds + 1);
    for (int i = 1; i < tags.count(); ++i) {
        times.ontoNext += driver.hover(tags[i - 1], tags[i]);
        times.within += driver.hoverWithin(tags[i]);
        ++times.moves;
    }
    const int count = std::max(1, times.moves);
    times.ontoNext /= count;
    times.within /= count;
    return times;
}

ClickTimes timeScanClicks(ClickDriver& driver, LibraryModel& model)
{
    ClickTimes times;
    Tag* tag = model.findTagByName(scanTagName);
    for (int i = 0; i < clickRounds && tag; ++i) {
        times.select += driver.click(tag);
        times.allToggled = times.allToggled && driver.isSelected(tag);
        times.itemsCarried = tag->itemCount();
        times.deselect += driver.click(tag);
        times.allToggled = times.allToggled && !driver.isSelected(tag);
    }
    times.select /= clickRounds;
    times.deselect /= clickRounds;
    return times;
}

// The click lines of the usual 2,000 tags read "tag click in the program"; the
// pointer move is no click, so its line says so apart.
void measure(Application& application, int itemCount, int tagCount)
{
    removeTree(std::wstring(application.userDataPath().view()));
    application.ensureUserDataPath();
    writeLibrary(itemCount, tagCount);
    writeClickRule(writeScanFolder(application.userDataPath() + L"\\desktop\\"));

    auto* controller = new MainController(false);
    pumpUntilIdle();
    LibraryModel& model = *controller->libraryModel();
    ClickDriver driver(*controller->userInterface()->mainWindow());

    const ClickTimes plain = timePlainClicks(driver);
    const ClickTimes scan = timeScanClicks(driver, model);
    const HoverTimes hover = timeHoverMoves(driver);
    const String what = tagCount == 2000 ? String(L"tag click in the program")
                                         : String::format(L"tag click with %d tags", tagCount);
    printf("select   %ls  N=%d: %.2f ms  (%d tags, %d items; the tags clicked carry %d items on average; all "
           "toggled: %s; target 10)\n",
           what.c_str(), itemCount, plain.select, model.tagCount(), model.itemCount(), plain.itemsCarried,
           plain.allToggled ? "yes" : "NO");
    printf("deselect %ls  N=%d: %.2f ms\n", what.c_str(), itemCount, plain.deselect);
    printf("select with a scan rule, %ls  N=%d: %.2f ms  (the rule tags %d files; all toggled: %s)\n",
           what.c_str(), itemCount, scan.select, scan.itemsCarried, scan.allToggled ? "yes" : "NO");
    printf("deselect after the scan, %ls  N=%d: %.2f ms\n", what.c_str(), itemCount, scan.deselect);
    printf("pointer move onto the next word in the program, %d tags  N=%d: %.2f ms  (%d moves; a move within a "
           "word, which repaints nothing: %.2f ms)\n",
           tagCount, itemCount, hover.ontoNext, hover.moves, hover.within);
    delete controller;
}

} // namespace

int main()
{
    Application application(L"KestrolaTagClickBench", L"1.8.3");
    const String folder = application.applicationDirectory() + L"\\..";
    if (!application.loadPack(folder + L"\\data.pak") || !UIManager::instance()->loadStyle(folder + L"\\white.style")) {
        printf("The data pack or the style was not found beside the build.\n");
        return 1;
    }
    measure(application, 100000, 2000);
    measure(application, 10000, 2000);
    measure(application, 100000, 10000);
    removeTree(std::wstring(application.userDataPath().view()));
    return 0;
}
