// The library model's first-run content, its automatic scans and the merge
// of scan results into the library.

#include "library/LibraryModel.h"

#include "foundation/Application.h"
#include "foundation/Dispatcher.h"
#include "foundation/EventLoop.h"
#include "foundation/Hooks.h"
#include "foundation/System.h"
#include "library/Scanner.h"

#include <initializer_list>

namespace {

String scanWindowText(const wchar_t* english)
{
    return translate(english, L"ScanWindow");
}

ScanRule* firstRunRule(ScanRule::ScanTime time, const String& folder, const wchar_t* tagName, int kind)
{
    auto* rule = new ScanRule;
    rule->setIsAutoRule(true);
    rule->setIsChecked(true);
    rule->setScanTime(time);
    rule->setClearBeforeScan(true);
    rule->setScanPath(folder);
    rule->setScanSubfolders(false);
    rule->setScanHidden(false);
    rule->setHasContentCondition(false);
    rule->setHasDateCondition(false);
    StringList names;
    names.append(scanWindowText(tagName));
    rule->assignableTags().setNames(names);
    rule->filter().addKind(kind);
    return rule;
}

Filter* namedFilter(const wchar_t* name, std::initializer_list<const wchar_t*> extensions)
{
    auto* filter = new Filter;
    filter->setName(translate(name, L"Filters"));
    StringList list;
    for (const wchar_t* extension : extensions)
        list.append(String(extension));
    filter->setExtensions(list);
    return filter;
}

String folderOr(const String& chosen, int specialFolder)
{
    return chosen.isEmpty() ? specialFolderPath(specialFolder) : chosen;
}

// Lets the innermost running event loop handle what waits, when one runs.
void processPendingEvents()
{
    Dispatcher* events = dispatcher();
    EventLoop* loop = events ? events->currentLoop() : nullptr;
    if (loop)
        loop->processEvents();
}

} // namespace

LibraryModel::BusyScope::BusyScope(LibraryModel* model)
    : m_model(model), m_acquired(!model || !model->m_busy)
{
    if (m_model && m_acquired)
        m_model->m_busy = true;
}

LibraryModel::BusyScope::~BusyScope()
{
    if (m_model && m_acquired)
        m_model->m_busy = false;
}

void LibraryModel::createDefaults()
{
    addTag(scanWindowText(L"Desktop"));
    addTag(scanWindowText(L"Recent"));
    if (hasOwnRulesOrFilters())
        return;
    m_scanRules.append(firstRunRule(ScanRule::AtProgramStart, folderOr(m_firstRunRecentFolder, SpecialFolder::Recent),
                                    L"Recent", Filter::AnyItems));
    m_scanRules.append(firstRunRule(ScanRule::AtTagClick, folderOr(m_firstRunDesktopFolder, SpecialFolder::Desktop),
                                    L"Desktop", Filter::Files));
    m_filters.append(namedFilter(L"images", {L"bmp", L"jpg", L"jpeg", L"png", L"gif", L"tiff", L"raw", L"psd"}));
    m_filters.append(namedFilter(L"music", {L"mp3", L"ogg", L"wma", L"wav", L"flac"}));
    m_filters.append(namedFilter(
        L"video", {L"avi", L"mpeg", L"mp4", L"flv", L"mpg", L"mov", L"mkv", L"3gp", L"divx", L"xvid"}));
    m_filters.append(namedFilter(L"office", {L"doc", L"docx", L"xls", L"xlsx", L"ppt", L"pptx"}));
}

bool LibraryModel::hasOwnRulesOrFilters() const
{
    if (!m_scanRules.isEmpty() || !m_unreadScanRules.isEmpty())
        return true;
    for (const Filter* filter : m_filters) {
        if (!filter->isKindOnly())
            return true;
    }
    return false;
}

void LibraryModel::setFirstRunFolders(const String& recentFolder, const String& desktopFolder)
{
    m_firstRunRecentFolder = recentFolder;
    m_firstRunDesktopFolder = desktopFolder;
}

void LibraryModel::collectAutoRules(List<ScanRule*>& out, ScanRule::ScanTime time) const
{
    for (ScanRule* rule : m_scanRules) {
        if (rule->isAutoRule() && rule->scanTime() == time && rule->isValid())
            out.append(rule);
    }
}

void LibraryModel::runStartupScan(bool silent, ProgressWindow& progressWindow)
{
    if (!silent) {
        progressWindow.setMessage(translate(L"Auto scan...", L"Database"));
        progressWindow.setPercent(0);
    }
    List<ScanRule*> rules;
    collectAutoRules(rules, ScanRule::AtProgramStart);
    if (rules.isEmpty())
        return;
    progressWindow.setPercent(62);
    PointerArray<Tag*> tags;
    PointerArray<TaggedItem*> items;
    Scanner scanner(this, tags, items);
    if (scanner.scan(rules, true, true)) {
        progressWindow.setPercent(87);
        addScannedItems(items, true);
    }
    Scanner::deleteResults(tags, items);
}

List<ScanRule*> LibraryModel::clickRulesFor(const Tag& tag) const
{
    List<ScanRule*> rules;
    collectAutoRules(rules, ScanRule::AtTagClick);
    for (auto* node = rules.first(); node;) {
        auto* next = node->next;
        if (!node->value->assignsTag(tag))
            rules.removeNode(node);
        node = next;
    }
    return rules;
}

bool LibraryModel::scansOnClick(const Tag& tag) const
{
    return !clickRulesFor(tag).isEmpty();
}

void LibraryModel::scanForClickedTag(const Tag* tag)
{
    if (!tag)
        return;
    const List<ScanRule*> rules = clickRulesFor(*tag);
    if (rules.isEmpty())
        return;
    PointerArray<Tag*> tags;
    PointerArray<TaggedItem*> items;
    Scanner scanner(this, tags, items);
    if (scanner.scan(rules, false, true))
        addScannedItems(items, false);
    Scanner::deleteResults(tags, items);
}

bool LibraryModel::addScannedItems(const PointerArray<TaggedItem*>& scannedItems, bool silent)
{
    const BusyScope busy(this);
    if (!busy.acquired())
        return false;
    beginMerge();
    std::optional<ScopedWaitCursor> waitCursor;
    if (!silent) {
        waitCursor.emplace();
        shellHooks().setStatus(ShellHooks::StatusPreparing);
        shellHooks().setStatusProgress(0, true);
    }
    const int count = scannedItems.count();
    for (int i = 0; i < count; ++i) {
        if (!silent)
            processPendingEvents();
        mergeScannedItem(scannedItems[i]);
        if (!silent)
            shellHooks().setStatusProgress(static_cast<int>(static_cast<double>(i) / count * 100.0), true);
    }
    endMerge();
    if (!silent) {
        shellHooks().setStatusProgress(100, true);
        shellHooks().setStatus(ShellHooks::StatusReady);
    }
    return true;
}

// The model item of the scanned path leaves the snapshot even when the
// scanned item brings no tags.
void LibraryModel::mergeScannedItem(const TaggedItem* scanned)
{
    TaggedItem* item = takeSnapshotItem(scanned->pathHash(), scanned->path());
    if (scanned->tagCount() == 0)
        return;
    if (!item)
        item = addItem(scanned->path(), 0, DateTime::currentUtc());
    if (item)
        addTagsToItem(item, scanned->tags());
}
