#include "app/MainController.h"

#include "app/ImageByName.h"
#include "app/LibraryController.h"
#include "app/MainWindow.h"
#include "app/SettingsSchema.h"
#include "app/UITagCloud.h"
#include "app/UserInterface.h"
#include "app/windows/FlashProgressWindow.h"
#include "foundation/Application.h"
#include "foundation/Settings.h"
#include "library/Database.h"
#include "library/LibraryModel.h"
#include "ui/widgets/UIWidgetHooks.h"

namespace {

MainController* liveController = nullptr;

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
    m_settings->load();
    registerSettings(*m_settings);
}

// The library reports what it could not read; a library it could not
// even create would otherwise go unsaved without a word.
void MainController::openLibrary()
{
    if (m_model->openDatabase() || m_model->database()->lastError() != Database::CannotCreate)
        return;
    uiHooks().information(String(), m_model->database()->errorText(), String(), UiHooks::OkButton, 0);
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

bool MainController::saveSettings()
{
    m_userInterface->saveSettings();
    m_model->saveSettings();
    return m_settings->save();
}

// The old file stays as it was when a save fails; the user is told, since
// the changes since then are not in it.
bool MainController::saveLibrary()
{
    Database* database = m_model->database();
    if (database && database->save(false))
        return true;
    const String path = database && database->hasPath() ? database->path() : Database::defaultPath();
    const String text = translate(L"The library could not be saved to ^.", L"MainWindow/Exceptions").arg(path);
    uiHooks().information(String(), text, String(), UiHooks::OkButton, 0);
    return false;
}

void MainController::exit()
{
    if (m_exiting)
        return;
    m_exiting = true;
    saveSettings();
    saveLibrary();
    if (Application::instance())
        Application::instance()->quit();
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
