#pragma once

#include "foundation/LanguageInfo.h"
#include "foundation/List.h"
#include "foundation/SingleInstance.h"
#include "foundation/String.h"

#include <cstdint>

class DataPack;
class LogFile;
class Translator;

// A loaded data pack and the name it is found by.
struct LoadedPack {
    String name;
    DataPack* pack = nullptr;
};

using PackList = List<LoadedPack>;
using LanguageList = List<LanguageInfo>;

// The process-wide object that the application shell creates first and
// destroys last. It holds the program's identity (maker, product, version,
// web addresses), the command line, the single-instance mutex and window,
// the Dispatcher and its main loop, the log, the installed Translator and the
// loaded data packs. Every user-visible text passes through translate().
//
// Used from the UI thread only.
class Application {
public:
    // Reads the command line and the program's path, creates the log, and
    // when no Application exists yet becomes the instance and sets up the
    // process's Dispatcher, instance window and single-instance mutex.
    Application(const String& productName, const String& version);
    // Only the instance tears the process's services down again, and it
    // stops being the instance.
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Runs the main loop and returns its exit code.
    virtual int run();
    // Ends every running loop with code 0.
    virtual void quit();

    // The first Application constructed, while it lives; null otherwise.
    static Application* instance();

    // Whether another copy of the program held the mutex first.
    bool isAnotherInstanceRunning() const;
    // Asks that copy to bring its main window forward.
    bool activateOtherInstance() const;
    static bool isSupportedWindows();
    // The executable's module handle.
    static void* moduleHandle();
    static void beep();

    const String& commandLine() const { return m_commandLine; }
    LogFile* log() const { return m_log; }
    Translator* translator() const { return m_translator; }
    // The native handle of the main window, null until the toolkit sets it.
    void* mainWindow() const { return m_mainWindow; }
    // Also makes the instance window forward activation requests to it;
    // until then they are dropped.
    void setMainWindow(void* handle);
    // Full path of the running program, and its folder without a trailing
    // separator.
    const String& executablePath() const { return m_executablePath; }
    const String& applicationDirectory() const { return m_applicationDirectory; }
    // Where packs, languages and the settings of the program's folder are
    // looked for: the program's folder unless set otherwise (tests use a
    // folder of their own).
    void setApplicationDirectory(const String& folder) { m_applicationDirectory = folder; }

    const String& companyName() const { return m_companyName; }
    void setCompanyName(const String& name) { m_companyName = name; }
    const String& productName() const { return m_productName; }
    void setProductName(const String& name) { m_productName = name; }
    const String& version() const { return m_version; }
    void setVersion(const String& version) { m_version = version; }
    // The maker's host also becomes the product's while that is empty;
    // likewise for the addresses.
    const String& companyHost() const { return m_companyHost; }
    void setCompanyHost(const String& host);
    const String& companyUrl() const { return m_companyUrl; }
    void setCompanyUrl(const String& url);
    const String& productHost() const { return m_productHost; }
    void setProductHost(const String& host) { m_productHost = host; }
    const String& productUrl() const { return m_productUrl; }
    void setProductUrl(const String& url) { m_productUrl = url; }

    // The user's application data folder + "\" + the product name.
    String userDataPath() const;
    // Creates userDataPath with its parents when missing; true when it exists.
    bool ensureUserDataPath() const;

    // The installed translator's text for source and context; without one,
    // the source with the escape rules applied ("|" to a line feed, "%app"
    // to the product name, ...).
    String translate(const String& source, const String& context = String::empty) const;
    // By the 64-bit hash of source and context, low half first; empty
    // without a translator or a match.
    String translateById(std::uint32_t low, std::uint32_t high) const;
    // Deletes the installed translator and installs the given one (owned;
    // null removes translation).
    void setTranslator(Translator* translator);
    // Installs a translator read from ".lang" bytes; on failure none is left
    // installed.
    bool loadTranslator(const void* data, std::uint64_t size);

    // A name holding '\' is the pack's full path; otherwise name + ".pak" is
    // looked for in the program's folder, then in its "data" folder. The
    // pack is listed under its file's base name. Loading a name twice lists
    // it twice.
    bool loadPack(const String& name);
    bool loadPackFromMemory(const String& name, const std::uint8_t* data, std::int64_t size);
    // The first pack listed under exactly this name (case-sensitive).
    DataPack* findPack(const String& name) const;
    bool unloadPack(const String& name);
    void unloadAllPacks();
    int packCount() const { return m_packs.count(); }
    const PackList& packs() const { return m_packs; }

    // The language files (".xml", ".lang") directly in the folder, by default
    // the "languages" folder beside the program, in listing order. Files
    // without a native name are left out; of files with the same native name
    // (ignoring case) the one written last is kept, moved to the end.
    LanguageList enumerateLanguages(const String& folder = String::empty) const;
    // The first language of that English name (findLanguageByName) or native
    // name (findLanguageByAltName), ignoring case; an empty record when none.
    LanguageInfo findLanguageByName(const String& name, const String& folder = String::empty) const;
    LanguageInfo findLanguageByAltName(const String& name, const String& folder = String::empty) const;
    // Loads the language of that English (or native) name from the default
    // folder; a name that matches no language changes nothing.
    void setLanguage(const String& name);
    void setLanguageByAltName(const String& name);
    // Installs the newer of "languages\<baseName>.xml" and ".lang"; without
    // either file, or when it fails to load, no translator is left
    // installed. Nothing changes when that file is already installed.
    void loadLanguageFile(const String& baseName);

    // Product name, version and the CRC-32 of the program file, joined by a
    // separator; with encode, the UTF-8 bytes of that as Base64.
    String buildAgentId(bool encode) const;

private:
    bool openPack(const String& path);
    String languagesFolder() const;

    String m_commandLine;
    NamedMutex m_instanceMutex;
    String m_companyName;
    String m_companyHost;
    String m_companyUrl;
    String m_productName;
    String m_version;
    String m_productHost;
    String m_productUrl;
    String m_executablePath;
    String m_applicationDirectory;
    LogFile* m_log = nullptr;
    Translator* m_translator = nullptr;
    PackList m_packs;
    void* m_mainWindow = nullptr;
};

// The running Application's translation of a user-visible text; without an
// Application, the English text with the escape rules applied.
String translate(const String& source, const String& context = String::empty);
