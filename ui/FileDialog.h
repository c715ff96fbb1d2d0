#pragma once

#include "foundation/List.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <array>
#include <cstdint>
#include <vector>

class UIWidget;

// One entry of a file dialog's type list. The pattern may hold several
// masks separated by "|" ("*.bmp|*.png"); the default extension has no dot.
struct FileFilter {
    String name;
    String pattern;
    String defaultExtension;
};

// Units of the type list handed to the system's dialog, terminators included.
constexpr int fileDialogFilterTextLength = 256;

// The type list in the system's form: name, terminator, masks joined by ";",
// terminator, ..., and a closing terminator, in at most 256 units. Filters
// with an empty name or pattern are left out; writing stops at the first
// filter that would not fit with the closing terminator. filterIndices holds,
// for each entry written, its index in the filter list, so the dialog's
// 1-based type index maps back to the list.
struct FileDialogFilterText {
    std::array<wchar_t, fileDialogFilterTextLength> units{};
    std::vector<int> filterIndices;
};
FileDialogFilterText fileDialogFilterText(const List<FileFilter>& filters);

// What the system's dialog left in its file buffer: the chosen paths and the
// folder they lie in, with a separator at its end. fileOffset is the index of
// the (first) file name in the buffer; nothing is read past capacity.
struct FileDialogResult {
    StringList paths;
    String directory;
};
FileDialogResult parseFileDialogResult(const wchar_t* buffer, int capacity, bool multiSelect, int fileOffset);

// The file-name field after the user picked another type: one trailing "."
// + a known default extension (the first filter's, in list order, that the
// name ends with, exact case) is removed, then "." + the new filter's
// default extension is added when it has one. An empty name stays empty.
String fileNameForFilter(const String& name, const List<FileFilter>& filters, int newFilter);

// The system's dialogs for choosing files to open, a name to save under, or
// a folder, set up, titled like the program's own windows, and read back into
// a list of paths. Made for one question, run with exec, read, deleted.
// While one runs, the UI manager counts a modal dialog. UI thread only.
class FileDialog {
public:
    enum Mode : int { OpenMode = 0, SaveMode = 1 };
    // 1 and 2 together: a file dialog; 2 alone: the folder browser.
    enum KindBits : std::uint32_t {
        KindFiles = 1,
        KindFolders = 2,
        KindNewFolderButton = 8,
        KindFollowShortcuts = 16,
    };

    // The owner's top-level window owns the dialog; owner may be null.
    explicit FileDialog(UIWidget* owner);
    virtual ~FileDialog();
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    void setMode(int mode) { m_mode = mode; }
    void setKindBits(std::uint32_t bits) { m_kindBits = bits; }
    void setMultiSelect(bool on) { m_multiSelect = on; }
    // The folder the dialog starts in; after a successful run the chosen
    // folder, ending in a separator.
    void setDirectory(const String& folder) { m_directory = folder; }
    const String& directory() const { return m_directory; }
    // Empty: the dialog's own caption. The product name is added either way.
    void setTitle(const String& title) { m_title = title; }
    // Shown above the folder browser's tree.
    void setPrompt(const String& prompt) { m_prompt = prompt; }
    // The folder browser is moved there unless it is (0, 0).
    void setPosition(int x, int y);
    // The name the file dialog starts with; the selected filter's default
    // extension is added after a "." when there is one.
    void setFileName(const String& name);
    const String& fileName() const { return m_fileName; }

    void addFilter(const String& name, const String& pattern, const String& defaultExtension);
    void clearFilters();
    const List<FileFilter>& filters() const { return m_filters; }
    // Empty for an index that names no filter.
    String filterDefaultExtension(int index) const;
    // The filter chosen last; the next run starts with it.
    int selectedFilter() const { return m_selectedFilter; }
    void setSelectedFilter(int index) { m_selectedFilter = index; }

    // True when the user chose something. Any kind but files (1 | 2) or
    // folders (2 without 1) returns false without showing anything.
    bool exec();
    // The first entry is the single choice.
    const StringList& selectedPaths() const { return m_selectedPaths; }

private:
    bool runFileDialog();
    bool runFolderBrowser();
    void* ownerWindow() const;
    // The caption and small icon of a dialog window when it opens.
    void decorate(void* dialog);
    void onTypeChange(void* dialog, int filterIndex);
    void onFolderBrowserInit(void* dialog);

    // The platform's callbacks, which reach the dialog through their data.
    friend class FileDialogCallbacks;

    UIWidget* m_owner;
    int m_mode = OpenMode;
    String m_directory;
    String m_title;
    String m_prompt;
    List<FileFilter> m_filters;
    bool m_multiSelect = false;
    std::uint32_t m_kindBits = KindFiles | KindFolders;
    int m_positionX = 0;
    int m_positionY = 0;
    StringList m_selectedPaths;
    int m_selectedFilter = 0;
    String m_fileName;
    // The list indices of the types the running dialog shows.
    std::vector<int> m_shownFilters;
    // The small icon given to the running dialog; destroyed after it.
    void* m_icon = nullptr;
};
