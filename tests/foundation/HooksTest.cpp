#include "foundation/Hooks.h"
#include "foundation/Settings.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingProgressWindow : public ProgressWindow {
public:
    explicit RecordingProgressWindow(std::vector<std::wstring>& calls) : m_calls(calls) {}
    ~RecordingProgressWindow() override { m_calls.push_back(L"destroyed"); }

    void setMessage(const String& text) override { m_calls.push_back(L"message " + wide(text)); }
    void setPercent(int percent) override { m_calls.push_back(L"percent " + std::to_wstring(percent)); }
    void show() override { m_calls.push_back(L"show"); }

private:
    std::vector<std::wstring>& m_calls;
};

class RecordingUiHooks : public UiHooks {
public:
    void setOverrideCursor(int cursorId) override { calls.push_back(L"cursor " + std::to_wstring(cursorId)); }
    void restoreOverrideCursor() override { calls.push_back(L"restore"); }
    int information(const String& title, const String& text, const String& extraText, int buttons,
                    int flags) override
    {
        calls.push_back(L"information [" + wide(title) + L"] [" + wide(text) + L"] [" + wide(extraText) + L"] " +
                        std::to_wstring(buttons) + L" " + std::to_wstring(flags));
        return 1;
    }
    std::unique_ptr<ProgressWindow> createProgressWindow() override
    {
        calls.push_back(L"progress");
        return std::make_unique<RecordingProgressWindow>(calls);
    }

    std::vector<std::wstring> calls;
};

class RecordingShellHooks : public ShellHooks {
public:
    Settings& settings() override { return store; }
    void setStatus(int state) override { calls.push_back(L"status " + std::to_wstring(state)); }
    void setStatusProgress(int percent, bool busyIcon) override
    {
        calls.push_back(L"progress " + std::to_wstring(percent) + (busyIcon ? L" busy" : L""));
    }
    void reloadTagCloudBackground() override { calls.push_back(L"background"); }

    Settings store{L"test.config", L"Test", Settings::UserData, Settings::NoFormat};
    std::vector<std::wstring> calls;
};

// Puts the defaults back whatever a test did.
class HooksTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        setUiHooks(nullptr);
        setShellHooks(nullptr);
    }
};

} // namespace

TEST_F(HooksTest, DefaultsDoNothingAndAnswerNone)
{
    UiHooks& ui = uiHooks();
    ui.setOverrideCursor(UiHooks::WaitCursor);
    ui.restoreOverrideCursor();
    ui.restoreOverrideCursor();
    EXPECT_EQ(ui.information(String(), L"text", String(), UiHooks::OkButton, 0), 0);
    std::unique_ptr<ProgressWindow> window = ui.createProgressWindow();
    ASSERT_NE(window, nullptr);
    window->setMessage(L"Saving");
    window->setPercent(50);
    window->show();

    ShellHooks& shell = shellHooks();
    EXPECT_EQ(shell.libraryModel(), nullptr);
    EXPECT_EQ(shell.libraryController(), nullptr);
    shell.setStatus(ShellHooks::StatusScanning);
    shell.setStatusProgress(40, true);
    shell.reloadTagCloudBackground();
}

// Callers read settings before the shell exists; they must get their
// defaults, and the store must never touch a file.
TEST_F(HooksTest, DefaultSettingsStoreGivesDefaultsAndHasNoFile)
{
    Settings& settings = shellHooks().settings();
    EXPECT_EQ(&settings, &shellHooks().settings());
    EXPECT_EQ(settings.value(L"model/sortMode", Value(2)).toInt(), 2);
    settings.setValue(L"model/sortMode", Value(5));
    EXPECT_EQ(settings.value(L"model/sortMode", Value(2)).toInt(), 2);
    EXPECT_FALSE(settings.save());
    EXPECT_FALSE(settings.load());
}

TEST_F(HooksTest, InstalledHooksReceiveTheCallsAndNullRestoresDefaults)
{
    RecordingUiHooks ui;
    RecordingShellHooks shell;
    setUiHooks(&ui);
    setShellHooks(&shell);
    EXPECT_EQ(&uiHooks(), &ui);
    EXPECT_EQ(&shellHooks().settings(), &shell.store);

    EXPECT_EQ(uiHooks().information(String(), L"Cannot open", String(), UiHooks::OkButton, 0), 1);
    {
        std::unique_ptr<ProgressWindow> window = uiHooks().createProgressWindow();
        window->setMessage(L"Saving");
        window->setPercent(100);
        window->show();
    }
    shellHooks().setStatus(ShellHooks::StatusPreparing);
    shellHooks().setStatusProgress(7, false);
    shellHooks().reloadTagCloudBackground();

    EXPECT_EQ(ui.calls, (std::vector<std::wstring>{L"information [] [Cannot open] [] 4 0", L"progress",
                                                   L"message Saving", L"percent 100", L"show", L"destroyed"}));
    EXPECT_EQ(shell.calls, (std::vector<std::wstring>{L"status 3", L"progress 7", L"background"}));

    setUiHooks(nullptr);
    setShellHooks(nullptr);
    EXPECT_NE(&uiHooks(), &ui);
    EXPECT_NE(&shellHooks().settings(), &shell.store);
}

TEST_F(HooksTest, ScopedWaitCursorPairsSetAndRestore)
{
    RecordingUiHooks ui;
    setUiHooks(&ui);
    {
        ScopedWaitCursor outer;
        ScopedWaitCursor inner;
    }
    EXPECT_EQ(ui.calls, (std::vector<std::wstring>{L"cursor 3", L"cursor 3", L"restore", L"restore"}));
}

// Hooks replaced while the cursor is shown must not get a restore they
// never saw a set for.
TEST_F(HooksTest, ScopedWaitCursorRestoresOnTheHooksThatSetIt)
{
    RecordingUiHooks first;
    RecordingUiHooks second;
    setUiHooks(&first);
    {
        ScopedWaitCursor cursor;
        setUiHooks(&second);
    }
    EXPECT_EQ(first.calls, (std::vector<std::wstring>{L"cursor 3", L"restore"}));
    EXPECT_TRUE(second.calls.empty());
}
