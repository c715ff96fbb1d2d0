#include "foundation/SingleInstance.h"

#include "tests/support/Pump.h"
#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// A product name no other test run uses, so the mutexes and windows of
// parallel runs never meet.
String uniqueProduct(const wchar_t* stem)
{
    static int counter = 0;
    return String::format(L"%lsTest%lu_%d", stem, GetCurrentProcessId(), ++counter);
}

// Stands in for the application's main window: records the requests that
// reach it.
class MainWindowStub : public NativeWindow {
public:
    MainWindowStub() : NativeWindow(L"KestrolaSingleInstanceMainStub", messageOnlyParent()) {}

    bool handleMessage(NativeMessage& message) override
    {
        if (message.message != InstanceWindow::activateMessage)
            return false;
        requests.push_back({message.wParam, message.lParam});
        return true;
    }

    std::vector<std::pair<std::uintptr_t, std::intptr_t>> requests;
};

String probePath()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    String self(path, static_cast<int>(length));
    return self.mid(0, self.lastIndexOf(L'\\') + 1) + String(L"single_instance_probe.exe");
}

// Starts the probe with the arguments; null on failure.
HANDLE startProbe(const String& arguments)
{
    String commandLine = String(L"\"") + probePath() + String(L"\" ") + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Under a loaded machine Wine has refused a process start once in a
    // while; a second try tells that apart from a probe that is missing.
    for (int attempt = 0; !CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                          &startup, &process);
         ++attempt) {
        if (attempt == 1) {
            ADD_FAILURE() << "the probe did not start, error " << GetLastError();
            return nullptr;
        }
        Sleep(200);
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

// Keeps this thread's windows answering while the probe runs; its exit
// code, or -1 when it did not end in time.
int waitForProbe(HANDLE process, DWORD timeoutMs = 30000)
{
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return -1;
        const DWORD result = MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0)
            break;
        pumpPending();
    }
    pumpPending();
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<int>(code);
}

class SingleInstanceTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        destroyInstanceWindow();
        pumpPending();
    }
};

TEST_F(SingleInstanceTest, InstanceNameIsUpperCaseProductInBrackets)
{
    EXPECT_EQ(instanceName(L"Kestrola"), L"[KESTROLA]");
    InstanceWindow* window = createInstanceWindow(L"Kestrola");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window, instanceWindow());
    EXPECT_EQ(window->className(), L"[KESTROLA]");
    ASSERT_NE(window->handle(), nullptr);
    wchar_t className[64];
    GetClassNameW(static_cast<HWND>(window->handle()), className, 64);
    EXPECT_STREQ(className, L"[KESTROLA]");
    EXPECT_FALSE(IsWindowVisible(static_cast<HWND>(window->handle())));
}

TEST_F(SingleInstanceTest, DestroyingTheInstanceWindowClearsIt)
{
    createInstanceWindow(uniqueProduct(L"Destroy"));
    destroyInstanceWindow();
    EXPECT_EQ(instanceWindow(), nullptr);
    destroyInstanceWindow();
    EXPECT_EQ(instanceWindow(), nullptr);
}

TEST_F(SingleInstanceTest, EmptyMutexNameLeavesNoHandle)
{
    NamedMutex mutex;
    EXPECT_EQ(mutex.state(), NamedMutex::None);
    EXPECT_EQ(mutex.open(String()), NamedMutex::None);
    EXPECT_FALSE(mutex.isOpen());
}

TEST_F(SingleInstanceTest, EmptyNameClosesAnEarlierHandle)
{
    NamedMutex mutex;
    ASSERT_EQ(mutex.open(instanceName(uniqueProduct(L"Reopen"))), NamedMutex::Created);
    EXPECT_EQ(mutex.open(String()), NamedMutex::None);
    EXPECT_FALSE(mutex.isOpen());
}

TEST_F(SingleInstanceTest, OpeningTwiceInOneObjectClosesTheFirstHandle)
{
    const String name = instanceName(uniqueProduct(L"Twice"));
    NamedMutex mutex;
    EXPECT_EQ(mutex.open(name), NamedMutex::Created);
    EXPECT_EQ(mutex.open(name), NamedMutex::Created);
    EXPECT_TRUE(mutex.isOpen());
    mutex.close();
    EXPECT_EQ(mutex.state(), NamedMutex::None);
    EXPECT_FALSE(mutex.isOpen());
}

TEST_F(SingleInstanceTest, SecondHolderSeesTheFirstUntilItCloses)
{
    const String name = instanceName(uniqueProduct(L"Holder"));
    NamedMutex first;
    NamedMutex second;
    EXPECT_EQ(first.open(name), NamedMutex::Created);
    EXPECT_EQ(second.open(name), NamedMutex::AlreadyExisted);
    first.close();
    second.close();
    EXPECT_EQ(second.open(name), NamedMutex::Created);
}

// Creating and testing in one step: of copies racing to start, exactly one
// finds itself alone.
TEST_F(SingleInstanceTest, CopiesStartingTogetherFindExactlyOneFirst)
{
    const String name = instanceName(uniqueProduct(L"Race"));
    constexpr int copies = 8;
    std::atomic<int> ready{0};
    std::atomic<int> alone{0};
    std::atomic<int> found{0};
    std::vector<std::thread> threads;
    std::vector<NamedMutex> mutexes(copies);
    for (int i = 0; i < copies; ++i) {
        threads.emplace_back([&, i] {
            ++ready;
            while (ready < copies)
                std::this_thread::yield();
            const NamedMutex::State state = mutexes[i].open(name);
            ++(state == NamedMutex::Created ? alone : found);
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(alone, 1);
    EXPECT_EQ(found, copies - 1);
}

TEST_F(SingleInstanceTest, RequestBeforeTheMainWindowExistsIsConsumed)
{
    InstanceWindow* window = createInstanceWindow(uniqueProduct(L"Early"));
    ASSERT_NE(window->handle(), nullptr);
    NativeMessage message{window->handle(), InstanceWindow::activateMessage, 0, 0, 0};
    EXPECT_TRUE(window->handleMessage(message));
    EXPECT_EQ(SendMessageW(static_cast<HWND>(window->handle()), InstanceWindow::activateMessage, 0, 0), 0);

    MainWindowStub main;
    pumpPending();
    EXPECT_TRUE(main.requests.empty());
}

TEST_F(SingleInstanceTest, RequestIsForwardedToTheMainWindowWithItsParameters)
{
    InstanceWindow* window = createInstanceWindow(uniqueProduct(L"Forward"));
    MainWindowStub main;
    window->setMainWindow(main.handle());
    SendMessageW(static_cast<HWND>(window->handle()), InstanceWindow::activateMessage, 3, 4);
    EXPECT_TRUE(main.requests.empty()) << "forwarded by posting, so it waits for the loop";
    pumpPending();
    ASSERT_EQ(main.requests.size(), 1u);
    EXPECT_EQ(main.requests[0].first, 3u);
    EXPECT_EQ(main.requests[0].second, 4);
}

TEST_F(SingleInstanceTest, NoOtherInstanceMeansNothingToActivate)
{
    createInstanceWindow(uniqueProduct(L"Alone"));
    EXPECT_FALSE(activateOtherInstance());
}

TEST_F(SingleInstanceTest, ActivationWithoutAnInstanceWindowDoesNothing)
{
    EXPECT_FALSE(activateOtherInstance());
}

// A window of the instance class whose thread never reads its messages.
class HungWindowThread {
public:
    explicit HungWindowThread(const String& className)
        : m_thread([this, className] {
              {
                  HungWindow window(className);
                  m_created = window.handle() != nullptr;
                  m_ready = true;
                  WaitForSingleObject(m_release, INFINITE);
              }
          })
    {
        while (!m_ready)
            Sleep(1);
    }
    ~HungWindowThread()
    {
        SetEvent(m_release);
        m_thread.join();
        CloseHandle(m_release);
    }

    bool created() const { return m_created; }

private:
    class HungWindow : public NativeWindow {
    public:
        explicit HungWindow(const String& className) : NativeWindow(className) {}
        bool handleMessage(NativeMessage&) override { return false; }
    };

    HANDLE m_release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> m_ready{false};
    std::atomic<bool> m_created{false};
    std::thread m_thread;
};

// SendMessageW would wait for ever on a first copy that stopped answering.
TEST_F(SingleInstanceTest, HungOtherInstanceDoesNotBlockTheRequest)
{
    InstanceWindow* window = createInstanceWindow(uniqueProduct(L"Hung"));
    HungWindowThread hung(window->className());
    ASSERT_TRUE(hung.created());
    const DWORD start = GetTickCount();
    EXPECT_FALSE(activateOtherInstance(300));
    EXPECT_LT(GetTickCount() - start, 5000u);
}

TEST_F(SingleInstanceTest, SecondProcessSeesTheFirstAndItsRequestArrives)
{
    const String product = uniqueProduct(L"Probe");
    NamedMutex mutex;
    ASSERT_EQ(mutex.open(instanceName(product)), NamedMutex::Created);
    InstanceWindow* window = createInstanceWindow(product);
    MainWindowStub main;
    window->setMainWindow(main.handle());

    HANDLE probe = startProbe(String(L"activate ") + product);
    ASSERT_NE(probe, nullptr) << "single_instance_probe.exe must lie beside the tests";
    const int code = waitForProbe(probe);
    CloseHandle(probe);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(main.requests.size(), 1u);
    EXPECT_EQ(main.requests[0].first, 0u);
    EXPECT_EQ(main.requests[0].second, 0);
}

TEST_F(SingleInstanceTest, SecondProcessWithoutAFirstRunsAlone)
{
    HANDLE probe = startProbe(String(L"activate ") + uniqueProduct(L"Lonely"));
    ASSERT_NE(probe, nullptr);
    const int code = waitForProbe(probe);
    CloseHandle(probe);
    EXPECT_EQ(code, 21) << "the probe's code for: no other instance";
}

TEST_F(SingleInstanceTest, TwoProcessesStartedTogetherCannotBothRunFirst)
{
    const String arguments = String(L"hold ") + uniqueProduct(L"Pair") + String(L" 2000");
    HANDLE first = startProbe(arguments);
    HANDLE second = startProbe(arguments);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const int a = waitForProbe(first);
    const int b = waitForProbe(second);
    CloseHandle(first);
    CloseHandle(second);
    EXPECT_EQ(a + b, NamedMutex::Created + NamedMutex::AlreadyExisted);
    EXPECT_NE(a, b);
}

} // namespace
