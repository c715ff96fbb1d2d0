#include "ui/ShellContextMenu.h"

#include "foundation/ComRef.h"
#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/WindowTesting.h"
#include "ui/MimeData.h"
#include "ui/TransferFormats.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

namespace {

// The keys asked for, every one opening, each extension "x" naming "xfile".
std::vector<std::wstring> keysFor(const ShellItemSelection& selection)
{
    std::vector<std::wstring> keys;
    openFolderMenuKeys(
        selection,
        [&keys](const String& name) {
            keys.push_back(wide(name));
            return true;
        },
        [](const String& extensionKey) { return extensionKey.mid(1) + L"file"; });
    return keys;
}

// Folders open with a command that writes the opened path into a file
// (Wine's prefix has none of its own, only a DDE verb). Nothing is set when
// a command exists.
class OpenRecordingFolders {
public:
    explicit OpenRecordingFolders(const String& record)
    {
        HKEY existing = nullptr;
        m_free = RegOpenKeyW(HKEY_CLASSES_ROOT, commandKey, &existing) != ERROR_SUCCESS;
        if (existing)
            RegCloseKey(existing);
        const String command = L"cmd.exe /c echo %1>>\"" + record + L"\"";
        if (m_free)
            RegSetKeyValueW(HKEY_CLASSES_ROOT, commandKey, nullptr, REG_SZ, command.c_str(),
                            DWORD(command.byteCountWithTerminator()));
    }
    ~OpenRecordingFolders()
    {
        if (m_free)
            RegDeleteKeyW(HKEY_CLASSES_ROOT, commandKey);
    }
    bool isFree() const { return m_free; }

private:
    static constexpr const wchar_t* commandKey = L"Folder\\shell\\open\\command";
    bool m_free;
};

// Carries out the menu's first entry of the verb, as choosing it would.
bool invokeVerb(ShellItemSelection& selection, HWND owner, const std::string& wanted)
{
    IContextMenu* menu = nullptr;
    int kind = 0;
    if (!createFolderMenu(selection, owner, &menu, &kind))
        return false;
    HMENU popup = CreatePopupMenu();
    menu->QueryContextMenu(popup, 0, 1, 32767, CMF_NORMAL);
    bool invoked = false;
    for (int i = 0; i < GetMenuItemCount(popup) && !invoked; ++i) {
        const UINT id = GetMenuItemID(popup, i);
        char verb[MAX_PATH] = {};
        if (id == UINT(-1) || id == 0 || FAILED(menu->GetCommandString(id - 1, GCS_VERBA, nullptr, verb, MAX_PATH))
            || verb != wanted)
            continue;
        CMINVOKECOMMANDINFO invoke = {};
        invoke.cbSize = sizeof(invoke);
        invoke.lpVerb = MAKEINTRESOURCEA(id - 1);
        invoke.nShow = SW_HIDE;
        invoked = SUCCEEDED(menu->InvokeCommand(&invoke));
    }
    DestroyMenu(popup);
    menu->Release();
    return invoked;
}

String recordedText(const String& path)
{
    const std::vector<std::uint8_t> bytes = readRaw(path);
    return String::fromAnsi(reinterpret_cast<const char*>(bytes.data()), int(bytes.size()));
}

} // namespace

class ShellMenuTest : public WidgetTest {
protected:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override
    {
        WidgetTest::TearDown();
        OleUninitialize();
    }

    TempFolder folder;
};

TEST_F(ShellMenuTest, KeysOfExtensionsOnceAndOfFoldersThirdAndFourth)
{
    ShellItemSelection files;
    ASSERT_TRUE(bindToParentFolder(files, listOf({folder.writeFile(L"a.JPG", {}).c_str(),
                                                  folder.writeFile(L"b.jpg", {}).c_str()})));
    EXPECT_EQ(keysFor(files), (std::vector<std::wstring>{L"*", L"AllFileSystemObjects", L".jpg", L"jpgfile"}));

    const String file = folder.writeFile(L"f.txt", {});
    const String sub = folder.makeFolder(L"subfolder");
    const String subPath = sub.mid(0, sub.length() - 1);
    ShellItemSelection selection;
    ASSERT_TRUE(bindToParentFolder(selection, listOf({file.c_str(), subPath.c_str()})));
    EXPECT_EQ(vectorOf(selection.paths()), vectorOf(listOf({subPath.c_str(), file.c_str()})));
    EXPECT_EQ(keysFor(selection), (std::vector<std::wstring>{L"*", L"AllFileSystemObjects", L"Folder", L"Directory",
                                                             L".txt", L"txtfile"}));
}

TEST_F(ShellMenuTest, AtMostSixteenKeysOpen)
{
    StringList paths;
    for (int i = 0; i < 17; ++i)
        paths.append(folder.writeFile(String::format(L"f.e%d", i).c_str(), {}));
    ShellItemSelection selection;
    ASSERT_TRUE(bindToParentFolder(selection, paths));
    EXPECT_EQ(keysFor(selection).size(), 16u);

    // Keys that do not open take no place: only the extension keys open here.
    std::vector<std::wstring> opened;
    openFolderMenuKeys(
        selection,
        [&opened](const String& name) {
            if (!name.startsWith(L'.'))
                return false;
            opened.push_back(wide(name));
            return true;
        },
        [](const String&) { return String(L"progid"); });
    ASSERT_EQ(opened.size(), 16u);
    EXPECT_EQ(opened.front(), L".e0");
    EXPECT_EQ(opened.back(), L".e15");
}

TEST_F(ShellMenuTest, BindingNeedsAnExistingPath)
{
    ShellItemSelection empty;
    EXPECT_FALSE(bindToParentFolder(empty, StringList()));
    ShellItemSelection missing;
    EXPECT_FALSE(bindToParentFolder(missing, listOf({folder.file(L"gone.txt").c_str(), L"Q:\\nowhere\\x"})));
    EXPECT_FALSE(missing.isBound());
    ShellItemSelection mixed;
    const String kept = folder.writeFile(L"kept.txt", {});
    ASSERT_TRUE(bindToParentFolder(mixed, listOf({folder.file(L"gone.txt").c_str(), kept.c_str()})));
    EXPECT_EQ(vectorOf(mixed.paths()), vectorOf(listOf({kept.c_str()})));
    EXPECT_EQ(mixed.itemCount(), 1);

    ComRef<IDataObject> data;
    EXPECT_EQ(getUIObjectOfPath(nullptr, kept, IID_IDataObject, data.receive()), 0);
    EXPECT_EQ(getUIObjectOfPath(nullptr, folder.file(L"gone.txt"), IID_IDataObject, data.receive()), 1);
    EXPECT_EQ(getUIObjectOfPath(nullptr, kept, IID_IDataObject, nullptr), 1);
}

// The menu's folder used to hand IUnknown and IShellFolder on to the real
// folder, so asking it for either led to another object.
TEST_F(ShellMenuTest, MenuFolderKeepsItsComIdentity)
{
    ShellItemSelection selection;
    EXPECT_EQ(selection.menuFolder(), nullptr);
    ASSERT_TRUE(bindToParentFolder(selection, listOf({folder.writeFile(L"a.txt", {}).c_str()})));
    IShellFolder* proxy = selection.menuFolder();
    ASSERT_NE(proxy, nullptr);
    ComRef<IUnknown> unknown;
    ComRef<IShellFolder> shellFolder;
    ASSERT_EQ(proxy->QueryInterface(IID_IUnknown, unknown.receive()), S_OK);
    ASSERT_EQ(proxy->QueryInterface(IID_IShellFolder, shellFolder.receive()), S_OK);
    EXPECT_EQ(unknown.get(), static_cast<IUnknown*>(proxy));
    EXPECT_EQ(shellFolder.get(), proxy);
}

// The menu got full item IDs with the first path's folder, so the shell
// opened paths that do not exist. Wine's menu opens folders only (the first
// one chosen), so folders are what this checks.
TEST_F(ShellMenuTest, OpenOpensTheChosenFolder)
{
    RecordingWidget window(nullptr, Colour(255, 255, 255), quickWindow);
    showAt(window, 10, 10);
    const String record = folder.file(L"opened.log");
    OpenRecordingFolders folders(record);
    if (!folders.isFree())
        GTEST_SKIP() << "folders already have an open command";
    const String top = folder.makeFolder(L"topfolder");
    const String inner = folder.makeFolder(L"topfolder\\innerfolder");
    const String beside = folder.makeFolder(L"beside");
    struct Row {
        StringList paths;
        bool sharesParent;
    };
    const Row rows[] = {{listOf({top.c_str()}), true},
                        {listOf({beside.c_str(), top.c_str()}), true},
                        {listOf({beside.c_str(), inner.c_str()}), false}};
    forEachRow(rows, [&](const Row& row) {
        DeleteFileW(record.c_str());
        ShellItemSelection selection;
        ASSERT_TRUE(bindToParentFolder(selection, row.paths));
        EXPECT_EQ(selection.sharesParent(), row.sharesParent);
        // Wine then fails to reach its folder window by DDE and says so.
        DialogDriver closer([](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
        ASSERT_TRUE(invokeVerb(selection, hwndOf(&window), "open"));
        String first = selection.paths().first()->value;
        first.resize(first.length() - 1);
        ASSERT_TRUE(pumpUntil([&] { return recordedText(record).contains(first, false); }, 10000))
            << wide(recordedText(record));
    });
}

TEST_F(ShellMenuTest, MenuDismissedByEscapeRunsAndInvokesNothing)
{
    RecordingWidget window(nullptr, Colour(255, 255, 255), quickWindow);
    showAt(window, 10, 10);
    const String record = folder.file(L"opened.log");
    OpenRecordingFolders folders(record);
    ShellItemSelection selection;
    ASSERT_TRUE(bindToParentFolder(selection, listOf({folder.makeFolder(L"shown").c_str()})));
    PostMessageW(hwndOf(&window), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(trackFolderMenu(selection, 20, 20, hwndOf(&window)));
    Sleep(300);
    EXPECT_FALSE(fileExistsRaw(record));
    EXPECT_FALSE(trackFolderMenu(selection, 20, 20, nullptr));
}

// The shell asks the menu's folder for the items' data; it gets the kept
// paths as the program's own file list.
TEST_F(ShellMenuTest, CopyPutsTheKeptPathsOnTheClipboard)
{
    RecordingWidget window(nullptr, Colour(255, 255, 255), quickWindow);
    showAt(window, 10, 10);
    const String a = folder.writeFile(L"a.txt", {});
    const String b = folder.writeFile(L"b.txt", {});
    ShellItemSelection selection;
    ASSERT_TRUE(bindToParentFolder(selection, listOf({a.c_str(), b.c_str(), folder.file(L"gone").c_str()})));
    ASSERT_TRUE(invokeVerb(selection, hwndOf(&window), "copy"));
    IDataObject* pasted = nullptr;
    ASSERT_EQ(OleGetClipboard(&pasted), S_OK);
    MimeData data;
    readDroppedData(pasted, data);
    pasted->Release();
    EXPECT_EQ(vectorOf(data.filePaths()), vectorOf(listOf({a.c_str(), b.c_str()})));
}
