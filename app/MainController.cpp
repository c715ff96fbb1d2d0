#include "app/MainController.h"

#include "app/ImageByName.h"
#include "app/LibraryController.h"
#include "app/MainWindow.h"
#include "app/SettingsSchema.h"
#include "app/UITagCloud.h"
#include "app/UserInterface.h"
#include "app/windows/FlashProgressWindow.h"
#include "foundation/Application.h"
#include "foundation/FileSystem.h"
#include "foundation/Settings.h"
#include "foundation/UnreadableFile.h"
#include "library/Database.h"
#include "library/LibraryModel.h"
#include "ui/widgets/UIWidgetHooks.h"

namespace {

MainController* liveController = nullptr;

// Polls, while a request waits, whether the library is free.
constexpr int libraryFreeTimer = 1;
constexpr int libraryFreePollMs = 20;

void tellUser(const String& text)
{
    uiHooks().information(String(), text, String(), UiHooks::OkButton, 0);
}

String exceptionText(const wchar_t* text)
{
    return translate(text, L"MainWindow/Exceptions");
}

// The widget set's hooks, with the program's own progress window for the
// library's loads and saves.
class ShellWidgetHooks : public UIWidgetHooks {
public:
    std::unique_ptr<ProgressWindow> createProgressWindow() override
    {
        return std::make_unique<FlashProgressWindow>();
    }
};

ShellWidgetHooks shellWidgetHooks;

} // namespace

MainController::MainController(bool autorun)
{
    liveController = this;
    setShellHooks(this);
    setToolkitHooks(&shellWidgetHooks);
    openSettings();
    applyLanguage();
    m_model = std::make_unique<LibraryModel>();
    m_libraryController = std::make_unique<LibraryController>();
    m_userInterface = std::make_unique<UserInterface>();
    m_model->loadSettings();
    tellOfSessionsSavedBeside();
    openLibrary();
    m_userInterface->start(autorun);
}

MainController::~MainController()
{
    m_userInterface.reset();
    m_libraryController.reset();
    m_model.reset();
    setToolkitHooks(nullptr);
    setShellHooks(nullptr);
    liveController = nullptr;
}

MainController* MainController::instance()
{
    return liveController;
}

// Keys are registered before the file is read, so that a key the file
// lacks still reads its default, and again after, because a load replaces
// the store's entries with the file's.
void MainController::openSettings()
{
    const Application* application = Application::instance();
    const String product = application ? application->productName() : String();
    if (application)
        application->ensureUserDataPath();
    m_settings = std::make_unique<Settings>(L"kestrola.config", product, Settings::UserData, Settings::Xml);
    registerSettings(*m_settings);
    // A file in use is not read at once: Wine reads a locked range.
    if ((isFileInUse(m_settings->filePath()) || !m_settings->load()) && !loadSettingsInUse())
        keepUnreadableSettings();
    registerSettings(*m_settings);
}

// Locks at logon are short, as for the library: a settings file another
// program holds is waited for a little before it is held for the session.
bool MainController::loadSettingsInUse()
{
    const String path = m_settings->filePath();
    if (!isFileInUse(path))
        return false;
    const std::unique_ptr<ProgressWindow> window = uiHooks().createProgressWindow();
    window->setMessage(exceptionText(L"Waiting for the settings, which another program is using..."));
    window->setPercent(0);
    window->show();
    const auto progress = [&window](int percent) { window->setPercent(percent); };
    const auto closed = [&window] { return window->closeRequested(); };
    return waitWhileInUse(path, heldFileWaitMs(), progress, closed) && m_settings->load();
}

// The defaults written at exit would replace the user's rules and filters,
// so a settings file that exists and cannot be read is moved aside first, as
// the library's is; one in use by another program, or that cannot be moved,
// is held: the settings are not written in this run. So is one whose folder
// cannot be reached (a network or removable drive not there yet), which may
// hold the user's file once it is.
void MainController::keepUnreadableSettings()
{
    const String path = m_settings->filePath();
    if (path.isEmpty())
        return;
    const bool reached = fileExists(path);
    const bool inUse = reached && isFileInUse(path);
    const String kept = !reached || inUse ? String() : moveAsideAsBad(path);
    m_settingsHeld = kept.isEmpty();
    String text = inUse ? exceptionText(L"The settings file ^ is in use by another program.").arg(path)
                        : exceptionText(L"The settings file ^ could not be read.").arg(path);
    if (m_settingsHeld)
        text += L'\n' + exceptionText(L"It is left as it is, and the settings are not saved in this session.");
    else
        text += L'\n' + exceptionText(L"The file was kept as ^, and the default settings are used.").arg(kept);
    tellUser(text);
}

// The library reports what it could not read; a library it could not
// even create would otherwise go unsaved without a word. Its folder may be
// out of reach only for now (a network or removable drive), so the user
// learns that a library found there later is kept.
void MainController::openLibrary()
{
    if (m_model->openDatabase() || m_model->database()->lastError() != Database::CannotCreate)
        return;
    const Database* database = m_model->database();
    tellUser(database->errorText() + L'\n' +
             exceptionText(L"The library ^ cannot be reached; a library found there later is not written over in this "
                           L"session.")
                 .arg(database->path()));
}

// A session kept beside the library or the settings at an earlier exit is
// not taken in by the program: the user is reminded of it at each start
// until the file it belongs to is newer.
void MainController::tellOfSessionsSavedBeside()
{
    StringList kept = newerFilesBeside(Database::defaultPath());
    kept.appendList(newerFilesBeside(m_settings->filePath()));
    if (kept.isEmpty())
        return;
    tellUser(exceptionText(L"An earlier session could not be saved in its place and was kept beside it:") + L'\n' +
             kept.join(String(L"\n")) + L'\n' +
             exceptionText(L"The README says how to keep it or delete it, with the program closed."));
}

void MainController::applyLanguage()
{
    const String language = m_settings->value(L"general/language", String()).toString();
    if (!language.isEmpty() && Application::instance())
        Application::instance()->setLanguage(language);
}

Settings& MainController::settings()
{
    return *m_settings;
}

LibraryModel* MainController::libraryModel()
{
    return m_model.get();
}

LibraryController* MainController::libraryController()
{
    return m_libraryController.get();
}

void MainController::setStatus(int state)
{
    if (MainWindow* window = m_userInterface ? m_userInterface->mainWindow() : nullptr)
        window->setStatus(state);
}

void MainController::setStatusProgress(int percent, bool busyIcon)
{
    if (MainWindow* window = m_userInterface ? m_userInterface->mainWindow() : nullptr)
        window->setStatusProgress(percent, busyIcon);
}

bool MainController::imageByName(const String& name, Bitmap& image)
{
    const Bitmap found = ::imageByName(name);
    if (found.isNull())
        return false;
    image = found;
    return true;
}

void MainController::reloadTagCloudBackground()
{
    if (MainWindow* window = m_userInterface ? m_userInterface->mainWindow() : nullptr)
        window->tagCloud()->reloadBackground();
}

// A settings file that another program wrote since it was read is left as
// it is; the user is told once where the session's settings went instead.
bool MainController::saveSettings()
{
    if (m_settingsHeld)
        return false;
    m_userInterface->saveSettings();
    m_model->saveSettings();
    const bool wasBeside = !m_settings->besidePath().isEmpty();
    if (!m_settings->saveGuarded())
        return false;
    if (!wasBeside && !m_settings->besidePath().isEmpty())
        tellUser(exceptionText(L"The settings file ^ is not the one this session read, so it is left as it is.")
                     .arg(m_settings->filePath()) +
                 L'\n' + exceptionText(L"This session's settings were saved as ^.").arg(m_settings->besidePath()));
    return true;
}

// The old file stays as it was when a save fails; the user is told, since
// the changes since then are not in it.
bool MainController::saveLibrary()
{
    Database* database = m_model->database();
    if (database && database->save(false))
        return true;
    const String path = database && database->hasPath() ? database->path() : Database::defaultPath();
    tellUser(exceptionText(L"The library could not be saved to ^.").arg(path));
    return false;
}

// A held settings file was reported at start, so only a failed write is.
void MainController::exit()
{
    if (m_exiting || waitForLibrary(Request::Exit))
        return;
    m_exiting = true;
    if (!saveSettings() && !m_settingsHeld)
        tellUser(exceptionText(L"The settings could not be saved to ^.").arg(m_settings->filePath()));
    saveLibrary();
    if (Application::instance())
        Application::instance()->quit();
}

bool MainController::waitForLibrary(Request request)
{
    if (!m_model || !m_model->isBusy())
        return false;
    if (request > m_waiting)
        m_waiting = request;
    startTimer(libraryFreeTimer, libraryFreePollMs);
    return true;
}

void MainController::timerEvent(int id)
{
    if (id != libraryFreeTimer || m_model->isBusy())
        return;
    killTimer(libraryFreeTimer);
    const Request request = m_waiting;
    m_waiting = Request::Nothing;
    if (request == Request::Exit)
        exit();
    else if (request == Request::Hide)
        m_userInterface->hideMainWindow();
}

Settings& settings()
{
    return shellHooks().settings();
}

LibraryModel* libraryModel()
{
    return shellHooks().libraryModel();
}

LibraryController* libraryController()
{
    return shellHooks().libraryController();
}

UserInterface* userInterface()
{
    return liveController ? liveController->userInterface() : nullptr;
}
