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
#include "foundation/SingleInstance.h"
#include "foundation/FileInUse.h"
#include "foundation/FileMovedAside.h"
#include "foundation/NewerFilesBeside.h"
#include "foundation/OwnFileSave.h"
#include "library/Database.h"
#include "library/LibraryModel.h"
#include "ui/widgets/UIMessageBox.h"
#include "ui/widgets/UIWidgetHooks.h"

#include <utility>
#include <vector>

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

// A longer list of names would make a start-up message taller than a small
// screen, whose box then cuts away what the message says to do.
constexpr int namesListedAtMost = 10;

// One name a line; past namesListedAtMost lines, the last says how many
// more there are.
String listOfNames(const StringList& names)
{
    if (names.count() <= namesListedAtMost)
        return names.join(String(L"\n"));
    StringList listed;
    for (StringList::Node* name = names.first(); listed.count() < namesListedAtMost - 1; name = name->next)
        listed.append(name->value);
    listed.append(exceptionText(L"and ^ more").arg(String::number(names.count() - listed.count())));
    return listed.join(String(L"\n"));
}

// Waits, as at start, for a settings file another program holds.
bool waitForSettings(const String& path)
{
    return waitForHeldFile(path, OwnFileSave::waitingText(OwnFileSave::Kind::Settings), false);
}

// A close from outside before any other window of the program was up
// reached only its first one, the single-instance window.
bool closedThroughFirstWindow()
{
    InstanceWindow* first = instanceWindow();
    return first && first->takeCloseRequest();
}

// A start-up message that a close of the program (WM_CLOSE, the session's
// end) ends: the close is noted, for the controller to carry out once it
// can save. A box ended by its own buttons, keys or close command (Alt+F4,
// the close button) notes nothing.
class StartMessageBox : public UIMessageBox {
public:
    StartMessageBox(const String& title, const String& text, int buttons, bool& closed)
        : UIMessageBox(MessageInformation, title, text, buttons), m_closed(closed)
    {
        shutdownRequested.connect(this, &StartMessageBox::onSessionEnding);
    }

protected:
    void closeEvent(UICloseEvent* event) override
    {
        UIMessageBox::closeEvent(event);
        if (event->isFromNativeWindow() && !event->isByCloseCommand())
            m_closed = true;
    }

private:
    // The session waits for the exit's save, as while the library is busy.
    void onSessionEnding(bool* mayEnd)
    {
        m_closed = true;
        *mayEnd = false;
        done(0);
    }

    bool& m_closed;
};

// The program's progress window while it starts: a close that reaches it
// (WM_CLOSE: taskkill, the run script's Ctrl+C; the session's end) during a
// wait for a held file ends the wait, and is noted as one that ends a
// start-up message is. Once the program was closed at start, every later
// wait ends at once.
class StartProgressWindow : public FlashProgressWindow {
public:
    explicit StartProgressWindow(bool& closed) : m_closed(closed) {}
    // A close that reached the window counts though the wait ended by
    // itself meanwhile (the file let go), before the window took it.
    ~StartProgressWindow() override { closeRequested(); }

    bool closeRequested() override
    {
        if (FlashProgressWindow::closeRequested() || closedThroughFirstWindow())
            m_closed = true;
        return m_closed;
    }

private:
    bool& m_closed;
};

// The widget set's hooks, with the program's own progress window for the
// library's loads and saves. While messages are kept, a box that only
// informs waits for showKeptMessages, so that no file waits for the user.
// While the program starts, a close that ends a message or a wait is noted.
class ShellWidgetHooks : public UIWidgetHooks {
public:
    std::unique_ptr<ProgressWindow> createProgressWindow() override
    {
        if (m_starting)
            return std::make_unique<StartProgressWindow>(m_closedAtStart);
        return std::make_unique<FlashProgressWindow>();
    }

    int information(const String& title, const String& text, const String& informativeText, int buttons,
                    int flags) override
    {
        if (m_starting)
            return startMessage(title, text, informativeText, buttons, flags);
        if (!m_keeping || buttons != UiHooks::OkButton)
            return UIWidgetHooks::information(title, text, informativeText, buttons, flags);
        m_kept.push_back({title, text, informativeText, flags});
        return UiHooks::OkButton;
    }

    void beginStart()
    {
        m_starting = true;
        m_closedAtStart = false;
    }

    // Whether a close ended a message or a wait, or reached the program
    // before its other windows were up, while the program started.
    bool endStart()
    {
        m_starting = false;
        const bool closed = closedAtStart();
        m_closedAtStart = false;
        return closed;
    }

    void keepMessages() { m_keeping = true; }

    void showKeptMessages()
    {
        m_keeping = false;
        const std::vector<Message> kept = std::exchange(m_kept, {});
        for (const Message& message : kept)
            UIWidgetHooks::information(message.title, message.text, message.informativeText, UiHooks::OkButton,
                                       message.flags);
    }

private:
    struct Message {
        String title, text, informativeText;
        int flags;
    };

    int startMessage(const String& title, const String& text, const String& informativeText, int buttons, int flags)
    {
        // The program ends once started: a later message would stop it
        // there, waiting for a user who has already asked it to close.
        if (closedAtStart())
            return 0;
        StartMessageBox box(title, text, buttons, m_closedAtStart);
        box.setInformativeText(informativeText);
        box.setFlags(flags);
        return box.exec();
    }

    bool closedAtStart()
    {
        if (closedThroughFirstWindow())
            m_closedAtStart = true;
        return m_closedAtStart;
    }

    bool m_starting = false;
    bool m_closedAtStart = false;
    bool m_keeping = false;
    std::vector<Message> m_kept;
};

ShellWidgetHooks shellWidgetHooks;

static_assert(int{UiHooks::RetryButton} == int{MessageBoxRetry} && int{UiHooks::CancelButton} == int{MessageBoxCancel},
              "the lower layers' buttons are the message box's");

} // namespace

MainController::MainController(bool autorun)
{
    liveController = this;
    setShellHooks(this);
    setToolkitHooks(&shellWidgetHooks);
    shellWidgetHooks.beginStart();
    openSettings();
    applyLanguage();
    m_model = std::make_unique<LibraryModel>();
    m_libraryController = std::make_unique<LibraryController>();
    m_userInterface = std::make_unique<UserInterface>();
    m_model->loadSettings();
    openLibrary();
    tellOfSessionsSavedBeside();
    m_userInterface->start(autorun);
    // A close that ended a start-up message or wait is carried out once the
    // event loop runs, as one that waited for the library.
    if (shellWidgetHooks.endStart())
        keepWaiting(Request::Exit);
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
    return isFileInUse(path) && waitForSettings(path) && m_settings->load();
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
// until the file it belongs to is newer, and told what to do with it, as no
// README is installed with the program. Asked once both files are opened,
// so that one that could not be read, and went aside, hides no session.
void MainController::tellOfSessionsSavedBeside()
{
    StringList kept = newerFilesBeside(Database::defaultPath());
    kept.appendList(newerFilesBeside(m_settings->filePath()));
    if (kept.isEmpty())
        return;
    tellUser(exceptionText(L"An earlier session could not be saved in its place and was kept beside it:") + L'\n' +
             listOfNames(kept) + L'\n' +
             exceptionText(L"To keep it, close the program and rename it to the name of the file it belongs to, in "
                           L"place of that file; otherwise delete it."));
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

bool MainController::saveLibrary()
{
    return saveFiles(Files::Library);
}

// A settings file held at start was reported then and is not written.
void MainController::exit()
{
    if (m_exiting || waitForLibrary(Request::Exit))
        return;
    m_exiting = true;
    saveFiles(Files::LibraryAndSettings);
    if (Application::instance())
        Application::instance()->quit();
}

bool MainController::saveFiles(Files files)
{
    bool settingsWritten = files == Files::Library || m_settingsHeld;
    bool libraryWritten = false;
    for (;;) {
        shellWidgetHooks.keepMessages();
        settingsWritten = settingsWritten || writeSettings();
        libraryWritten = libraryWritten || writeLibrary();
        shellWidgetHooks.showKeptMessages();
        if (settingsWritten && libraryWritten)
            return true;
        const String text = exceptionText(L"This session could not be saved: none of these files could be written.") +
                            L'\n' + unwrittenFiles(!settingsWritten, !libraryWritten).join(String(L"\n")) + L'\n' +
                            exceptionText(L"Free some space on the disk, or close the program that uses them, and "
                                          L"try again.") +
                            L' ' + cancelText(files);
        const int buttons = UiHooks::RetryButton | UiHooks::CancelButton;
        if (uiHooks().information(String(), text, String(), buttons, MessageBoxDefaultRetry) != UiHooks::RetryButton)
            return false;
    }
}

// The model's settings, the cloud's selection and the window geometry go
// into the store first; the store saves by the same rule as the library
// and tells the user where it went (Settings::saveGuarded).
bool MainController::writeSettings()
{
    m_userInterface->saveSettings();
    m_model->saveSettings();
    return m_settings->saveGuarded();
}

// A hide keeps the session in memory, and the exit saves it again.
String MainController::cancelText(Files files)
{
    if (files == Files::Library)
        return exceptionText(L"Cancel keeps this session in memory; the exit tries again.");
    return exceptionText(L"Cancel goes on without saving.");
}

bool MainController::writeLibrary()
{
    Database* database = m_model->database();
    return database && database->save(false);
}

// Each file by its place, then the names beside it that failed too.
StringList MainController::unwrittenFiles(bool settings, bool library) const
{
    StringList files;
    const auto add = [&files](const String& place, const StringList& unwritten) {
        files.append(place);
        for (const String& path : unwritten) {
            if (!files.containsIgnoreCase(path))
                files.append(path);
        }
    };
    if (settings)
        add(FileSystem::finalPath(m_settings->filePath()), m_settings->unwrittenPaths());
    const Database* database = m_model->database();
    if (library && database)
        add(FileSystem::finalPath(database->path()), database->unwrittenPaths());
    else if (library)
        files.append(Database::defaultPath());
    return files;
}

bool MainController::waitForLibrary(Request request)
{
    if (!m_model || !m_model->isBusy())
        return false;
    keepWaiting(request);
    return true;
}

void MainController::keepWaiting(Request request)
{
    if (request > m_waiting)
        m_waiting = request;
    startTimer(libraryFreeTimer, libraryFreePollMs);
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
