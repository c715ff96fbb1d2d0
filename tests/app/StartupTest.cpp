#include "app/Startup.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/UITagCloud.h"
#include "app/UserInterface.h"
#include "foundation/Application.h"
#include "foundation/Settings.h"
#include "library/Filter.h"
#include "library/LibraryModel.h"
#include "library/Scanner.h"
#include "library/Tag.h"
#include "library/TaggedItem.h"
#include "ui/TrayIcon.h"
#include "ui/widgets/UIMessageBox.h"

#include "tests/support/Bytes.h"
#include "tests/support/DamagedImages.h"
#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// Records each step and answers as told.
class RecordingSteps : public StartupSteps {
public:
    bool supported = true;
    bool otherRunning = false;
    bool packLoads = true;
    bool styleLoads = true;
    std::vector<std::wstring> steps;

    bool isSupportedWindows() override { return record(L"windows", supported); }
    bool isAnotherInstanceRunning(const Application&) override { return record(L"instance", otherRunning); }
    void activateOtherInstance(const Application&) override { record(L"activate", true); }
    bool loadPack(Application&, const String& name) override { return record(L"pack " + wide(name), packLoads); }
    bool loadStyle(const String& name) override { return record(L"style " + wide(name), styleLoads); }
    bool createController(bool) override { return record(L"controller", true); }
    int run(Application&) override { return record(L"run", true) ? 7 : 0; }
    void destroyController() override { record(L"destroy", true); }

private:
    bool record(const std::wstring& step, bool answer)
    {
        steps.push_back(step);
        return answer;
    }
};

struct StartupRow {
    bool supported, otherRunning, packLoads, styleLoads;
    int code;
    std::vector<std::wstring> steps;
};

} // namespace

TEST(Startup, StopsAtTheFirstFailingStepBeforeAnythingIsCreated)
{
    ensureTestApplication();
    const std::vector<std::wstring> all = {L"windows",    L"instance", L"pack data", L"style white",
                                           L"controller", L"run",      L"destroy"};
    const StartupRow rows[] = {
        {true, false, true, true, 7, all},
        {false, false, true, true, -1, {L"windows"}},
        {true, true, true, true, -1, {L"windows", L"instance", L"activate"}},
        {true, false, false, true, -1, {L"windows", L"instance", L"pack data"}},
        {true, false, true, false, -1, {L"windows", L"instance", L"pack data", L"style white"}},
    };
    forEachRow(rows, [](const StartupRow& row) {
        RecordingSteps steps;
        steps.supported = row.supported;
        steps.otherRunning = row.otherRunning;
        steps.packLoads = row.packLoads;
        steps.styleLoads = row.styleLoads;
        EXPECT_EQ(runProgram(*Application::instance(), steps), row.code);
        EXPECT_EQ(steps.steps, row.steps);
    });
}

TEST(Startup, FindsTheAutorunSwitchOnlyAsAnArgumentOfItsOwn)
{
    const std::pair<const wchar_t*, bool> rows[] = {
        {L"\"C:\\Program Files\\Kestrola\\Kestrola.exe\" -autorun", true},
        {L"Kestrola.exe  -AUTORUN  ", true},
        {L"Kestrola.exe", false},
        {L"\"C:\\x-autorun\\Kestrola.exe\"", false},
        {L"Kestrola.exe -autorunning", false},
    };
    forEachRow(rows, [](const auto& row) { EXPECT_EQ(hasAutorunSwitch(row.first), row.second) << wide(row.first); });
}

namespace {

// Ends every message box that runs, with OK, from a timer inside its loop,
// and counts them.
class MessageBoxCloser : public TimerClient {
public:
    MessageBoxCloser() { startTimer(1, 20); }
    void timerEvent(int) override
    {
        for (UIWidget* widget : UIManager::instance()->widgets()) {
            auto* box = dynamic_cast<UIMessageBox*>(widget);
            if (box && box->isInModalLoop()) {
                ++closed;
                box->done(1);
                return;
            }
        }
    }
    int closed = 0;
};

void CALLBACK quitAnyway(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    Application::instance()->quit();
}

// Closing the main window ends the program.
void CALLBACK closeFromLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    SendMessageW(static_cast<HWND>(userInterface()->mainWindow()->windowHandle()), WM_CLOSE, 0, 0);
}

HWND mainWindowHandle()
{
    return static_cast<HWND>(userInterface()->mainWindow()->windowHandle());
}

// A non-silent merge of tagged scan results started from inside the event
// loop, as the scan results window starts it, with a request sent from a
// timer while the merge processes events.
struct MergeWithRequest {
    std::function<void()> request;
    PointerArray<Tag*> tags;
    PointerArray<TaggedItem*> items;
    // A hide does not end the loop: the test ends it once the window hides.
    bool quitOnceHidden = false;
    UINT_PTR hiddenPoll = 0;
    bool requestedWhileBusy = false;
    bool merged = false;
    bool loopEndedByGuard = false;
};

MergeWithRequest* activeMerge = nullptr;

void CALLBACK requestDuringMerge(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    activeMerge->requestedWhileBusy = libraryModel()->isBusy();
    activeMerge->request();
}

void CALLBACK quitOnceHidden(HWND, UINT, UINT_PTR id, DWORD)
{
    if (userInterface()->mainWindow()->isVisible())
        return;
    KillTimer(nullptr, id);
    Application::instance()->quit();
}

void CALLBACK mergeFromLoop(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    SetTimer(nullptr, 0, 10, requestDuringMerge);
    activeMerge->merged = libraryModel()->addScannedItems(activeMerge->items, false);
    if (activeMerge->quitOnceHidden)
        activeMerge->hiddenPoll = SetTimer(nullptr, 0, 20, quitOnceHidden);
}

void CALLBACK quitAndMark(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    activeMerge->loopEndedByGuard = true;
    Application::instance()->quit();
}

// The names of the named filters, in order.
std::vector<std::wstring> filterNames(const LibraryModel& model)
{
    std::vector<std::wstring> names;
    for (const Filter* filter : model.filters()) {
        if (!filter->name().isEmpty())
            names.push_back(wide(filter->name()));
    }
    return names;
}

String mergedPath(int i)
{
    return String::format(L"C:\\merged\\item%04d.txt", i);
}

} // namespace

// A controller of its own in a fresh application-data folder: the test
// application's product name is changed for the test, and its folder
// removed before and after.
class ControllerTest : public StyledWidgetTest {
protected:
    static void SetUpTestSuite()
    {
        StyledWidgetTest::SetUpTestSuite();
        Application* application = Application::instance();
        if (!application->findPack(L"data")) {
            ASSERT_TRUE(application->loadPack(application->applicationDirectory() + L"\\..\\data.pak"));
        }
    }

    void SetUp() override
    {
        m_productName = Application::instance()->productName();
        Application::instance()->setProductName(L"KestrolaShellTest");
        removeTree(wide(folder()));
    }

    void TearDown() override
    {
        removeTree(wide(folder()));
        Application::instance()->setProductName(m_productName);
        StyledWidgetTest::TearDown();
    }

    static String folder() { return Application::instance()->userDataPath(); }
    static String filePath(const wchar_t* name) { return folder() + L'\\' + name; }

    // Exit as the user takes it: the main window closed inside the event
    // loop, which the exit ends. The quit message it posts would end the
    // next test's loop.
    static void exitThroughTheLoop()
    {
        SetTimer(nullptr, 0, 10, closeFromLoop);
        // A close that ended nothing fails the test rather than hanging it.
        const UINT_PTR guard = SetTimer(nullptr, 0, 10000, quitAnyway);
        Application::instance()->run();
        KillTimer(nullptr, guard);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    static void writeFile(const wchar_t* name, const Bytes& bytes)
    {
        ASSERT_TRUE(Application::instance()->ensureUserDataPath());
        ASSERT_TRUE(writeRaw(filePath(name), bytes));
    }

    // Runs the program once, exiting through the loop, while another
    // program holds the file (if any) open without sharing until just
    // before the exit: the message boxes shown at start, and in all.
    static std::pair<int, int> runOnce(const String& heldAtStart = String())
    {
        HANDLE held = INVALID_HANDLE_VALUE;
        if (!heldAtStart.isEmpty()) {
            held = CreateFileW(heldAtStart.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            EXPECT_NE(held, INVALID_HANDLE_VALUE);
        }
        MessageBoxCloser closer;
        int atStart = 0;
        {
            MainController controller(true);
            atStart = closer.closed;
            if (held != INVALID_HANDLE_VALUE)
                CloseHandle(held);
            exitThroughTheLoop();
        }
        return {atStart, closer.closed};
    }

private:
    String m_productName;
};

TEST_F(ControllerTest, FirstStartKeepsTheWindowHiddenWithAutorunAndWritesBothFilesAtExit)
{
    {
        MainController controller(true);
        MainWindow* window = controller.userInterface()->mainWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(controller.userInterface()->trayIcon()->isVisible());
        Tag* desktop = libraryModel()->findTagByName(L"Desktop");
        ASSERT_NE(desktop, nullptr);
        ASSERT_NE(libraryModel()->findTagByName(L"Recent"), nullptr);
        PointerArray<Tag*> selection;
        selection.append(desktop);
        window->tagCloud()->setSelectedTags(selection);
        exitThroughTheLoop();
    }
    EXPECT_TRUE(fileExistsRaw(filePath(L"kestrola.config")));
    EXPECT_GT(readRaw(filePath(L"kestrola.database")).size(), 309u);

    MainController restarted(true);
    EXPECT_NE(libraryModel()->findTagByName(L"Recent"), nullptr);
    const PointerArray<Tag*>& selected = restarted.userInterface()->mainWindow()->tagCloud()->selectedTags();
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected[0]->name(), L"Desktop");
}

TEST_F(ControllerTest, ShowsTheWindowWithoutAutorunAndWritesTheLibraryWhenHidden)
{
    MainController controller(false);
    EXPECT_TRUE(controller.userInterface()->mainWindow()->isVisible());
    EXPECT_TRUE(readRaw(filePath(L"kestrola.database")).empty());
    // Hidden before its icon was due, the window still gets its way back.
    controller.userInterface()->hideMainWindow();
    EXPECT_FALSE(controller.userInterface()->mainWindow()->isVisible());
    ASSERT_NE(controller.userInterface()->trayIcon(), nullptr);
    EXPECT_TRUE(controller.userInterface()->trayIcon()->isVisible());
    EXPECT_GT(readRaw(filePath(L"kestrola.database")).size(), 309u);
}

// The notification-area icon of a shown window waits for the first paint.
TEST_F(ControllerTest, ShownWindowGetsItsNotificationIconOnceTheQueueIsIdle)
{
    MainController controller(false);
    EXPECT_EQ(controller.userInterface()->trayIcon(), nullptr);
    ASSERT_TRUE(pumpUntil([&] { return controller.userInterface()->trayIcon() != nullptr; }));
    EXPECT_TRUE(controller.userInterface()->trayIcon()->isVisible());
}

// A background image setting naming a bmp whose header claims a width of
// 2^31 - 1 used to end this start and, as the setting is kept, every later one.
TEST_F(ControllerTest, DamagedBackgroundImageLeavesTheBackgroundEmpty)
{
    TempFolder images;
    const String path = images.file(L"damaged.bmp");
    Bytes bmp = damagedImages::handMadeBmp(1, false);
    damagedImages::writeField(bmp, {18, 4, false}, 0x7FFFFFFF);
    ASSERT_TRUE(writeRaw(path, bmp));
    {
        MainController controller(true);
        libraryModel()->setBackgroundImagePath(path);
        EXPECT_TRUE(controller.userInterface()->mainWindow()->tagCloud()->backgroundImage().isNull());
        exitThroughTheLoop();
    }
    MainController restarted(true);
    EXPECT_EQ(libraryModel()->backgroundImagePath(), path);
    EXPECT_TRUE(restarted.userInterface()->mainWindow()->tagCloud()->backgroundImage().isNull());
}

TEST_F(ControllerTest, DamagedLibraryIsKeptAsideAndTheProgramStartsEmpty)
{
    ASSERT_TRUE(Application::instance()->ensureUserDataPath());
    const Bytes damaged = bytesOf("KR\x01\x02 not a library");
    ASSERT_TRUE(writeRaw(filePath(L"kestrola.database"), damaged));
    MessageBoxCloser closer;
    MainController controller(true);
    EXPECT_EQ(closer.closed, 1);
    EXPECT_EQ(libraryModel()->tagCount(), 0);
    EXPECT_NE(controller.userInterface()->mainWindow(), nullptr);
    int keptCopies = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((wide(folder()) + L"\\*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        const String name(data.cFileName);
        if (name != L"kestrola.database" && readRaw(filePath(data.cFileName)) == damaged)
            ++keptCopies;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    EXPECT_EQ(keptCopies, 1);
}

// The notification menu's exit and hide, the window's close and the end of
// the session reach the program while a non-silent merge processes events.
// The exit used to find the library busy, say it could not be saved and
// quit, leaving a first run's file empty; now each waits for the merge.
TEST_F(ControllerTest, ExitOrHideDuringAMergeWaitsAndSavesEverything)
{
    constexpr int count = 3000;
    struct Row {
        const char* name;
        std::function<void()> request;
        bool endsTheProgram;
    };
    LRESULT sessionAnswer = -1;
    const Row rows[] = {
        {"notification menu exit", [] { MainController::instance()->exit(); }, true},
        {"main window closed", [] { SendMessageW(mainWindowHandle(), WM_CLOSE, 0, 0); }, true},
        {"session end", [&] { sessionAnswer = SendMessageW(mainWindowHandle(), WM_QUERYENDSESSION, 0, 0); }, true},
        {"notification menu hide", [] { userInterface()->hideMainWindow(); }, false},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        removeTree(wide(folder()));
        MergeWithRequest merge;
        merge.request = row.request;
        merge.quitOnceHidden = !row.endsTheProgram;
        MessageBoxCloser closer;
        {
            MainController controller(false);
            Scanner results(nullptr, merge.tags, merge.items);
            for (int i = 0; i < count; ++i)
                results.findOrCreateScanTag(results.findOrCreateScanItem(mergedPath(i)), L"Merged");
            activeMerge = &merge;
            SetTimer(nullptr, 0, 10, mergeFromLoop);
            const UINT_PTR guard = SetTimer(nullptr, 0, 60000, quitAndMark);
            Application::instance()->run();
            KillTimer(nullptr, guard);
            KillTimer(nullptr, merge.hiddenPoll);
            MSG quit;
            PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
            activeMerge = nullptr;
            Scanner::deleteResults(merge.tags, merge.items);
            EXPECT_TRUE(merge.merged);
            EXPECT_TRUE(merge.requestedWhileBusy);
            EXPECT_FALSE(merge.loopEndedByGuard);
            EXPECT_NE(controller.userInterface()->mainWindow()->isVisible(), merge.quitOnceHidden);
        }
        EXPECT_EQ(closer.closed, 0);

        MainController restarted(true);
        EXPECT_NE(libraryModel()->findTagByName(L"Desktop"), nullptr);
        EXPECT_NE(libraryModel()->findTagByName(L"Recent"), nullptr);
        // The rules and filters live in the settings, which only the exit writes.
        if (row.endsTheProgram) {
            EXPECT_EQ(libraryModel()->scanRules().count(), 2);
            EXPECT_EQ(filterNames(*libraryModel()), (std::vector<std::wstring>{L"any items", L"files", L"folders",
                                                                                L"images", L"music", L"video",
                                                                                L"office"}));
        }
        const Tag* merged = libraryModel()->findTagByName(L"Merged");
        ASSERT_NE(merged, nullptr);
        EXPECT_EQ(merged->itemCount(), count);
        int found = 0;
        for (int i = 0; i < count; ++i)
            found += libraryModel()->findItemByPath(mergedPath(i)) != nullptr;
        EXPECT_EQ(found, count);
    });
    // Windows was asked to wait for the merge.
    EXPECT_EQ(sessionAnswer, FALSE);
}

// Another program held the library open without sharing at start: it could
// be neither read nor moved aside, and the exit wrote the empty library
// over it.
TEST_F(ControllerTest, LibraryInUseAtStartIsNeverWrittenOver)
{
    runOnce();
    const String library = filePath(L"kestrola.database");
    const Bytes saved = readRaw(library);
    ASSERT_GT(saved.size(), 309u);
    // The start says so, and the exit that the library could not be saved.
    EXPECT_EQ(runOnce(library), (std::pair<int, int>(1, 2)));
    EXPECT_EQ(readRaw(library), saved);
}

// A settings file that does not parse used to be replaced at exit by the
// defaults, losing the user's rules and filters without a word.
TEST_F(ControllerTest, UnreadableSettingsAreKeptAsideAndTheUserTold)
{
    const Bytes damaged = bytesOf("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<groups><group name=\"g\"><item nam");
    writeFile(L"kestrola.config", damaged);
    EXPECT_EQ(runOnce(), (std::pair<int, int>(1, 1)));
    EXPECT_EQ(readRaw(filePath(L"kestrola.config.bad")), damaged);
    Settings written(L"kestrola.config", Application::instance()->productName(), Settings::UserData, Settings::Xml);
    EXPECT_TRUE(written.load());
    EXPECT_GT(written.count(), 0);
}

// Held open by another program, the settings file cannot be moved aside: it
// is then not written in that run.
TEST_F(ControllerTest, SettingsInUseAtStartAreNotWrittenOver)
{
    const String path = filePath(L"kestrola.config");
    const Bytes original = bytesOf("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<groups/>\r\n");
    writeFile(L"kestrola.config", original);
    EXPECT_EQ(runOnce(path), (std::pair<int, int>(1, 1)));
    EXPECT_EQ(readRaw(path), original);
    EXPECT_FALSE(fileExistsRaw(path + L".bad"));
}

// The exit ignored a settings file it could not write.
TEST_F(ControllerTest, SettingsThatCannotBeSavedAreReportedAtExit)
{
    ASSERT_TRUE(Application::instance()->ensureUserDataPath());
    // The save's temporary file cannot be made where a folder has its name.
    ASSERT_TRUE(CreateDirectoryW((filePath(L"kestrola.config.tmp")).c_str(), nullptr));
    EXPECT_EQ(runOnce(), (std::pair<int, int>(0, 1)));
}

// A folder that cannot be made (a name Windows refuses): the program starts,
// says at once that it cannot create the library, and at exit that neither
// the settings nor the library could be saved.
TEST_F(ControllerTest, LibraryThatCannotBeStoredIsReportedAtStartAndExit)
{
    Application::instance()->setProductName(L"Kestrola|Test");
    MessageBoxCloser closer;
    {
        MainController controller(true);
        EXPECT_EQ(closer.closed, 1);
        exitThroughTheLoop();
    }
    EXPECT_EQ(closer.closed, 3);
}
