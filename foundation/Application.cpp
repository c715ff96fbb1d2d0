#include "foundation/Application.h"

#include "foundation/ByteArray.h"
#include "foundation/Crc32.h"
#include "foundation/DataPack.h"
#include "foundation/Dispatcher.h"
#include "foundation/FileSystem.h"
#include "foundation/LogFile.h"
#include "foundation/Path.h"
#include "foundation/StringList.h"
#include "foundation/System.h"
#include "foundation/TextConversions.h"
#include "foundation/Translator.h"

#include <windows.h>

#include <memory>

namespace {

constexpr std::uint64_t logSizeLimit = 1048576;

// The agent identifier's separator (";") is kept scrambled in the program.
constexpr wchar_t scrambledAgentSeparator[] = L"\x5A61";
constexpr std::uint8_t agentSeparatorKey = 0x5A;

Application*& currentInstance()
{
    static Application* instance = nullptr;
    return instance;
}

String readCommandLine()
{
    const wchar_t* line = GetCommandLineW();
    return line ? String(line) : String();
}

// The CRC-32 of the program file; the file does not change while it runs.
const String& executableCrcText(const String& executablePath)
{
    static const String text = Crc32(executablePath).toText();
    return text;
}

void deletePack(LoadedPack& entry)
{
    delete entry.pack;
    entry.pack = nullptr;
}

// Of two files of one language, the one written later wins.
void addLanguage(LanguageList& list, const LanguageInfo& info)
{
    for (auto* node = list.first(); node; node = node->next) {
        if (!String::equalsIgnoreCase(node->value.nativeName, info.nativeName))
            continue;
        if (!(info.modified > node->value.modified))
            return;
        list.removeNode(node);
        break;
    }
    list.append(info);
}

} // namespace

Application::Application(const String& productName, const String& version)
    : m_commandLine(readCommandLine()),
      m_productName(productName),
      m_version(version),
      m_executablePath(Path::executablePath()),
      m_applicationDirectory(Path::directoryOf(m_executablePath)),
      m_log(new LogFile)
{
    m_log->setSizeLimit(logSizeLimit);
    if (currentInstance())
        return;
    currentInstance() = this;
    createDispatcher();
    createInstanceWindow(productName);
    m_instanceMutex.open(instanceName(productName));
}

Application::~Application()
{
    if (currentInstance() == this) {
        destroyInstanceWindow();
        destroyDispatcher();
        currentInstance() = nullptr;
    }
    delete m_log;
    delete m_translator;
    unloadAllPacks();
}

int Application::run()
{
    Dispatcher* loop = dispatcher();
    return loop ? loop->runMainLoop() : -1;
}

void Application::quit()
{
    if (Dispatcher* loop = dispatcher())
        loop->quitAll(0);
}

Application* Application::instance()
{
    return currentInstance();
}

bool Application::isAnotherInstanceRunning() const
{
    return m_instanceMutex.state() == NamedMutex::AlreadyExisted;
}

bool Application::activateOtherInstance() const
{
    return ::activateOtherInstance();
}

bool Application::isSupportedWindows()
{
    return isWindowsXpOrLater();
}

void* Application::moduleHandle()
{
    return GetModuleHandleW(nullptr);
}

void Application::beep()
{
    Beep(150, 150);
}

void Application::setMainWindow(void* handle)
{
    m_mainWindow = handle;
    if (currentInstance() == this && instanceWindow())
        instanceWindow()->setMainWindow(handle);
}

void Application::setCompanyHost(const String& host)
{
    m_companyHost = host;
    if (m_productHost.isEmpty())
        m_productHost = host;
}

void Application::setCompanyUrl(const String& url)
{
    m_companyUrl = url;
    if (m_productUrl.isEmpty())
        m_productUrl = url;
}

String Application::userDataPath() const
{
    const String base = specialFolderPath(SpecialFolder::AppData);
    if (base.isEmpty())
        return {};
    return base + L'\\' + m_productName;
}

bool Application::ensureUserDataPath() const
{
    const String path = userDataPath();
    if (path.isEmpty())
        return false;
    return directoryExists(path) || createPath(path + L'\\');
}

String Application::translate(const String& source, const String& context) const
{
    if (m_translator)
        return m_translator->translateText(source, context);
    return applyTranslationEscapes(source, m_productName);
}

String Application::translateById(std::uint32_t low, std::uint32_t high) const
{
    return m_translator ? m_translator->translateByHash(low, high) : String();
}

void Application::setTranslator(Translator* translator)
{
    if (translator == m_translator)
        return;
    delete m_translator;
    m_translator = translator;
}

bool Application::loadTranslator(const void* data, std::uint64_t size)
{
    auto loaded = std::make_unique<Translator>(m_productName);
    const bool ok = loaded->loadFromMemory(data, size);
    setTranslator(ok ? loaded.release() : nullptr);
    return ok;
}

bool Application::loadPack(const String& name)
{
    if (name.contains(L'\\'))
        return fileExists(name) && openPack(name);
    const String beside = m_applicationDirectory + L'\\' + name + L".pak";
    if (fileExists(beside))
        return openPack(beside);
    const String inData = m_applicationDirectory + L"\\data\\" + name + L".pak";
    return fileExists(inData) && openPack(inData);
}

// Listed under the file's base name.
bool Application::openPack(const String& path)
{
    auto pack = std::make_unique<DataPack>();
    if (!pack->openFile(path))
        return false;
    m_packs.append({Path::baseName(path), pack.release()});
    return true;
}

bool Application::loadPackFromMemory(const String& name, const std::uint8_t* data, std::int64_t size)
{
    auto pack = std::make_unique<DataPack>();
    if (!pack->openMemory(data, size))
        return false;
    m_packs.append({name, pack.release()});
    return true;
}

DataPack* Application::findPack(const String& name) const
{
    for (const LoadedPack& entry : m_packs) {
        if (entry.name == name)
            return entry.pack;
    }
    return nullptr;
}

bool Application::unloadPack(const String& name)
{
    for (auto* node = m_packs.first(); node; node = node->next) {
        if (node->value.name != name)
            continue;
        deletePack(node->value);
        m_packs.removeNode(node);
        return true;
    }
    return false;
}

void Application::unloadAllPacks()
{
    for (auto* node = m_packs.first(); node; node = node->next)
        deletePack(node->value);
    m_packs.clear();
}

String Application::languagesFolder() const
{
    return m_applicationDirectory + L"\\languages\\";
}

LanguageList Application::enumerateLanguages(const String& folder) const
{
    LanguageList languages;
    StringList extensions;
    extensions.append(L"xml");
    extensions.append(L"lang");
    StringList files;
    if (!listFiles(files, folder.isEmpty() ? languagesFolder() : folder, ListFiles | SkipHidden, extensions))
        return languages;
    for (const String& path : files) {
        const LanguageInfo info = Translator::readLanguageInfo(path);
        if (!info.nativeName.isEmpty())
            addLanguage(languages, info);
    }
    return languages;
}

LanguageInfo Application::findLanguageByName(const String& name, const String& folder) const
{
    for (const LanguageInfo& info : enumerateLanguages(folder)) {
        if (String::equalsIgnoreCase(info.englishName, name))
            return info;
    }
    return {};
}

LanguageInfo Application::findLanguageByAltName(const String& name, const String& folder) const
{
    for (const LanguageInfo& info : enumerateLanguages(folder)) {
        if (String::equalsIgnoreCase(info.nativeName, name))
            return info;
    }
    return {};
}

void Application::setLanguage(const String& name)
{
    const LanguageInfo info = findLanguageByName(name);
    if (!info.englishName.isEmpty())
        loadLanguageFile(info.name);
}

void Application::setLanguageByAltName(const String& name)
{
    const LanguageInfo info = findLanguageByAltName(name);
    if (!info.englishName.isEmpty())
        loadLanguageFile(info.name);
}

void Application::loadLanguageFile(const String& baseName)
{
    const String stem = languagesFolder() + baseName;
    const String chosen = Translator::chooseLanguageFile(stem + L".xml", stem + L".lang");
    if (m_translator && m_translator->path() == chosen)
        return;
    auto loaded = std::make_unique<Translator>(m_productName);
    const bool ok = !chosen.isEmpty() && loaded->load(chosen);
    setTranslator(ok ? loaded.release() : nullptr);
}

String Application::buildAgentId(bool encode) const
{
    StringList parts;
    parts.append(m_productName);
    parts.append(m_version);
    parts.append(executableCrcText(m_executablePath));
    const String joined = parts.join(xorDescramble(scrambledAgentSeparator, agentSeparatorKey));
    if (!encode)
        return joined;
    return joined.toUtf8().trimmedZeros().toBase64();
}

String translate(const String& source, const String& context)
{
    const Application* application = Application::instance();
    if (application)
        return application->translate(source, context);
    return applyTranslationEscapes(source, String::empty);
}
