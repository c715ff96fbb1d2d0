#include "tests/support/TempFolder.h"

#include "foundation/Application.h"
#include "foundation/ByteArray.h"
#include "foundation/Crc32.h"
#include "foundation/DataPack.h"
#include "foundation/Dispatcher.h"
#include "foundation/Event.h"
#include "foundation/LogFile.h"
#include "foundation/MessageReceiver.h"
#include "foundation/Path.h"
#include "foundation/System.h"
#include "foundation/Translator.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const wchar_t* const product = L"KestrolaAppTest";

bool setWriteTime(const String& path, int year)
{
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = 6;
    time.wDay = 1;
    FILETIME fileTime;
    if (!SystemTimeToFileTime(&time, &fileTime))
        return false;
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const BOOL ok = SetFileTime(file, nullptr, nullptr, &fileTime);
    CloseHandle(file);
    return ok;
}

std::string languageXml(const std::string& english, const std::string& native, const std::string& translation)
{
    return "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
           "<translation language_english=\"" +
           english + "\" language_native=\"" + native +
           "\" author=\"Tester\">\r\n"
           "<groups><group name=\"MainWindow\"><item context=\"Ready\" translation=\"" +
           translation + "\"/></group></groups>\r\n</translation>\r\n";
}

// The program's folder is a temporary one with "data" and "languages"
// folders, so packs and language files can be placed freely.
class ApplicationTest : public ::testing::Test {
protected:
    ApplicationTest()
    {
        application.setApplicationDirectory(folder.bare());
        folder.makeFolder(L"data");
        folder.makeFolder(L"languages");
    }

    String dataFolder() const { return folder.path() + L"data\\"; }
    String languagesFolder() const { return folder.path() + L"languages\\"; }

    // A pack with one folder "f" holding one file of the given name.
    bool writePack(const String& path, const wchar_t* fileName)
    {
        const String source = folder.path() + L"source.bin";
        if (!writeRaw(source, bytesOf("content")))
            return false;
        DataPack pack;
        return pack.addFile(source, L"f", fileName) && pack.saveFile(path);
    }

    bool writeLanguage(const wchar_t* fileName, const std::string& english, const std::string& native,
                       const std::string& translation, int year)
    {
        const String path = languagesFolder() + fileName;
        return writeRaw(path, bytesOf(languageXml(english, native, translation))) && setWriteTime(path, year);
    }

    TempFolder folder;
    Application application{product, L"1.8.3"};
};

class QuittingReceiver : public MessageReceiver {
public:
    bool handleEvent(UIEvent*) override
    {
        Application::instance()->quit();
        return true;
    }
};

} // namespace

TEST(ApplicationInstance, FirstConstructedIsTheInstanceWhileItLives)
{
    ASSERT_EQ(Application::instance(), nullptr);
    {
        Application first(product, L"1.0");
        EXPECT_EQ(Application::instance(), &first);
        EXPECT_NE(dispatcher(), nullptr);
        EXPECT_NE(instanceWindow(), nullptr);
        {
            Application second(L"KestrolaAppTestOther", L"2.0");
            EXPECT_EQ(Application::instance(), &first);
        }
        // The second one must not have torn down the first one's services.
        EXPECT_EQ(Application::instance(), &first);
        EXPECT_NE(dispatcher(), nullptr);
        EXPECT_NE(instanceWindow(), nullptr);
    }
    EXPECT_EQ(Application::instance(), nullptr);
    EXPECT_EQ(dispatcher(), nullptr);
    EXPECT_EQ(instanceWindow(), nullptr);
}

TEST(ApplicationInstance, ProgramPathAndCommandLine)
{
    Application application(product, L"1.8.3");
    EXPECT_TRUE(application.executablePath().endsWith(L"\\foundation_tests.exe", false))
        << wide(application.executablePath());
    EXPECT_EQ(wide(application.applicationDirectory() + L"\\foundation_tests.exe"),
              wide(application.executablePath()));
    EXPECT_TRUE(application.commandLine().contains(L"foundation_tests", false));
    EXPECT_EQ(application.moduleHandle(), static_cast<void*>(GetModuleHandleW(nullptr)));
    EXPECT_FALSE(application.isAnotherInstanceRunning());
    EXPECT_TRUE(Application::isSupportedWindows());
    ASSERT_NE(application.log(), nullptr);
    EXPECT_EQ(application.log()->sizeLimit(), 1048576u);
    EXPECT_EQ(wide(application.userDataPath()),
              wide(specialFolderPath(SpecialFolder::AppData)) + L"\\" + product);
}

TEST(ApplicationInstance, RunReturnsAfterQuit)
{
    Application application(product, L"1.8.3");
    QuittingReceiver receiver;
    ASSERT_TRUE(dispatcher()->postEvent(new UICustomEvent(1), &receiver));
    EXPECT_EQ(application.run(), 0);
}

TEST(ApplicationInstance, MainWindowReachesTheInstanceWindow)
{
    Application application(product, L"1.8.3");
    int window = 0;
    application.setMainWindow(&window);
    EXPECT_EQ(application.mainWindow(), &window);
    EXPECT_EQ(instanceWindow()->mainWindow(), &window);
    application.setMainWindow(nullptr);
    EXPECT_EQ(instanceWindow()->mainWindow(), nullptr);
}

TEST_F(ApplicationTest, CompanyAddressesFillTheProductOnesOnlyWhenEmpty)
{
    application.setProductUrl(L"https://kestrola.example/");
    application.setCompanyUrl(L"https://maker.example/");
    EXPECT_EQ(wide(application.productUrl()), L"https://kestrola.example/");
    EXPECT_EQ(wide(application.companyUrl()), L"https://maker.example/");

    application.setCompanyHost(L"maker.example");
    EXPECT_EQ(wide(application.productHost()), L"maker.example");
    application.setCompanyHost(L"other.example");
    EXPECT_EQ(wide(application.productHost()), L"maker.example");
    EXPECT_EQ(wide(application.companyHost()), L"other.example");
}

TEST_F(ApplicationTest, CompanyUrlBeforeProductUrlFillsBoth)
{
    application.setCompanyUrl(L"https://maker.example/");
    EXPECT_EQ(wide(application.productUrl()), L"https://maker.example/");
}

TEST_F(ApplicationTest, TranslateWithoutTranslatorAppliesTheEscapes)
{
    struct Row {
        const wchar_t* source;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"First|Second", L"First\nSecond"},
        {L"a\\nb", L"a\nb"},
        {L"a\\r\\tb", L"ab"},
        {L"Welcome to %app!", L"Welcome to KestrolaAppTest!"},
        {L"real\ttab", L"real\ttab"},
        {L"plain", L"plain"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(application.translate(row.source, L"MainWindow")), row.expected) << row.source;
    EXPECT_TRUE(application.translate(String(), L"MainWindow").isEmpty());
    EXPECT_TRUE(application.translateById(1, 2).isEmpty());
}

// "%app" is the product name at the time of the call.
TEST_F(ApplicationTest, TranslateUsesTheCurrentProductName)
{
    application.setProductName(L"Renamed");
    EXPECT_EQ(wide(application.translate(L"%app")), L"Renamed");
}

TEST_F(ApplicationTest, PackBesideTheProgramComesBeforeTheDataFolder)
{
    ASSERT_TRUE(writePack(folder.path() + L"images.pak", L"beside.png"));
    ASSERT_TRUE(writePack(dataFolder() + L"images.pak", L"data.png"));
    ASSERT_TRUE(application.loadPack(L"images"));
    ASSERT_EQ(application.packCount(), 1);
    const DataPack* pack = application.findPack(L"images");
    ASSERT_NE(pack, nullptr);
    EXPECT_NE(pack->findFile(L"f", L"beside.png"), nullptr);
}

TEST_F(ApplicationTest, PackOnlyInTheDataFolderIsFoundUnderItsBareName)
{
    ASSERT_TRUE(writePack(dataFolder() + L"data.pak", L"icon.png"));
    ASSERT_TRUE(application.loadPack(L"data"));
    const DataPack* pack = application.findPack(L"data");
    ASSERT_NE(pack, nullptr);
    EXPECT_NE(pack->findFile(L"f", L"icon.png"), nullptr);
    EXPECT_EQ(wide(application.packs().first()->value.name), L"data");
}

TEST_F(ApplicationTest, MissingOrBrokenPacksAreNotListed)
{
    EXPECT_FALSE(application.loadPack(L"absent"));
    EXPECT_FALSE(application.loadPack(folder.path() + L"absent.pak"));
    ASSERT_TRUE(writeRaw(folder.path() + L"broken.pak", bytesOf("FA but nothing else")));
    EXPECT_FALSE(application.loadPack(L"broken"));
    const Bytes garbage = bytesOf("not a pack");
    EXPECT_FALSE(application.loadPackFromMemory(L"memory", garbage.data(), static_cast<std::int64_t>(garbage.size())));
    EXPECT_EQ(application.packCount(), 0);
}

TEST_F(ApplicationTest, FullPathPackIsListedUnderItsBaseName)
{
    const String path = dataFolder() + L"Skin.Dark.pak";
    ASSERT_TRUE(writePack(path, L"a.png"));
    ASSERT_TRUE(application.loadPack(path));
    EXPECT_NE(application.findPack(L"Skin.Dark"), nullptr);
}

TEST_F(ApplicationTest, FindPackIsCaseSensitiveAndFindsTheFirst)
{
    ASSERT_TRUE(writePack(folder.path() + L"data.pak", L"one.png"));
    ASSERT_TRUE(application.loadPack(L"data"));
    ASSERT_TRUE(application.loadPack(L"data"));
    EXPECT_EQ(application.packCount(), 2);
    EXPECT_EQ(application.findPack(L"Data"), nullptr);
    DataPack* first = application.findPack(L"data");
    EXPECT_EQ(first, application.packs().first()->value.pack);

    EXPECT_FALSE(application.unloadPack(L"DATA"));
    EXPECT_TRUE(application.unloadPack(L"data"));
    EXPECT_EQ(application.packCount(), 1);
    EXPECT_NE(application.findPack(L"data"), first);
    application.unloadAllPacks();
    EXPECT_EQ(application.packCount(), 0);
    EXPECT_FALSE(application.unloadPack(L"data"));
}

TEST_F(ApplicationTest, PackFromMemoryIsListedUnderTheGivenName)
{
    const String path = folder.path() + L"source.pak";
    ASSERT_TRUE(writePack(path, L"m.png"));
    const Bytes bytes = readRaw(path);
    ASSERT_TRUE(application.loadPackFromMemory(L"memory", bytes.data(), static_cast<std::int64_t>(bytes.size())));
    const DataPack* pack = application.findPack(L"memory");
    ASSERT_NE(pack, nullptr);
    EXPECT_NE(pack->findFile(L"f", L"m.png"), nullptr);
}

TEST_F(ApplicationTest, LanguageFileInstallsATranslator)
{
    ASSERT_TRUE(writeLanguage(L"de.xml", "German", "Deutsch", "Bereit|jetzt", 2020));
    application.loadLanguageFile(L"de");
    Translator* translator = application.translator();
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(wide(application.translate(L"Ready", L"MainWindow")), L"Bereit\njetzt");
    EXPECT_EQ(wide(application.translate(L"Not there|x", L"MainWindow")), L"Not there\nx");

    // The same file again keeps the installed translator.
    application.loadLanguageFile(L"de");
    EXPECT_EQ(application.translator(), translator);

    // A language without a file removes the translation.
    application.loadLanguageFile(L"fr");
    EXPECT_EQ(application.translator(), nullptr);
    EXPECT_EQ(wide(application.translate(L"Ready", L"MainWindow")), L"Ready");
}

TEST_F(ApplicationTest, NewerOfXmlAndLangWins)
{
    ASSERT_TRUE(writeLanguage(L"de.xml", "German", "Deutsch", "Bereit", 2021));
    const String lang = languagesFolder() + L"de.lang";
    ASSERT_TRUE(writeRaw(lang, bytesOf("not a chunk file")));
    ASSERT_TRUE(setWriteTime(lang, 2020));
    application.loadLanguageFile(L"de");
    ASSERT_NE(application.translator(), nullptr);
    EXPECT_EQ(wide(application.translator()->path()), wide(languagesFolder()) + L"de.xml");

    // Now the broken ".lang" file is the newer one: it is chosen, fails to
    // load, and no translator is left.
    ASSERT_TRUE(setWriteTime(lang, 2022));
    application.loadLanguageFile(L"de");
    EXPECT_EQ(application.translator(), nullptr);
}

TEST_F(ApplicationTest, EnumerationKeepsTheLaterOfTwoFilesWithOneNativeName)
{
    ASSERT_TRUE(writeLanguage(L"old.xml", "German", "Deutsch", "Alt", 2019));
    ASSERT_TRUE(writeLanguage(L"new.xml", "German", "DEUTSCH", "Neu", 2023));
    ASSERT_TRUE(writeLanguage(L"fr.xml", "French", "Fran\xC3\xA7" "ais", "Pr\xC3\xAAt", 2020));
    ASSERT_TRUE(writeLanguage(L"nameless.xml", "Nameless", "", "x", 2020));
    ASSERT_TRUE(writeRaw(languagesFolder() + L"notes.txt", bytesOf("not a language")));

    const LanguageList languages = application.enumerateLanguages();
    std::set<std::wstring> names;
    for (const LanguageInfo& info : languages)
        names.insert(wide(info.name));
    EXPECT_EQ(names, (std::set<std::wstring>{L"new", L"fr"}));
    EXPECT_EQ(languages.count(), 2);

    const LanguageInfo german = application.findLanguageByName(L"GERMAN");
    EXPECT_EQ(wide(german.name), L"new");
    EXPECT_EQ(wide(german.path), wide(languagesFolder()) + L"new.xml");
    EXPECT_EQ(wide(application.findLanguageByAltName(L"fran\u00e7ais").name), L"fr");
    EXPECT_TRUE(application.findLanguageByName(L"Klingon").name.isEmpty());
}

TEST_F(ApplicationTest, MissingLanguagesFolderGivesNoLanguages)
{
    EXPECT_TRUE(application.enumerateLanguages(folder.path() + L"nowhere\\").isEmpty());
}

TEST_F(ApplicationTest, SetLanguageByEitherName)
{
    ASSERT_TRUE(writeLanguage(L"de.xml", "German", "Deutsch", "Bereit", 2020));
    application.setLanguage(L"german");
    ASSERT_NE(application.translator(), nullptr);
    EXPECT_EQ(wide(application.translate(L"Ready", L"MainWindow")), L"Bereit");

    // An unknown name changes nothing.
    Translator* installed = application.translator();
    application.setLanguage(L"Klingon");
    EXPECT_EQ(application.translator(), installed);

    application.setTranslator(nullptr);
    application.setLanguageByAltName(L"DEUTSCH");
    EXPECT_NE(application.translator(), nullptr);
}

TEST_F(ApplicationTest, FailedTranslatorFromMemoryLeavesNone)
{
    ASSERT_TRUE(writeLanguage(L"de.xml", "German", "Deutsch", "Bereit", 2020));
    application.loadLanguageFile(L"de");
    ASSERT_NE(application.translator(), nullptr);
    const Bytes garbage = bytesOf("garbage bytes");
    EXPECT_FALSE(application.loadTranslator(garbage.data(), garbage.size()));
    EXPECT_EQ(application.translator(), nullptr);
}

// Installing the translator that is already installed must not free it.
TEST_F(ApplicationTest, SetTranslatorWithTheInstalledOneKeepsIt)
{
    Translator* translator = new Translator(product);
    application.setTranslator(translator);
    application.setTranslator(translator);
    EXPECT_EQ(application.translator(), translator);
    EXPECT_TRUE(application.translator()->isEmpty());
}

TEST_F(ApplicationTest, AgentIdJoinsProductVersionAndProgramCrc)
{
    const String crc = Crc32(application.executablePath()).toText();
    ASSERT_FALSE(crc.isEmpty());
    const String plain = application.buildAgentId(false);
    EXPECT_EQ(wide(plain), std::wstring(product) + L";1.8.3;" + wide(crc));

    const ByteArray decoded = ByteArray::fromBase64(application.buildAgentId(true));
    EXPECT_EQ(String::fromUtf8(reinterpret_cast<const char*>(decoded.data()), decoded.size()), plain);
}
