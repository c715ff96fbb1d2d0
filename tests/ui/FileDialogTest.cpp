#include "ui/FileDialog.h"

#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/DialogDriver.h"
#include "tests/ui/WindowTesting.h"

#include <commdlg.h>
#include <dlgs.h>

#include <string>

using namespace std::string_literals;

namespace {

List<FileFilter> filtersOf(std::initializer_list<FileFilter> filters)
{
    List<FileFilter> list;
    for (const FileFilter& filter : filters)
        list.append(filter);
    return list;
}

// The units up to the first double terminator, which must lie inside the
// buffer.
std::wstring usedUnits(const FileDialogFilterText& text)
{
    const std::wstring_view units(text.units.data(), text.units.size());
    const std::size_t end = units.find(L"\0\0"s);
    return end == units.npos ? L"<overrun>" : std::wstring(units.substr(0, end + 2));
}

} // namespace

TEST(FileDialogFilterText, NamesAndJoinedMasksEachWithTerminatorThenAClosingOne)
{
    const FileDialogFilterText text =
        fileDialogFilterText(filtersOf({{L"Images", L"*.bmp|*.png", L"bmp"}, {L"All", L"*.*", L""}}));
    EXPECT_EQ(usedUnits(text), L"Images\0*.bmp;*.png\0All\0*.*\0\0"s);
    EXPECT_EQ(text.filterIndices, (std::vector<int>{0, 1}));
    const FileDialogFilterText none = fileDialogFilterText(List<FileFilter>());
    EXPECT_EQ(usedUnits(none), L"All files\0\0"s);
    EXPECT_TRUE(none.filterIndices.empty());
}

TEST(FileDialogFilterText, EmptyPatternIsLeftOutButKeepsItsPlaceInTheList)
{
    FileDialog dialog(nullptr);
    dialog.addFilter(L"A", L"*.a", L"a");
    dialog.addFilter(L"B", L"", L"b");
    dialog.addFilter(L"C", L"*.c", L"c");
    const FileDialogFilterText text = fileDialogFilterText(dialog.filters());
    EXPECT_EQ(usedUnits(text), L"A\0*.a\0C\0*.c\0\0"s);
    EXPECT_EQ(text.filterIndices, (std::vector<int>{0, 2}));
    EXPECT_EQ(dialog.filterDefaultExtension(1), L"b");
    EXPECT_EQ(fileNameForFilter(L"x.a", dialog.filters(), 2), L"x.c");
}

// A long name used to run past the 256 units and lose the closing terminator.
TEST(FileDialogFilterText, LongNamesNeverPassTheBuffer)
{
    struct Row {
        std::vector<int> nameLengths;
        std::size_t written;
    };
    const Row rows[] = {
        {{252}, 1}, {{253}, 0}, {{120, 120}, 2}, {{120, 129}, 2}, {{120, 130}, 1}, {{126, 10, 400, 10}, 2},
    };
    forEachRow(rows, [](const Row& row) {
        List<FileFilter> filters;
        for (int length : row.nameLengths)
            filters.append({String(L'n', length), L"*", L""});
        const FileDialogFilterText text = fileDialogFilterText(filters);
        EXPECT_EQ(text.filterIndices.size(), row.written);
        EXPECT_NE(usedUnits(text), L"<overrun>");
    });
}

TEST(FileDialogResult, SingleAndMultipleChoices)
{
    struct Row {
        std::wstring buffer;
        bool multiSelect;
        int fileOffset;
        StringList paths;
        const wchar_t* directory;
    };
    const Row rows[] = {
        {L"C:\\\0a.txt\0b.txt\0\0"s, true, 4, listOf({L"C:\\a.txt", L"C:\\b.txt"}), L"C:\\"},
        {L"C:\\dir\0a.txt\0b.txt\0\0"s, true, 7, listOf({L"C:\\dir\\a.txt", L"C:\\dir\\b.txt"}), L"C:\\dir\\"},
        {L"C:\\dir\\a.txt\0\0"s, true, 7, listOf({L"C:\\dir\\a.txt"}), L"C:\\dir\\"},
        {L"C:\\a.txt\0\0"s, true, 3, listOf({L"C:\\a.txt"}), L"C:\\"},
        {L"D:\\x\\y.png\0"s, false, 5, listOf({L"D:\\x\\y.png"}), L"D:\\x\\"},
        {L"D:\\x\\y.png\0"s, false, 0, listOf({L"D:\\x\\y.png"}), L"D:\\x\\"},
        {L"\0\0"s, true, 0, StringList(), L""},
        // No terminator before the end: nothing is read past it.
        {L"C:\\dir\0a.txt"s, true, 7, listOf({L"C:\\dir\\a.txt"}), L"C:\\dir\\"},
    };
    forEachRow(rows, [](const Row& row) {
        const FileDialogResult result =
            parseFileDialogResult(row.buffer.data(), int(row.buffer.size()), row.multiSelect, row.fileOffset);
        EXPECT_EQ(vectorOf(result.paths), vectorOf(row.paths));
        EXPECT_EQ(result.directory, String(row.directory));
    });
}

TEST(FileDialogTypeChange, OneKnownExtensionMakesWayForTheNewOne)
{
    const List<FileFilter> filters =
        filtersOf({{L"Bitmap", L"*.bmp", L"bmp"}, {L"PNG", L"*.png", L"png"}, {L"Any", L"*.*", L""}});
    struct Row {
        const wchar_t* name;
        int filter;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"report.bmp", 1, L"report.png"},
        {L"report.txt", 1, L"report.txt.png"},
        {L"report", 1, L"report.png"},
        {L"report.bmp", 2, L"report"},
        // Every ".png" used to be removed, giving "a.old.png".
        {L"a.png.old.png", 1, L"a.png.old.png"},
        {L"report.BMP", 1, L"report.BMP.png"},
        {L"report.bmp", 7, L"report"},
        {L"", 1, L""},
    };
    forEachRow(rows, [&](const Row& row) { EXPECT_EQ(fileNameForFilter(row.name, filters, row.filter), String(row.expected)); });
    EXPECT_EQ(fileNameForFilter(L"report.bmp", List<FileFilter>(), 0), L"report.bmp");
}

// Without filters the default extension used to be read from a missing entry.
TEST(FileDialogSetup, FileNameTakesTheSelectedFiltersExtensionOnlyWhenThereIsOne)
{
    FileDialog dialog(nullptr);
    dialog.setFileName(L"x");
    EXPECT_EQ(dialog.fileName(), L"x");
    dialog.addFilter(L"PNG", L"*.png", L"png");
    dialog.setFileName(L"x");
    EXPECT_EQ(dialog.fileName(), L"x.png");
    dialog.clearFilters();
    EXPECT_TRUE(dialog.filterDefaultExtension(0).isEmpty());
    dialog.setFileName(L"x");
    EXPECT_EQ(dialog.fileName(), L"x");
}

TEST(FileDialogSetup, KindsOtherThanFilesOrFoldersShowNothing)
{
    for (std::uint32_t kind : {0u, 1u, 8u, 16u, 1u | 8u}) {
        FileDialog dialog(nullptr);
        dialog.setKindBits(kind);
        EXPECT_FALSE(dialog.exec()) << kind;
        EXPECT_TRUE(dialog.selectedPaths().isEmpty());
    }
}

namespace {

String textOf(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return String(text);
}

} // namespace

// The common dialogs make the folder they end in the process's current
// folder, which then cannot be removed: the fixture puts the old one back
// before its temporary folder goes (members go in reverse order).
class CurrentFolderKeeper {
public:
    CurrentFolderKeeper() { GetCurrentDirectoryW(MAX_PATH, m_folder); }
    ~CurrentFolderKeeper() { SetCurrentDirectoryW(m_folder); }

private:
    wchar_t m_folder[MAX_PATH] = {};
};

class FileDialogWindowTest : public WidgetTest {
protected:
    TempFolder folder;
    CurrentFolderKeeper keeper;
};

// The hook sits on a child of the dialog; its caption went to that child.
TEST_F(FileDialogWindowTest, CaptionGoesToTheDialogAndTypeChangeRenamesTheField)
{
    FileDialog dialog(nullptr);
    dialog.setMode(FileDialog::SaveMode);
    dialog.setTitle(L"Export");
    dialog.setDirectory(folder.bare());
    dialog.addFilter(L"Bitmap", L"*.bmp", L"bmp");
    dialog.addFilter(L"PNG", L"*.png", L"png");
    dialog.setFileName(L"report");
    String caption;
    String renamed;
    DialogDriver driver([&](HWND window) {
        caption = textOf(window);
        HWND types = GetDlgItem(window, cmb1);
        SendMessageW(types, CB_SETCURSEL, 1, 0);
        // Wine acts on the end of the choice, not on the change.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(cmb1, CBN_SELENDOK), reinterpret_cast<LPARAM>(types));
        // Wine's name field is the combo box newer dialogs have, not the old edit.
        renamed = textOf(GetDlgItem(window, GetDlgItem(window, cmb13) ? cmb13 : edt1));
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.exec());
    EXPECT_EQ(caption, String(L"Export") + UIManager::instance()->titleSeparator() + L"KestrolaUiTest");
    EXPECT_EQ(renamed, L"report.png");
    EXPECT_EQ(dialog.selectedFilter(), 0);
}

// Wine's save dialog refused every new name when the file had to exist.
TEST_F(FileDialogWindowTest, SaveModeAcceptsANewName)
{
    FileDialog dialog(nullptr);
    dialog.setMode(FileDialog::SaveMode);
    dialog.setDirectory(folder.bare());
    dialog.addFilter(L"Bitmap", L"*.bmp", L"bmp");
    dialog.addFilter(L"PNG", L"*.png", L"png");
    dialog.setSelectedFilter(1);
    dialog.setFileName(L"new");
    DialogDriver driver([](HWND window) { PostMessageW(window, WM_COMMAND, IDOK, 0); });
    ASSERT_TRUE(dialog.exec());
    ASSERT_EQ(dialog.selectedPaths().count(), 1);
    EXPECT_TRUE(String::equalsIgnoreCase(dialog.selectedPaths().first()->value, folder.file(L"new.png")));
    EXPECT_TRUE(String::equalsIgnoreCase(dialog.directory(), folder.path()));
    EXPECT_EQ(dialog.selectedFilter(), 1);
}

TEST_F(FileDialogWindowTest, FolderBrowserIsTitledAndCancels)
{
    FileDialog dialog(nullptr);
    dialog.setKindBits(FileDialog::KindFolders);
    dialog.setTitle(L"Pick");
    String caption;
    DialogDriver driver([&](HWND window) {
        caption = textOf(window);
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_FALSE(dialog.exec());
    EXPECT_EQ(caption, String(L"Pick") + UIManager::instance()->titleSeparator() + L"KestrolaUiTest");
    EXPECT_TRUE(dialog.selectedPaths().isEmpty());
}

// An owner in no window used to crash the dialog before it opened; one
// inside a window lends the dialog that window.
TEST_F(FileDialogWindowTest, OwnerOutsideAnyWindowLeavesTheDialogUnowned)
{
    RecordingWidget window(nullptr, Colour(255, 255, 255), quickWindow);
    showAt(window, 40, 40);
    auto* inWindow = new RecordingWidget(&window, Colour(255, 255, 255));
    RecordingWidget outsideAnyWindow(nullptr, Colour(255, 255, 255));
    struct Row {
        UIWidget* owner;
        HWND expectedOwner;
    };
    const Row rows[] = {{&outsideAnyWindow, nullptr}, {inWindow, hwndOf(&window)}};
    forEachRow(rows, [](const Row& row) {
        FileDialog dialog(row.owner);
        dialog.setKindBits(FileDialog::KindFolders);
        HWND owner = reinterpret_cast<HWND>(-1);
        DialogDriver driver([&](HWND shown) {
            owner = GetWindow(shown, GW_OWNER);
            PostMessageW(shown, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_FALSE(dialog.exec());
        EXPECT_EQ(owner, row.expectedOwner);
    });
}
