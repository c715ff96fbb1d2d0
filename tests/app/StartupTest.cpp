#include "app/Startup.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/UITagCloud.h"
#include "app/UserInterface.h"
#include "foundation/Application.h"
#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/OwnFileSave.h"
#include "foundation/Settings.h"
#include "foundation/SingleInstance.h"
#include "foundation/System.h"
#include "graphics/ImageHeaderCheck.h"
#include "library/Database.h"
#include "library/Filter.h"
#include "library/LibraryModel.h"
#include "library/Scanner.h"
#include "library/Tag.h"
#include "library/TaggedItem.h"
#include "ui/TrayIcon.h"
#include "ui/widgets/UIAction.h"
#include "ui/widgets/UILabel.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIMessageBox.h"

#include "devkit/Bytes.h"
#include "tests/support/DamagedImages.h"
#include "tests/support/HeldFile.h"
#include "tests/support/Links.h"
#include "tests/support/OtherWriter.h"
#include "tests/support/Pump.h"
#include "tests/support/RowTable.h"
#include "tests/support/ShellFolders.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"
#include "tests/widgets/OneMonitor.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <thread>
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

// Ends every message box that runs, from a timer inside its loop, with
// what answer gives (1 without it), and counts them and keeps their texts.
class MessageBoxCloser : public TimerClient {
public:
    MessageBoxCloser() { startTimer(1, 20); }
    void timerEvent(int) override
    {
        for (UIWidget* widget : UIManager::instance()->widgets()) {
            auto* box = dynamic_cast<UIMessageBox*>(widget);
            if (box && box->isInModalLoop()) {
                ++closed;
                texts.push_back(wide(box->text()));
                if (const auto outside = std::exchange(fromOutside, nullptr))
                    outside(static_cast<HWND>(box->nativeHandle()));
                else
                    box->done(answer ? answer(*box) : 1);
                return;
            }
        }
    }
    // How many of the texts name the path.
    int naming(const String& path) const
    {
        return static_cast<int>(std::count_if(texts.begin(), texts.end(), [&](const std::wstring& text) {
            return text.find(wide(path)) != std::wstring::npos;
        }));
    }
    int closed = 0;
    std::vector<std::wstring> texts;
    std::function<int(const UIMessageBox&)> answer;
    // Once, instead of an answer: what reaches the first box's window from
    // outside the program. A box it leaves open is answered at the next tick.
    std::function<void(HWND)> fromOutside;
};

// How a close reaches the program from outside: at its progress window
// (taskkill, Alt+F4, the session's end; posted just as the held file is
// let go), or at its first window before any other is up.
enum class OutsideClose { Posted, Sent, SessionEnd, PostedAsFreed, AtFirstWindow };

// The progress window the UI thread shows, the only window on top while
// the start runs; null while none is shown.
HWND shownProgressWindow(DWORD uiThread)
{
    HWND found = nullptr;
    EnumThreadWindows(uiThread, [](HWND window, LPARAM shown) {
        if (IsWindowVisible(window) && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
            *reinterpret_cast<HWND*>(shown) = window;
        return TRUE;
    }, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Closes the first progress window the UI thread shows, from a thread of
// its own, again and again until it stops. A later one is left alone.
class ProgressWindowCloser {
public:
    ProgressWindowCloser(OutsideClose how, std::function<void()> free)
        : m_how(how), m_free(std::move(free)), m_thread([this] { run(); })
    {
    }
    ~ProgressWindowCloser() { stop(); }

    void stop()
    {
        m_stopped = true;
        if (m_thread.joinable())
            m_thread.join();
    }
    // How many session ends were let go on at once.
    int sessionsLetEnd() const { return m_sessionsLetEnd; }

private:
    void close(HWND window)
    {
        DWORD_PTR answer = FALSE;
        if (m_how == OutsideClose::Posted || m_how == OutsideClose::PostedAsFreed)
            PostMessageW(window, WM_CLOSE, 0, 0);
        else if (m_how == OutsideClose::Sent)
            SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 500, nullptr);
        else if (m_how == OutsideClose::SessionEnd &&
                 SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 500, &answer) && answer)
            ++m_sessionsLetEnd;
        // Let go at once: the wait, between its looks, finds the file free
        // before it looks for the close.
        if (m_how == OutsideClose::PostedAsFreed)
            m_free();
    }
    void run()
    {
        for (; !m_stopped; Sleep(20)) {
            const HWND window = shownProgressWindow(m_uiThread);
            m_first = m_first ? m_first : window;
            if (window && window == m_first)
                close(window);
        }
    }

    const DWORD m_uiThread = GetCurrentThreadId();
    const OutsideClose m_how;
    const std::function<void()> m_free;
    HWND m_first = nullptr;
    std::atomic<bool> m_stopped{false};
    std::atomic<int> m_sessionsLetEnd{0};
    std::thread m_thread;
};

// Whether the window tells of a wait for the held library or settings.
bool isWaitWindow(HWND window)
{
    const UIWidget* widget = UIManager::instance()->widgetForHandle(window);
    if (!widget)
        return false;
    const String waits[] = {OwnFileSave::waitingText(OwnFileSave::Kind::Library),
                            OwnFileSave::waitingText(OwnFileSave::Kind::Settings)};
    const std::vector<UILabel*> labels = widgetsOf<UILabel>(*widget);
    return std::any_of(labels.begin(), labels.end(), [&](const UILabel* label) {
        return std::find(std::begin(waits), std::end(waits), label->text()) != std::end(waits);
    });
}

// Counts the waits for a held file whose window the thread shows while the
// object lives: one that shows for a moment is counted too.
class ShownWaitWindows {
public:
    ShownWaitWindows() { shown = 0; }
    ~ShownWaitWindows() { UnhookWindowsHookEx(m_hook); }
    int count() const { return shown; }

private:
    static LRESULT CALLBACK note(int code, WPARAM wParam, LPARAM lParam)
    {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_SHOWWINDOW && message->wParam && isWaitWindow(message->hwnd))
            ++shown;
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline int shown = 0;
    const HHOOK m_hook = SetWindowsHookExW(WH_CALLWNDPROC, note, nullptr, GetCurrentThreadId());
};

// In file-time units of 100 ns.
constexpr std::uint64_t oneHour = 36'000'000'000;

bool quitByGuard = false;

void CALLBACK quitAnyway(HWND, UINT, UINT_PTR id, DWORD)
{
    KillTimer(nullptr, id);
    quitByGuard = true;
    Application::instance()->quit();
}

// Runs the event loop until the program ends it; false when only the guard
// did, which fails the test rather than hanging it. The quit message is
// taken, or it would end the next test's loop.
bool runUntilTheProgramQuits()
{
    quitByGuard = false;
    const UINT_PTR guard = SetTimer(nullptr, 0, 120000, quitAnyway);
    Application::instance()->run();
    KillTimer(nullptr, guard);
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return !quitByGuard;
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
// removed before and after. The first-run rules scan folders of the test's
// own, never the user's recent documents or desktop.
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
    // loop, which the exit ends.
    static void exitThroughTheLoop()
    {
        SetTimer(nullptr, 0, 10, closeFromLoop);
        EXPECT_TRUE(runUntilTheProgramQuits()) << "the close ended nothing";
    }

    static String storedSelection()
    {
        Settings stored(L"kestrola.config", Application::instance()->productName(), Settings::UserData, Settings::Xml);
        stored.load();
        return stored.value(L"tagCloud/selectedTags", String()).toString();
    }

    // Whether the library file holds every tag named.
    static bool holdsTags(const String& path, const std::vector<const wchar_t*>& names)
    {
        LibraryModel kept;
        Database file(&kept);
        return file.openFile(path, true) && std::all_of(names.begin(), names.end(), [&](const wchar_t* name) {
                   return kept.findTagByName(name) != nullptr;
               });
    }

    static void writeFile(const wchar_t* name, const Bytes& bytes)
    {
        ASSERT_TRUE(Application::instance()->ensureUserDataPath());
        ASSERT_TRUE(writeRaw(filePath(name), bytes));
    }

    // Runs the program once, exiting through the loop, while another
    // program holds the file (if any) as told until just before the exit:
    // the message boxes shown at start, and in all.
    static std::pair<int, int> runOnce(const String& heldAtStart = String(), Hold hold = Hold::NoSharing)
    {
        std::optional<HeldFile> held;
        if (!heldAtStart.isEmpty()) {
            held.emplace(heldAtStart, hold);
            EXPECT_TRUE(held->isHeld());
        }
        MessageBoxCloser closer;
        int atStart = 0;
        {
            MainController controller(true);
            atStart = closer.closed;
            held.reset();
            exitThroughTheLoop();
        }
        return {atStart, closer.closed};
    }

private:
    String m_productName;
    const OwnUserFolders m_userFolders;
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
    const Tag* recent = libraryModel()->findTagByName(L"Recent");
    ASSERT_NE(recent, nullptr);
    // The tests' prefix keeps a file among the user's recent documents.
    EXPECT_EQ(recent->itemCount(), 0) << "the start-up rule scanned the user's recent documents";
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

// The notification-area icon of a shown window waits for the first paint,
// and for input waiting when its timer ticks: the icon took tens of
// milliseconds to build, which a first pointer move then waited for.
TEST_F(ControllerTest, ShownWindowGetsItsNotificationIconOnceTheQueueIsIdle)
{
    MainController controller(false);
    EXPECT_EQ(controller.userInterface()->trayIcon(), nullptr);
    const Rect frame = controller.userInterface()->mainWindow()->frameGeometry();
    SetCursorPos(frame.center().x, frame.center().y);
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    move.mi.dx = 3;
    ASSERT_EQ(SendInput(1, &move, sizeof(move)), 1u);
    // Only the timer's ticks are handled while the move waits.
    const DWORD start = GetTickCount();
    MSG tick;
    while (GetTickCount() - start < 100) {
        while (PeekMessageW(&tick, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
            DispatchMessageW(&tick);
        Sleep(1);
    }
    EXPECT_EQ(controller.userInterface()->trayIcon(), nullptr);
    ASSERT_TRUE(pumpUntil([&] { return controller.userInterface()->trayIcon() != nullptr; }));
    TrayIcon* icon = controller.userInterface()->trayIcon();
    EXPECT_TRUE(icon->isVisible());
    // Its menu is made when the right button is first released on it.
    EXPECT_EQ(icon->menu(), nullptr);
    SendMessageW(static_cast<HWND>(icon->windowHandle()), icon->callbackMessage(), 1, WM_RBUTTONUP);
    pumpPending();
    auto* menu = static_cast<UIMenu*>(icon->menu());
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->action(0)->text(), String(L"Hide"));
    menu->hide();
    // Once: every release used to build it anew.
    SendMessageW(static_cast<HWND>(icon->windowHandle()), icon->callbackMessage(), 1, WM_RBUTTONUP);
    pumpPending();
    EXPECT_EQ(icon->menu(), menu);
    static_cast<UIMenu*>(icon->menu())->hide();
}

// A background image setting naming a bmp whose header claims a width of
// 2^31 - 1 used to end this start and, as the setting is kept, every later
// one; so did a gif without colour tables. A png of 5,000 time or text
// chunks and a gif of 80,000 extensions held every start for seconds (they
// show now, their metadata never decoded), and a file larger than any
// image was read whole first.
TEST_F(ControllerTest, DamagedBackgroundImageLeavesTheBackgroundEmpty)
{
    using namespace damagedImages;
    TempFolder images;
    Bytes bmp = handMadeBmp(1, false);
    writeField(bmp, {18, 4, false}, 0x7FFFFFFF);
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    struct Row {
        const wchar_t* name;
        Bytes bytes;
        std::uint64_t fileSize;
        bool shown;
    };
    const Row rows[] = {
        {L"damaged.bmp", bmp, bmp.size(), false},
        {L"colourless.gif", gifWithoutColourTables(handMadeGif()), 0, false},
        {L"times.png", withTimeChunks(png, 5000), 0, true},
        {L"twice.png", withTimeChunks(png, 2), 0, true},
        {L"texts.png", withChunks(png, "tEXt", "Comment", 5000), 0, true},
        {L"extensions.gif", withGifExtensions(handMadeGif(), 80000), 0, true},
        {L"huge.png", png, ImageHeaderCheck::maxFileBytes + 1, false},
    };
    forEachRow(rows, [&](const Row& row) {
        const String path = images.file(row.name);
        ASSERT_TRUE(writeRaw(path, row.bytes));
        if (row.fileSize > row.bytes.size()) {
            ASSERT_TRUE(extendRaw(path, std::int64_t(row.fileSize)));
        }
        {
            MainController controller(true);
            libraryModel()->setBackgroundImagePath(path);
            EXPECT_EQ(row.shown, !controller.userInterface()->mainWindow()->tagCloud()->backgroundImage().isNull());
            exitThroughTheLoop();
        }
        MainController restarted(true);
        EXPECT_EQ(libraryModel()->backgroundImagePath(), path);
        EXPECT_EQ(row.shown, !restarted.userInterface()->mainWindow()->tagCloud()->backgroundImage().isNull());
    });
}

TEST_F(ControllerTest, DamagedLibraryIsKeptAsideAndTheProgramStartsEmpty)
{
    ASSERT_TRUE(Application::instance()->ensureUserDataPath());
    // A folder named as the kept copy would be was taken for a free name:
    // the move failed and the damaged file was held instead.
    ASSERT_TRUE(CreateDirectoryW(filePath(L"kestrola.database.bad").c_str(), nullptr));
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

// An exit and then a hide asked for while the library is busy: the exit is
// what waits, and once the library is free the program ends with its
// window still shown.
TEST_F(ControllerTest, AnExitThenAHideWhileBusyEndTheProgram)
{
    MessageBoxCloser closer;
    MainController controller(false);
    {
        const LibraryModel::BusyScope busy(libraryModel());
        controller.exit();
        userInterface()->hideMainWindow();
        EXPECT_EQ(controller.waitingRequest(), MainController::Request::Exit);
    }
    EXPECT_TRUE(runUntilTheProgramQuits());
    EXPECT_EQ(controller.waitingRequest(), MainController::Request::Nothing);
    EXPECT_TRUE(controller.userInterface()->mainWindow()->isVisible());
    EXPECT_GT(readRaw(filePath(L"kestrola.database")).size(), 309u);
    EXPECT_EQ(closer.closed, 0);
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

// Another program held the library or the settings at start: without
// sharing (the library was said to be unsaved at every hide and exit), with
// a byte-range lock (read as damage: moved aside, and the exit wrote an
// empty library or the defaults in its place), or, damaged settings,
// without letting them be moved; or wrote it (an in-use probe that shared
// writing took that for damage). Each is told once and never written over.
TEST_F(ControllerTest, FilesHeldAtStartAreToldOnceAndNeverWrittenOver)
{
    struct Row {
        const wchar_t* file;
        Hold hold;
        bool damaged;
    };
    const Row rows[] = {
        {L"kestrola.database", Hold::NoSharing, false},   {L"kestrola.database", Hold::ByteRangeLock, false},
        {L"kestrola.config", Hold::NoSharing, false},     {L"kestrola.config", Hold::ByteRangeLock, false},
        {L"kestrola.config", Hold::NoDeleteSharing, true}, {L"kestrola.database", Hold::Writing, false},
        {L"kestrola.config", Hold::Writing, false},
    };
    forEachRow(rows, [&](const Row& row) {
        removeTree(wide(folder()));
        runOnce();
        if (row.damaged)
            writeFile(row.file, bytesOf("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<groups><gro"));
        const Bytes before = readRaw(filePath(row.file));
        EXPECT_EQ(runOnce(filePath(row.file), row.hold), (std::pair<int, int>(1, 1)));
        EXPECT_EQ(readRaw(filePath(row.file)), before);
        EXPECT_FALSE(fileExistsRaw(filePath(row.file) + L".bad"));
        EXPECT_FALSE(fileExistsRaw(filePath(row.file) + L".new"));
    });
}

// A lock at logon goes within moments: the start waits for it rather than
// going on without the library or the settings (which were then not saved
// in that session).
TEST_F(ControllerTest, FileHeldForAMomentAtStartIsWaitedFor)
{
    runOnce();
    forEachRow(std::vector<const wchar_t*>{L"kestrola.database", L"kestrola.config"}, [&](const wchar_t* file) {
        // Let go early in a wait no lateness of the releasing thread comes near.
        const HeldFileWait longWait(longHeldFileWaitMs);
        HeldFile held(filePath(file), Hold::ByteRangeLock);
        held.releaseAfter(defaultHeldFileWaitMs / 3);
        MessageBoxCloser closer;
        MainController controller(true);
        EXPECT_EQ(closer.closed, 0);
        EXPECT_NE(libraryModel()->findTagByName(L"Desktop"), nullptr);
        EXPECT_EQ(libraryModel()->scanRules().count(), 2) << "the rules are read from the settings";
    });
}

// Another program wrote the library or the settings while this one ran,
// and the exit wrote the session's over it; also in place, keeping size
// and file index, where only the write time tells, and keeping the time as
// well (rewritten in place or made anew), where only the bytes tell. A
// session that changed nothing (the README's sample-library command run
// meanwhile) went beside it, told; it writes nothing.
TEST_F(ControllerTest, FilesChangedWhileRunningAreKeptAndAChangedSessionGoesBeside)
{
    enum class Other { Appended, NewTime, SameTime, MadeAnew };
    struct Row {
        const wchar_t* file;
        Other other;
        bool changed;
    };
    const Row rows[] = {
        {L"kestrola.database", Other::Appended, true}, {L"kestrola.config", Other::Appended, true},
        {L"kestrola.database", Other::NewTime, true},  {L"kestrola.config", Other::NewTime, true},
        {L"kestrola.database", Other::SameTime, true}, {L"kestrola.config", Other::SameTime, true},
        {L"kestrola.database", Other::MadeAnew, true}, {L"kestrola.config", Other::MadeAnew, true},
        {L"kestrola.database", Other::Appended, false}, {L"kestrola.config", Other::Appended, false}};
    forEachRow(rows, [&](const Row& row) {
        removeTree(wide(folder()));
        runOnce();
        const std::uint64_t written = writeTimeRaw(filePath(row.file));
        Bytes theirs = readRaw(filePath(row.file));
        if (row.other == Other::Appended)
            theirs.push_back('\n');
        else
            theirs[theirs.size() / 2] ^= 1;
        MessageBoxCloser closer;
        {
            MainController controller(true);
            if (row.changed) {
                libraryModel()->addTag(L"Session");
                libraryModel()->setBackgroundImagePath(L"C:\\session.png");
            }
            if (row.other == Other::SameTime || row.other == Other::MadeAnew) {
                ASSERT_TRUE(rewriteKeepingSizeAndTime(filePath(row.file), theirs,
                                                      row.other == Other::MadeAnew ? Rewrite::Recreated : Rewrite::InPlace));
            } else {
                writeFile(row.file, theirs);
            }
            ASSERT_TRUE(row.other != Other::NewTime || setWriteTimeRaw(filePath(row.file), written + oneHour));
            exitThroughTheLoop();
        }
        EXPECT_EQ(closer.closed, row.changed ? 1 : 0);
        EXPECT_EQ(readRaw(filePath(row.file)), theirs);
        EXPECT_EQ(closer.naming(filePath(row.file) + L".new"), row.changed ? 1 : 0);
        EXPECT_EQ(fileExistsRaw(filePath(row.file) + L".new"), row.changed);
    });
}

// A data folder on a drive not there yet at start (network, VPN, removable)
// but back by the exit: the exit wrote an empty library and the default
// settings over the user's.
TEST_F(ControllerTest, DataFolderAwayAtStartIsNotWrittenOverWhenBackAtExit)
{
    runOnce();
    const String home = folder() + L" home";
    const String away = folder() + L" away";
    ASSERT_TRUE(MoveFileW(folder().c_str(), home.c_str()));
    if (!makeLink(folder(), home))
        GTEST_SKIP() << "no folder link could be made here";
    const LinkRemover remover{folder()};
    const Bytes library = readRaw(home + L"\\kestrola.database");
    const Bytes settings = readRaw(home + L"\\kestrola.config");
    ASSERT_TRUE(MoveFileW(home.c_str(), away.c_str()));
    MessageBoxCloser closer;
    {
        MainController controller(true);
        EXPECT_EQ(closer.closed, 2) << "neither the settings nor the library could be reached";
        ASSERT_TRUE(MoveFileW(away.c_str(), home.c_str()));
        exitThroughTheLoop();
    }
    EXPECT_EQ(closer.closed, 2);
    EXPECT_EQ(readRaw(home + L"\\kestrola.database"), library);
    EXPECT_EQ(readRaw(home + L"\\kestrola.config"), settings);
    removeTree(wide(home));
}

// The exit ignored a settings file it could not write.
TEST_F(ControllerTest, SettingsThatCannotBeSavedAreReportedAtExit)
{
    ASSERT_TRUE(Application::instance()->ensureUserDataPath());
    // The save's temporary file cannot be made where a folder has its name.
    ASSERT_TRUE(CreateDirectoryW((filePath(L"kestrola.config.tmp")).c_str(), nullptr));
    EXPECT_EQ(runOnce(), (std::pair<int, int>(0, 1)));
}

// A folder that cannot be made (a name Windows refuses): the program starts
// and says at once that it can store neither the settings nor the library;
// the exit, with nothing of the session to keep, says nothing more.
TEST_F(ControllerTest, LibraryThatCannotBeStoredIsReportedOnceAtStart)
{
    Application::instance()->setProductName(L"Kestrola|Test");
    MessageBoxCloser closer;
    {
        MainController controller(true);
        EXPECT_EQ(closer.closed, 2);
        exitThroughTheLoop();
    }
    EXPECT_EQ(closer.closed, 2);
}

// With the desktop under a folder named "A;B", the first run's Desktop rule
// split at the ";" on reading: 2 rules after the first run, 1 after the
// second.
TEST_F(ControllerTest, FirstRunDesktopRuleUnderAFolderWithASemicolonSurvivesRestarts)
{
    TempFolder parent;
    const String desktop = parent.makeFolder(L"A;B") + L"Desktop";
    ASSERT_TRUE(CreateDirectoryW(desktop.c_str(), nullptr));
    const ShellFolderRedirect redirect(L"Desktop", desktop);
    ASSERT_TRUE(String::equalsIgnoreCase(specialFolderPath(SpecialFolder::Desktop), desktop));
    MessageBoxCloser closer;
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        MainController controller(true);
        ASSERT_EQ(libraryModel()->scanRules().count(), 2);
        EXPECT_TRUE(String::equalsIgnoreCase(libraryModel()->scanRules().last()->value->scanPath(), desktop));
        exitThroughTheLoop();
    }
    EXPECT_EQ(closer.closed, 0);
}

// A library made again (deleted, or left empty by a first run that saved
// nothing) got the first-run rules and filters on top of the stored ones
// at each start: the stored rules went 2, 4, 6.
TEST_F(ControllerTest, FirstRunRulesAndFiltersAreStoredOnceThoughTheLibraryIsMadeAgain)
{
    const auto stored = [] {
        Settings file(L"kestrola.config", Application::instance()->productName(), Settings::UserData, Settings::Xml);
        file.load();
        return std::make_pair(file.value(L"model/scanRules", String()).toString(),
                              file.value(L"model/taggedItemFilters", String()).toString());
    };
    const std::function<void(const String&)> emptyings[] = {
        [](const String& path) { EXPECT_TRUE(DeleteFileW(path.c_str())); },
        [](const String& path) { EXPECT_TRUE(writeRaw(path, Bytes())); },
    };
    forEachRow(emptyings, [&](const std::function<void(const String&)>& empty) {
        removeTree(wide(folder()));
        runOnce();
        const auto firstRun = stored();
        ASSERT_FALSE(firstRun.first.isEmpty());
        for (int run = 0; run < 2; ++run) {
            empty(filePath(L"kestrola.database"));
            runOnce();
            EXPECT_EQ(stored(), firstRun) << "run " << run;
            EXPECT_TRUE(holdsTags(filePath(L"kestrola.database"), {L"Desktop", L"Recent"}));
        }
    });
}

// A close of the program that reached a start-up message (scripts/run's
// Ctrl+C, the session's end) only ended the message: the start went on and
// the program stayed. It exits once started, with nothing to save. The
// user's own close of the box (Alt+F4, its close button) ended the program
// too: it only ends the message. A second start-up message after such a
// close kept the program waiting for an answer.
TEST_F(ControllerTest, CloseDuringAStartUpMessageEndsTheProgramOnceStarted)
{
    runOnce();
    struct Row {
        const char* name;
        std::function<LRESULT(HWND)> close;
        // What the close returns; the session waits for the exit.
        LRESULT answer;
        bool exits;
        // The settings held too: a second message would follow the first.
        bool settingsHeld = false;
    };
    const Row rows[] = {
        {"posted close", [](HWND box) { return LRESULT(PostMessageW(box, WM_CLOSE, 0, 0)); }, TRUE, true},
        {"posted close, two messages", [](HWND box) { return LRESULT(PostMessageW(box, WM_CLOSE, 0, 0)); }, TRUE,
         true, true},
        {"session end", [](HWND box) { return SendMessageW(box, WM_QUERYENDSESSION, 0, 0); }, FALSE, true},
        {"close command", [](HWND box) { return SendMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0, false},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        const Bytes library = readRaw(filePath(L"kestrola.database"));
        const Bytes config = readRaw(filePath(L"kestrola.config"));
        std::optional<HeldFile> held(std::in_place, filePath(L"kestrola.database"), Hold::NoSharing);
        std::optional<HeldFile> heldSettings;
        if (row.settingsHeld)
            heldSettings.emplace(filePath(L"kestrola.config"), Hold::NoSharing);
        LRESULT answer = -1;
        MessageBoxCloser closer;
        closer.fromOutside = [&](HWND box) { answer = row.close(box); };
        {
            MainController controller(true);
            EXPECT_EQ(closer.closed, 1);
            EXPECT_EQ(controller.waitingRequest(),
                      row.exits ? MainController::Request::Exit : MainController::Request::Nothing);
            held.reset();
            heldSettings.reset();
            // A program that stays ends as the user ends it.
            if (!row.exits)
                SetTimer(nullptr, 0, 10, closeFromLoop);
            EXPECT_TRUE(runUntilTheProgramQuits()) << "the close was dropped";
        }
        EXPECT_EQ(closer.closed, 1);
        EXPECT_EQ(answer, row.answer);
        EXPECT_EQ(readRaw(filePath(L"kestrola.database")), library);
        EXPECT_EQ(readRaw(filePath(L"kestrola.config")), config);
        EXPECT_FALSE(fileExistsRaw(filePath(L"kestrola.database.new")));
    });
}

// WM_CLOSE reaching the "Waiting for the library..." window (Alt+F4, the
// session's end) destroyed its lines, and the start died in an access
// violation after the held-file message. Then the close only ended the wait:
// the message about the held file followed, and the program stayed on with
// nothing read. A close ends the wait, at any point, and the program once
// started, without a message and writing nothing over the held file. The
// session's end was let go on and the wait ran its whole time; with both
// files held, a close during the settings' wait left the library's to run
// its whole time. A close at the first window, before any other, destroyed
// it, and the program started, waited, told of the held library and stayed.
// A close posted just before the file was let go was lost with the window.
// After a close, a later held file's wait shows no window and never takes
// the file for free, and no message tells of damaged settings or library.
TEST_F(ControllerTest, ClosingTheWaitWindowEndsTheWaitAndTheProgramOnceStarted)
{
    runOnce();
    struct Row {
        const char* name;
        std::vector<const wchar_t*> held;
        OutsideClose how;
        // A lock, which Wine's reads pass, shows a read of a held file.
        Hold hold = Hold::NoSharing;
        // Damaged before the start, and mended after it.
        const wchar_t* damaged = nullptr;
    };
    const Row rows[] = {
        {"library, posted", {L"kestrola.database"}, OutsideClose::Posted},
        {"library, sent", {L"kestrola.database"}, OutsideClose::Sent},
        {"library, session end", {L"kestrola.database"}, OutsideClose::SessionEnd},
        {"settings, posted", {L"kestrola.config"}, OutsideClose::Posted},
        {"settings, sent", {L"kestrola.config"}, OutsideClose::Sent},
        {"settings, session end", {L"kestrola.config"}, OutsideClose::SessionEnd},
        {"both, posted", {L"kestrola.config", L"kestrola.database"}, OutsideClose::Posted},
        {"library, posted as freed", {L"kestrola.database"}, OutsideClose::PostedAsFreed},
        {"settings, posted as freed", {L"kestrola.config"}, OutsideClose::PostedAsFreed},
        {"none, at the first window", {}, OutsideClose::AtFirstWindow},
        {"library, at the first window", {L"kestrola.database"}, OutsideClose::AtFirstWindow},
        {"both locked, posted", {L"kestrola.config", L"kestrola.database"}, OutsideClose::Posted, Hold::ByteRangeLock},
        {"damaged settings, at the first window", {}, OutsideClose::AtFirstWindow, Hold::NoSharing, L"kestrola.config"},
        {"damaged library, at the first window", {}, OutsideClose::AtFirstWindow, Hold::NoSharing,
         L"kestrola.database"},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.name);
        std::vector<Bytes> before;
        std::vector<std::unique_ptr<HeldFile>> held;
        for (const wchar_t* file : row.held) {
            before.push_back(readRaw(filePath(file)));
            held.push_back(std::make_unique<HeldFile>(filePath(file), row.hold));
        }
        const Bytes sound = row.damaged ? readRaw(filePath(row.damaged)) : Bytes();
        if (row.damaged)
            writeFile(row.damaged, bytesOf("damaged"));
        const HeldFileWait longWait(longHeldFileWaitMs);
        const auto first = static_cast<HWND>(instanceWindow()->handle());
        if (row.how == OutsideClose::AtFirstWindow) {
            ASSERT_TRUE(PostMessageW(first, WM_CLOSE, 0, 0));
        }
        MessageBoxCloser boxes;
        {
            ProgressWindowCloser closer(row.how, [&] {
                for (const auto& file : held)
                    file->release();
            });
            const ShownWaitWindows shown;
            const DWORD start = GetTickCount();
            MainController controller(true);
            const DWORD took = GetTickCount() - start;
            closer.stop();
            EXPECT_EQ(shown.count(), row.how == OutsideClose::AtFirstWindow ? 0 : 1) << "a wait after the close showed";
            EXPECT_EQ(closer.sessionsLetEnd(), 0) << "the session was not asked to wait for the exit";
            EXPECT_LT(took, static_cast<DWORD>(heldFileWaitMs())) << "a wait ran its whole time";
            EXPECT_EQ(boxes.closed, 0);
            if (row.how == OutsideClose::PostedAsFreed) {
                EXPECT_NE(libraryModel()->findTagByName(L"Desktop"), nullptr) << "the file let go was not read";
            }
            if (row.hold == Hold::ByteRangeLock) {
                EXPECT_EQ(libraryModel()->findTagByName(L"Desktop"), nullptr) << "the held library was read";
            }
            ASSERT_EQ(controller.waitingRequest(), MainController::Request::Exit) << "the close was dropped";
            // Let go, so that a save over the files would succeed.
            held.clear();
            EXPECT_TRUE(runUntilTheProgramQuits());
        }
        EXPECT_TRUE(IsWindow(first));
        for (std::size_t i = 0; i < row.held.size(); ++i) {
            EXPECT_EQ(readRaw(filePath(row.held[i])), before[i]);
            EXPECT_FALSE(fileExistsRaw(filePath(row.held[i]) + L".new"));
        }
        if (row.damaged)
            writeFile(row.damaged, sound);
    });
}

// The library held for the whole run left the cloud empty, and the exit
// stored that: the next start had lost "Taxes|Garden".
TEST_F(ControllerTest, SelectionOfALibraryHeldAtStartStaysStored)
{
    {
        MainController controller(true);
        PointerArray<Tag*> selection;
        selection.append(libraryModel()->addTag(L"Taxes"));
        selection.append(libraryModel()->addTag(L"Garden"));
        controller.userInterface()->mainWindow()->tagCloud()->setSelectedTags(selection);
        exitThroughTheLoop();
    }
    ASSERT_EQ(wide(storedSelection()), L"Taxes|Garden");
    {
        HeldFile held(filePath(L"kestrola.database"), Hold::NoSharing);
        MessageBoxCloser closer;
        MainController controller(true);
        EXPECT_TRUE(controller.userInterface()->mainWindow()->tagCloud()->selectedTags().isEmpty());
        exitThroughTheLoop();
    }
    EXPECT_EQ(wide(storedSelection()), L"Taxes|Garden");
    MainController restarted(true);
    EXPECT_EQ(restarted.userInterface()->mainWindow()->tagCloud()->selectedTags().count(), 2);
}

// A session kept beside the library or the settings was never mentioned
// again. Each start names every such file newer than the one it belongs
// to, in one message that says what to do with it (it sent a Windows user
// to a README that is not installed). An empty file in the place (a failed
// save's) or a library the start moves aside as unreadable hides none. An
// empty copy (its name reserved when the machine stopped) holds none: it
// was named, and renamed as told it put an empty library in place. Eighty
// names on a small work area made the message too tall: its box cut away
// what to do, and the list is cut instead.
TEST_F(ControllerTest, SessionKeptBesideIsToldAtEachStartWhileNewer)
{
    enum class Place { Saved, Emptied, Damaged };
    struct Row {
        const wchar_t* file;
        std::vector<const wchar_t*> beside;
        bool newer;
        int told;
        Place place = Place::Saved;
        bool besideEmpty = false;
        // Copies numbered 1 to this beside the file too, and the list's
        // last line then.
        int numbered = 0;
        const wchar_t* listEnd = nullptr;
    };
    const Row rows[] = {
        {L"kestrola.database", {L"kestrola.database.new"}, true, 1},
        {L"kestrola.database", {L"kestrola.database_0003.new"}, true, 1},
        {L"kestrola.config", {L"kestrola.config.new"}, true, 1},
        {L"kestrola.database", {L"kestrola.database.new", L"kestrola.config.new"}, true, 1},
        {L"kestrola.database", {L"kestrola.database.new"}, false, 0},
        {L"kestrola.database", {L"kestrola.database.old.new", L"kestrola.database_12.new"}, true, 0},
        {L"kestrola.database", {L"kestrola.database.new"}, false, 1, Place::Emptied},
        {L"kestrola.database", {L"kestrola.database.new"}, false, 1, Place::Damaged},
        {L"kestrola.database", {L"kestrola.database.new"}, true, 0, Place::Saved, true},
        {L"kestrola.database", {L"kestrola.database.new"}, true, 1, Place::Saved, false, 79, L"and 71 more"},
    };
    forEachRow(rows, [&](const Row& row) {
        removeTree(wide(folder()));
        runOnce();
        const std::uint64_t written = writeTimeRaw(filePath(row.file));
        std::vector<std::wstring> names(row.beside.begin(), row.beside.end());
        for (int i = 1; i <= row.numbered; ++i)
            names.push_back(wide(String::format(L"%ls_%04d.new", row.file, i)));
        for (const std::wstring& name : names) {
            writeFile(name.c_str(), row.besideEmpty ? Bytes() : readRaw(filePath(row.file)));
            ASSERT_TRUE(setWriteTimeRaw(filePath(name.c_str()), row.newer ? written + oneHour : written - oneHour));
        }
        if (row.place != Place::Saved)
            writeFile(row.file, row.place == Place::Emptied ? Bytes() : bytesOf("no library"));
        const OneMonitor smallScreen;
        for (int start = 0; start < 2; ++start) {
            MessageBoxCloser closer;
            bool cut = false;
            closer.answer = [&](const UIMessageBox& box) {
                for (const UILabel* label : widgetsOf<UILabel>(box))
                    cut = cut || label->height() < label->sizeHint().height;
                return 1;
            };
            MainController controller(true);
            // And the damaged library, once: the start moves it aside.
            ASSERT_EQ(closer.closed, row.told + int(row.place == Place::Damaged && start == 0));
            for (const wchar_t* name : row.beside)
                EXPECT_EQ(closer.naming(filePath(name)), row.told) << wide(name);
            if (row.told > 0) {
                const std::wstring& notice = closer.texts.back();
                EXPECT_NE(notice.find(L"rename it"), std::wstring::npos) << notice;
                EXPECT_NE(notice.find(L"delete it"), std::wstring::npos) << notice;
                EXPECT_EQ(notice.find(L"README"), std::wstring::npos) << notice;
                EXPECT_FALSE(cut) << "what to do is cut away";
            }
            if (row.listEnd) {
                EXPECT_NE(closer.texts.back().find(L'\n' + std::wstring(row.listEnd) + L'\n'), std::wstring::npos);
            }
        }
    });
}

// Saves of one session, at the hide and at the exit: the library's place
// this run read, held at start, held with its first file beside refused,
// held at the hide alone, or held then and changed by another program
// before the exit. Every later save of a session went beside once its own
// first save had changed the file's identity; every save beside said so
// again; a failed first save beside kept its name, and the next one there
// went unmentioned; once beside, the session never went back to the file
// this run read, which the next run then started from. Each file beside is
// named once, none is left for a library that is this run's again, and the
// last one holds the whole session.
TEST_F(ControllerTest, EverySaveOfASessionKeepsToOnePlaceAndItIsToldOnce)
{
    struct Row {
        bool heldAtStart, firstBesideRefused, heldAtHide, changedAfterHide;
    };
    const Row rows[] = {{false, false, false, false}, {true, false, false, false}, {true, true, false, false},
                        {false, false, true, false},  {false, false, true, true}};
    forEachRow(rows, [&](const Row& row) {
        removeTree(wide(folder()));
        runOnce();
        const String library = filePath(L"kestrola.database");
        const Bytes before = readRaw(library);
        const Bytes theirs = bytesOf("their library");
        std::optional<HeldFile> held;
        if (row.heldAtStart)
            held.emplace(library, Hold::NoSharing);
        const String blocker = library + L".new.tmp";
        if (row.firstBesideRefused) {
            ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
        }
        MessageBoxCloser closer;
        {
            MainController controller(false);
            held.reset();
            libraryModel()->addTag(L"BeforeHide");
            if (row.heldAtHide)
                held.emplace(library, Hold::NoSharing);
            userInterface()->hideMainWindow();
            held.reset();
            if (row.changedAfterHide) {
                ASSERT_TRUE(writeRaw(library, theirs));
            }
            RemoveDirectoryW(blocker.c_str());
            libraryModel()->addTag(L"AfterHide");
            exitThroughTheLoop();
        }
        std::vector<FileEntry> beside;
        listFileEntries(beside, folder(), ListFiles, StringList::split(String(L"new"), String(L";")));
        if (!row.heldAtStart && !row.changedAfterHide) {
            EXPECT_TRUE(beside.empty());
            ASSERT_EQ(closer.closed, row.heldAtHide ? 2 : 0);
            EXPECT_TRUE(holdsTags(library, {L"BeforeHide", L"AfterHide"}));
            if (row.heldAtHide) {
                EXPECT_NE(closer.texts[1].find(L"saved in its place again"), std::wstring::npos) << closer.texts[1];
                EXPECT_EQ(closer.naming(library + L".new, was removed"), 1) << closer.texts[1];
            }
            return;
        }
        EXPECT_EQ(readRaw(library), row.changedAfterHide ? theirs : before);
        ASSERT_FALSE(beside.empty());
        for (const FileEntry& entry : beside)
            EXPECT_EQ(closer.naming(entry.path), 1) << wide(entry.path);
        const auto last = std::max_element(beside.begin(), beside.end(), [](const FileEntry& a, const FileEntry& b) {
            return a.writeTime < b.writeTime;
        });
        EXPECT_TRUE(holdsTags(last->path, {L"BeforeHide", L"AfterHide"}));
    });
}

namespace {

// A change of the session to both files, and whether a file holds it.
void markTheSession()
{
    libraryModel()->addTag(L"SessionMark");
    libraryModel()->setBackgroundImagePath(L"C:\\SessionMark.png");
}

bool holdsTheSession(const String& path)
{
    const Bytes bytes = readRaw(path);
    const std::string mark = "SessionMark";
    return std::search(bytes.begin(), bytes.end(), mark.begin(), mark.end()) != bytes.end();
}

} // namespace

// Another program held the library or the settings that the session changed
// when it was closed: "could not be saved", and the session was gone. The
// exit waits for the file as the start does, then saves beside it, and the
// library is written before the settings' message waits for the user.
TEST_F(ControllerTest, FilesHeldAtExitAreWaitedForThenTheSessionGoesBeside)
{
    struct Row {
        const wchar_t* file;
        Hold hold;
        const wchar_t* told; // null: let go during the wait
    };
    const Row rows[] = {
        {L"kestrola.database", Hold::NoSharing, nullptr},
        {L"kestrola.database", Hold::NoSharing, L"is in use by another program"},
        {L"kestrola.database", Hold::NoDeleteSharing, L"could not be written"},
        {L"kestrola.config", Hold::NoSharing, nullptr},
        {L"kestrola.config", Hold::NoSharing, L"is in use by another program"},
        {L"kestrola.config", Hold::NoDeleteSharing, L"could not be written"},
    };
    const String library = filePath(L"kestrola.database");
    forEachRow(rows, [&](const Row& row) {
        removeTree(wide(folder()));
        runOnce();
        const String path = filePath(row.file);
        const Bytes before = readRaw(path);
        MessageBoxCloser closer;
        bool libraryWrittenAtTheBox = false;
        closer.answer = [&](const UIMessageBox&) {
            libraryWrittenAtTheBox = holdsTheSession(library) || holdsTheSession(library + L".new");
            return 1;
        };
        {
            MainController controller(true);
            markTheSession();
            HeldFile held(path, row.hold);
            // Let go early in a wait no lateness of the releasing thread comes near.
            const HeldFileWait wait(row.told ? heldFileWaitMs() : longHeldFileWaitMs);
            if (!row.told)
                held.releaseAfter(defaultHeldFileWaitMs / 3);
            exitThroughTheLoop();
        }
        ASSERT_EQ(closer.closed, row.told ? 1 : 0);
        EXPECT_TRUE(holdsTheSession(row.told ? path + L".new" : path));
        if (!row.told)
            return;
        EXPECT_EQ(readRaw(path), before);
        EXPECT_EQ(closer.naming(path + L" " + row.told), 1) << closer.texts[0];
        EXPECT_EQ(closer.naming(path + L".new"), 1) << closer.texts[0];
        EXPECT_TRUE(libraryWrittenAtTheBox);
    });
}

// Settings another program held at an exit that changed nothing were
// waited for, seconds spent for nothing to write. Measured against a wait
// far longer than any exit takes on a busy machine.
TEST_F(ControllerTest, FilesHeldAtAnExitThatChangedNothingAreNotWaitedFor)
{
    const HeldFileWait longWait(longHeldFileWaitMs);
    forEachRow(std::vector<const wchar_t*>{L"kestrola.database", L"kestrola.config"}, [&](const wchar_t* file) {
        removeTree(wide(folder()));
        runOnce();
        const Bytes before = readRaw(filePath(file));
        MessageBoxCloser closer;
        std::int64_t exitMs = 0;
        {
            MainController controller(true);
            HeldFile held(filePath(file), Hold::NoSharing);
            const std::int64_t started = preciseMilliseconds();
            exitThroughTheLoop();
            exitMs = preciseMilliseconds() - started;
        }
        EXPECT_LT(exitMs, heldFileWaitMs());
        EXPECT_EQ(closer.closed, 0);
        EXPECT_EQ(readRaw(filePath(file)), before);
        EXPECT_FALSE(fileExistsRaw(filePath(file) + L".new"));
    });
}

// With nothing writable (each temporary name taken by a folder here; a full
// disk, a folder turned read-only), the exit said so and the session was
// gone. Every file is named once, Retry is the default, and the user may try
// again or end without them; at a hide, Cancel keeps the session for the
// exit, which the box said it would lose.
TEST_F(ControllerTest, NothingWritableAtExitNamesEveryFileAndOffersToRetry)
{
    struct Row {
        int button;
        bool atHide;
    };
    const Row rows[] = {{MessageBoxRetry, false}, {MessageBoxCancel, false}, {MessageBoxRetry, true},
                        {MessageBoxCancel, true}};
    forEachRow(rows, [&](const Row& row) {
        std::vector<std::wstring> names;
        for (const wchar_t* file : {L"kestrola.config", L"kestrola.database"}) {
            for (const wchar_t* end : {L"", L".new", L"_0000.new", L"_0001.new"}) {
                if (!row.atHide || file == std::wstring(L"kestrola.database"))
                    names.push_back(std::wstring(file) + end);
            }
        }
        removeTree(wide(folder()));
        runOnce();
        const Bytes library = readRaw(filePath(L"kestrola.database"));
        for (const std::wstring& name : names)
            ASSERT_TRUE(CreateDirectoryW(filePath((name + L".tmp").c_str()).c_str(), nullptr));
        MessageBoxCloser closer;
        closer.answer = [&](const UIMessageBox& box) {
            EXPECT_EQ(box.buttons(), MessageBoxRetry | MessageBoxCancel);
            EXPECT_TRUE(box.flags() & MessageBoxDefaultRetry);
            for (const std::wstring& name : names)
                RemoveDirectoryW(filePath((name + L".tmp").c_str()).c_str());
            return row.button;
        };
        {
            MainController controller(!row.atHide);
            markTheSession();
            if (row.atHide)
                userInterface()->hideMainWindow();
            exitThroughTheLoop();
        }
        ASSERT_EQ(closer.closed, 1);
        const std::wstring& box = closer.texts[0];
        for (const std::wstring& name : names) {
            const std::wstring line = wide(filePath(name.c_str())) + L"\n";
            EXPECT_EQ(box.find(line), box.rfind(line)) << name << " named twice";
            EXPECT_NE(box.find(line), std::wstring::npos) << name;
        }
        EXPECT_NE(box.find(row.atHide ? L"Cancel keeps this session" : L"Cancel goes on without saving"),
                  std::wstring::npos)
            << box;
        const bool sessionKept = row.atHide || row.button == MessageBoxRetry;
        EXPECT_EQ(holdsTheSession(filePath(L"kestrola.config")), sessionKept);
        EXPECT_EQ(readRaw(filePath(L"kestrola.database")) == library, !sessionKept);
        EXPECT_FALSE(fileExistsRaw(filePath(L"kestrola.database.new")));
    });
}
