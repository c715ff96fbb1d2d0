#pragma once

#include "foundation/Hooks.h"
#include "foundation/StringList.h"
#include "ui/TimerClient.h"

#include <memory>

class LibraryController;
class LibraryModel;
class Settings;
class UserInterface;

// The program's own state for the whole run: the settings store on
// "kestrola.config", the library model, the library controller and the UI
// root. It answers the lower layers' shell services (foundation/Hooks.h)
// while it lives. One at a time, on the UI thread.
class MainController : public ShellHooks, private TimerClient {
public:
    // Start-up: the settings store (every key registered, the file read,
    // or waited for a little while another program holds it), the language,
    // the model with its settings, the library opened (first run defaults
    // and the start-up scan), a word on sessions kept beside the library or
    // the settings (newerFilesBeside) and the main window, shown unless
    // autorun keeps it in the notification area. A close that ends a
    // start-up message or the window of a wait for a held file (WM_CLOSE,
    // the session's end), or that reached the program before them (WM_CLOSE
    // at its single-instance window), exits as soon as the event loop runs;
    // later start-up messages are not shown, and later waits end at once.
    explicit MainController(bool autorun);
    ~MainController() override;

    // The live controller, or null.
    static MainController* instance();

    Settings& settings() override;
    LibraryModel* libraryModel() override;
    LibraryController* libraryController() override;
    UserInterface* userInterface() const { return m_userInterface.get(); }

    void setStatus(int state) override;
    void setStatusProgress(int percent, bool busyIcon) override;
    bool imageByName(const String& name, Bitmap& image) override;
    void reloadTagCloudBackground() override;

    // Writes the library file, with a progress window, as saveFiles does.
    bool saveLibrary();
    // Saves the settings and the library (saveFiles), then ends the event
    // loop. Once.
    void exit();

    // What waits for the library: a non-silent merge processes events, so
    // the notification menu and the session's end reach the program while a
    // scan, merge or save holds the library busy. Such a request waits until
    // the library is free and is then carried out as usual; an exit beats a
    // hide, and asking again adds nothing.
    enum class Request { Nothing, Hide, Exit };
    // True when the library is busy and the request was left waiting.
    bool waitForLibrary(Request request);
    Request waitingRequest() const { return m_waiting; }

private:
    enum class Files { Library, LibraryAndSettings };

    void timerEvent(int id) override;
    void keepWaiting(Request request);
    // Writes the files, each before any message waits for the user, then
    // shows what the saves had to tell. When a file could not be written
    // anywhere, the user learns every such file and may try again (Retry)
    // or go on without them (Cancel: at the hide, which saves the library
    // alone, the session stays in memory for the exit). True once every
    // file was written.
    bool saveFiles(Files files);
    bool writeSettings();
    static String cancelText(Files files);
    bool writeLibrary();
    StringList unwrittenFiles(bool settings, bool library) const;
    void openSettings();
    bool loadSettingsInUse();
    void keepUnreadableSettings();
    void tellOfSessionsSavedBeside();
    void openLibrary();
    void applyLanguage();

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<LibraryModel> m_model;
    std::unique_ptr<LibraryController> m_libraryController;
    std::unique_ptr<UserInterface> m_userInterface;
    bool m_exiting = false;
    bool m_settingsHeld = false;
    Request m_waiting = Request::Nothing;
};

// The live controller's parts, for every window of the program.
Settings& settings();
LibraryModel* libraryModel();
LibraryController* libraryController();
UserInterface* userInterface();
