#include "ui/FileDialog.h"

#include "foundation/Application.h"
#include "foundation/Path.h"
#include "ui/UIManager.h"
#include "ui/UIWidget.h"

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>
#include <shlobj.h>

#include <algorithm>

namespace {

// Room for the names of a large multiple selection.
constexpr int fileBufferLength = 524288;
// The caption of a dialog is taken only when it is shorter than this.
constexpr int captionLimit = 2048;
constexpr int folderPathLength = MAX_PATH + 1;

String withSeparator(const String& folder)
{
    return folder.endsWith(Path::separator()) ? folder : folder + Path::separator();
}

// The string at index from, ending at its terminator or at the capacity.
String unitsAt(const wchar_t* buffer, int capacity, int from)
{
    int end = from;
    while (end < capacity && buffer[end] != 0)
        ++end;
    return String(buffer + from, end - from);
}

String singlePathFolder(const String& path, int fileOffset)
{
    if (fileOffset > 0 && fileOffset <= path.length())
        return withSeparator(path.mid(0, fileOffset));
    return withSeparator(path.mid(0, path.lastIndexOf(Path::separator()) + 1));
}

// The file-name field: the combo box of newer dialogs (and of Wine's), else
// the edit of the older template.
int fileNameControl(HWND dialog)
{
    return GetDlgItem(dialog, cmb13) ? cmb13 : edt1;
}

String windowText(HWND window)
{
    wchar_t text[captionLimit] = {};
    const int length = GetWindowTextW(window, text, captionLimit);
    return length > 0 && length < captionLimit ? String(text, length) : String();
}

// The title, or the dialog's own caption, followed by the product name.
String dialogCaption(const String& title, HWND dialog)
{
    String caption = title.isEmpty() ? windowText(dialog) : title;
    if (!caption.isEmpty())
        caption.append(UIManager::instance()->titleSeparator());
    if (Application::instance())
        caption.append(Application::instance()->productName());
    return caption;
}

DWORD fileDialogFlags(int mode, std::uint32_t kindBits, bool multiSelect)
{
    DWORD flags = OFN_HIDEREADONLY | OFN_ENABLEHOOK | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLESIZING
                  | OFN_DONTADDTORECENT;
    // Wine's save dialog refuses every new name under this flag.
    if (mode == FileDialog::OpenMode)
        flags |= OFN_FILEMUSTEXIST;
    if (!(kindBits & FileDialog::KindFollowShortcuts))
        flags |= OFN_NODEREFERENCELINKS;
    if (multiSelect)
        flags |= OFN_ALLOWMULTISELECT;
    if (mode == FileDialog::SaveMode)
        flags |= OFN_OVERWRITEPROMPT;
    return flags;
}

// The list index of the dialog's 1-based type index; -1 when it names none.
int listIndexOfType(const std::vector<int>& shown, DWORD typeIndex)
{
    if (typeIndex < 1 || typeIndex > shown.size())
        return -1;
    return shown[typeIndex - 1];
}

DWORD typeIndexOfFilter(const std::vector<int>& shown, int filter)
{
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == filter)
            return DWORD(i + 1);
    }
    return 0;
}

} // namespace

// The platform calls back into a running dialog through these.
class FileDialogCallbacks {
public:
    // The Explorer-style hook sits on a child of the dialog window.
    static UINT_PTR CALLBACK fileDialogHook(HWND child, UINT message, WPARAM, LPARAM lParam)
    {
        if (message != WM_NOTIFY)
            return 0;
        const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
        auto* dialog = reinterpret_cast<FileDialog*>(notice->lpOFN->lCustData);
        HWND window = GetParent(child);
        if (notice->hdr.code == CDN_INITDONE)
            dialog->decorate(window);
        else if (notice->hdr.code == CDN_TYPECHANGE)
            dialog->onTypeChange(window, listIndexOfType(dialog->m_shownFilters, notice->lpOFN->nFilterIndex));
        return 0;
    }

    static int CALLBACK folderBrowserCallback(HWND window, UINT message, LPARAM lParam, LPARAM data)
    {
        auto* dialog = reinterpret_cast<FileDialog*>(data);
        if (message == BFFM_INITIALIZED) {
            dialog->onFolderBrowserInit(window);
        } else if (message == BFFM_SELCHANGED) {
            wchar_t path[folderPathLength] = {};
            const BOOL hasPath = SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
            SendMessageW(window, BFFM_ENABLEOK, 0, hasPath ? TRUE : FALSE);
        }
        return 0;
    }
};

FileDialogFilterText fileDialogFilterText(const List<FileFilter>& filters)
{
    FileDialogFilterText text;
    if (filters.isEmpty()) {
        const String allFiles = L"All files";
        std::copy_n(allFiles.c_str(), allFiles.length(), text.units.begin());
        return text;
    }
    int position = 0;
    int index = -1;
    for (const FileFilter& filter : filters) {
        ++index;
        if (filter.name.isEmpty() || filter.pattern.isEmpty())
            continue;
        const String masks = filter.pattern.replaceChar(L'|', L';');
        // The pair's two terminators and the list's closing one must fit.
        if (position + filter.name.length() + masks.length() + 3 > fileDialogFilterTextLength)
            break;
        std::copy_n(filter.name.c_str(), filter.name.length(), text.units.begin() + position);
        position += filter.name.length() + 1;
        std::copy_n(masks.c_str(), masks.length(), text.units.begin() + position);
        position += masks.length() + 1;
        text.filterIndices.push_back(index);
    }
    return text;
}

FileDialogResult parseFileDialogResult(const wchar_t* buffer, int capacity, bool multiSelect, int fileOffset)
{
    FileDialogResult result;
    const String first = unitsAt(buffer, capacity, 0);
    if (first.isEmpty())
        return result;
    int next = first.length() + 1;
    if (!multiSelect || next >= capacity || buffer[next] == 0) {
        result.paths.append(first);
        result.directory = singlePathFolder(first, fileOffset);
        return result;
    }
    result.directory = withSeparator(first);
    while (next < capacity && buffer[next] != 0) {
        const String name = unitsAt(buffer, capacity, next);
        result.paths.append(result.directory + name);
        next += name.length() + 1;
    }
    return result;
}

String fileNameForFilter(const String& name, const List<FileFilter>& filters, int newFilter)
{
    if (name.isEmpty())
        return name;
    String result = name;
    for (const FileFilter& filter : filters) {
        const String suffix = L"." + filter.defaultExtension;
        if (!filter.defaultExtension.isEmpty() && result.endsWith(suffix)) {
            result.resize(result.length() - suffix.length());
            break;
        }
    }
    const ListNode<FileFilter>* chosen = newFilter >= 0 ? filters.nodeAt(newFilter) : nullptr;
    if (chosen && !chosen->value.defaultExtension.isEmpty())
        result.append(L"." + chosen->value.defaultExtension);
    return result;
}

FileDialog::FileDialog(UIWidget* owner) : m_owner(owner) {}

FileDialog::~FileDialog() = default;

void FileDialog::setPosition(int x, int y)
{
    m_positionX = x;
    m_positionY = y;
}

void FileDialog::setFileName(const String& name)
{
    const String extension = filterDefaultExtension(m_selectedFilter);
    m_fileName = extension.isEmpty() ? name : name + L"." + extension;
}

void FileDialog::addFilter(const String& name, const String& pattern, const String& defaultExtension)
{
    m_filters.append(FileFilter{name, pattern, defaultExtension});
}

void FileDialog::clearFilters()
{
    m_filters.clear();
}

String FileDialog::filterDefaultExtension(int index) const
{
    if (index < 0 || index >= m_filters.count())
        return String();
    return m_filters.nodeAt(index)->value.defaultExtension;
}

bool FileDialog::exec()
{
    const bool files = (m_kindBits & (KindFiles | KindFolders)) == (KindFiles | KindFolders);
    const bool folders = (m_kindBits & (KindFiles | KindFolders)) == KindFolders;
    if (!files && !folders)
        return false;
    UIManager::instance()->beginModal();
    const bool chosen = files ? runFileDialog() : runFolderBrowser();
    UIManager::instance()->endModal();
    if (m_icon) {
        DestroyIcon(static_cast<HICON>(m_icon));
        m_icon = nullptr;
    }
    return chosen;
}

bool FileDialog::runFileDialog()
{
    m_selectedPaths.clear();
    if (m_mode != OpenMode && m_mode != SaveMode)
        return false;
    const FileDialogFilterText filterText = fileDialogFilterText(m_filters);
    m_shownFilters = filterText.filterIndices;
    std::vector<wchar_t> fileBuffer(fileBufferLength + 1, 0);
    std::copy_n(m_fileName.c_str(), std::min(m_fileName.length(), fileBufferLength), fileBuffer.begin());
    const String defaultExtension = filterDefaultExtension(m_selectedFilter);

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = static_cast<HWND>(ownerWindow());
    dialog.hInstance = static_cast<HINSTANCE>(Application::moduleHandle());
    dialog.lpstrFilter = filterText.units.data();
    dialog.nFilterIndex = typeIndexOfFilter(m_shownFilters, m_selectedFilter);
    dialog.lpstrFile = fileBuffer.data();
    dialog.nMaxFile = fileBufferLength;
    dialog.lpstrInitialDir = m_directory.isEmpty() ? nullptr : m_directory.c_str();
    dialog.lpstrDefExt = defaultExtension.isEmpty() ? nullptr : defaultExtension.c_str();
    dialog.lCustData = reinterpret_cast<LPARAM>(this);
    dialog.lpfnHook = FileDialogCallbacks::fileDialogHook;
    dialog.Flags = fileDialogFlags(m_mode, m_kindBits, m_multiSelect);

    const BOOL accepted = m_mode == OpenMode ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
    if (!accepted)
        return false;
    m_selectedFilter = std::max(listIndexOfType(m_shownFilters, dialog.nFilterIndex), 0);
    FileDialogResult result =
        parseFileDialogResult(fileBuffer.data(), fileBufferLength + 1, m_multiSelect, dialog.nFileOffset);
    if (result.paths.isEmpty())
        return false;
    m_selectedPaths = result.paths;
    m_directory = result.directory;
    return true;
}

bool FileDialog::runFolderBrowser()
{
    m_selectedPaths.clear();
    wchar_t displayName[folderPathLength] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = static_cast<HWND>(ownerWindow());
    browse.pszDisplayName = displayName;
    browse.lpszTitle = m_prompt.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE;
    if (!(m_kindBits & KindNewFolderButton))
        browse.ulFlags |= BIF_NONEWFOLDERBUTTON;
    browse.lpfn = FileDialogCallbacks::folderBrowserCallback;
    browse.lParam = reinterpret_cast<LPARAM>(this);

    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (!item)
        return false;
    wchar_t path[folderPathLength] = {};
    const bool found = SHGetPathFromIDListW(item, path) && path[0] != 0;
    CoTaskMemFree(item);
    if (!found)
        return false;
    path[folderPathLength - 1] = 0;
    m_selectedPaths.append(String(path));
    m_directory = withSeparator(String(path));
    return true;
}

void* FileDialog::ownerWindow() const
{
    // An owner that lies in no window leaves the dialog unowned.
    const UIWidget* window = m_owner ? m_owner->topLevelWidget() : nullptr;
    return window ? window->nativeHandle() : nullptr;
}

void FileDialog::decorate(void* dialog)
{
    HWND window = static_cast<HWND>(dialog);
    SetWindowTextW(window, dialogCaption(m_title, window).c_str());
    if (!m_icon)
        m_icon = UIManager::instance()->smallIcon().toIcon();
    if (m_icon)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icon));
}

void FileDialog::onTypeChange(void* dialog, int filterIndex)
{
    HWND window = static_cast<HWND>(dialog);
    wchar_t name[captionLimit + 1] = {};
    const LRESULT length = SendMessageW(window, CDM_GETSPEC, captionLimit, reinterpret_cast<LPARAM>(name));
    if (length <= 1)
        return;
    name[captionLimit] = 0;
    const String renamed = fileNameForFilter(String(name), m_filters, filterIndex);
    SendMessageW(window, CDM_SETCONTROLTEXT, fileNameControl(window), reinterpret_cast<LPARAM>(renamed.c_str()));
}

void FileDialog::onFolderBrowserInit(void* dialog)
{
    HWND window = static_cast<HWND>(dialog);
    decorate(window);
    if (!m_directory.isEmpty()) {
        SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(m_directory.c_str()));
        SendMessageW(window, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(m_directory.c_str()));
    }
    if (m_positionX != 0 || m_positionY != 0)
        SetWindowPos(window, nullptr, m_positionX, m_positionY, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_ASYNCWINDOWPOS);
}
