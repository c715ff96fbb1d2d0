// The library model's settings keys: the tag-cloud appearance, the item
// filters and the scan rules live in the settings store, not in the
// library file. Malformed entries are skipped; the rest still loads. A rule
// the user set up is not dropped that way: its text is kept and reported.

#include "library/LibraryModel.h"

#include "foundation/Application.h"
#include "foundation/Hooks.h"
#include "foundation/Settings.h"
#include "graphics/FontDesc.h"

#include <cstdint>

namespace {

const wchar_t* const filtersKey = L"model/taggedItemFilters";
const wchar_t* const scanRulesKey = L"model/scanRules";
const wchar_t* const cacheSizeKey = L"model/taggedItemsCacheMaxSize";
const wchar_t* const imagePathKey = L"tagCloud/backgroundImagePath";
const wchar_t* const imageDrawModeKey = L"tagCloud/backgroundImageDrawMode";
const wchar_t* const collectModeKey = L"taggedItems/collectMode";

Settings& store()
{
    return shellHooks().settings();
}

int intSetting(const wchar_t* key, int fallback)
{
    return store().value(key, fallback).toInt();
}

Colour colourSetting(const wchar_t* key, std::uint32_t fallback)
{
    return Colour(store().value(key, fallback).toUInt());
}

// Kinds 1, 2 and 3 of a filter list entry; 0 for anything else.
int builtInKindOf(const String& text)
{
    const int kind = text.toInt();
    return kind >= Filter::AnyItems && kind <= Filter::Folders ? kind : 0;
}

bool hasFilterNamed(const List<Filter*>& filters, const String& name)
{
    for (const Filter* filter : filters) {
        if (filter->name() == name)
            return true;
    }
    return false;
}

// A "name:kinds:extensions" entry: a filter with kinds 1 to 3, each once,
// or one with extensions alone unless a filter of that name exists.
Filter* namedFilter(const StringList& fields, const List<Filter*>& filters)
{
    const String& name = *fields.begin();
    const String& kindsText = fields.first()->next->value;
    const StringList extensions = StringList::split(fields.last()->value, L",", 1);
    const StringList kindTexts = StringList::split(kindsText, L",", 1);
    if (kindTexts.isEmpty() && (extensions.isEmpty() || (!name.isEmpty() && hasFilterNamed(filters, name))))
        return nullptr;
    List<int> kinds;
    for (const String& text : kindTexts) {
        const int kind = builtInKindOf(text);
        if (kind && !kinds.contains(kind))
            kinds.append(kind);
    }
    if (kinds.isEmpty() && extensions.isEmpty())
        return nullptr;
    auto* filter = new Filter;
    for (int kind : kinds)
        filter->addKind(kind);
    filter->setName(name);
    filter->setExtensions(extensions);
    return filter;
}

Filter* builtIn(int kind)
{
    auto* filter = new Filter;
    filter->setKind(kind);
    return filter;
}

// Shown before the library opens, so the user learns why a rule is missing
// from the scan window while its text stays safe in the settings.
void reportUnreadScanRules(const StringList& texts)
{
    const String text = translate(L"These scan rules could not be read. They are kept unchanged in the settings:",
                                  L"ScanWindow");
    uiHooks().information(String(), text + L'\n' + texts.join(L"\n"), String(), UiHooks::OkButton, 0);
}

} // namespace

void LibraryModel::loadAppearanceSettings()
{
    m_fontMinimumSize = store().value(L"tagCloud/fontMinimumSize", 12.0f).toFloat();
    m_fontMaximumSize = store().value(L"tagCloud/fontMaximumSize", 24.0f).toFloat();
    m_fontFamily = store().value(L"tagCloud/fontFamily", String()).toString();
    if (m_fontFamily.isEmpty())
        m_fontFamily = defaultFontDesc().face();
    m_background = Brush(colourSetting(L"tagCloud/background", 0xFF699DCDu));
    m_foreground = Pen(colourSetting(L"tagCloud/foreground", 0xFFFFFFFFu));
    m_selectedForeground = Pen(colourSetting(L"tagCloud/selectedForeground", 0xFF306392u));
    const int sortMode = intSetting(L"tagCloud/sortMode", 0);
    m_sortMode = sortMode == 1 || sortMode == 2 ? static_cast<std::uint32_t>(sortMode) : 0;
    m_weightMethod = intSetting(L"tagCloud/weightMethod", 0) != 0 ? 1 : 0;
    m_filterByNameMode = static_cast<std::uint32_t>(intSetting(L"tagCloud/filterByNameMode", 0));
}

// The keys without a fallback of the model's own keep the model's value
// while the store has no entry for them.
void LibraryModel::loadSettings()
{
    loadFilterSettings();
    m_collectMode = static_cast<std::uint32_t>(intSetting(collectModeKey, 0));
    if (store().contains(cacheSizeKey))
        setItemsCacheMaxSize(store().value(cacheSizeKey).toInt());
    if (store().contains(imagePathKey))
        setBackgroundImagePath(store().value(imagePathKey).toString());
    if (store().contains(imageDrawModeKey))
        m_backgroundImageDrawMode = store().value(imageDrawModeKey).toUInt();
    loadScanRules();
}

// Appends the stored filters; the built-in filters the text lacks go to
// the head of the list in the order any items, files, folders.
void LibraryModel::loadFilterSettings()
{
    bool created[Filter::Folders + 1] = {};
    const StringList entries = StringList::split(store().value(filtersKey).toString(), L"|", 1);
    for (const String& entry : entries) {
        const StringList fields = StringList::split(entry, L":", 2);
        if (fields.count() == 1) {
            const int kind = builtInKindOf(entry.trimmed());
            if (kind && !created[kind]) {
                m_filters.append(builtIn(kind));
                created[kind] = true;
            }
            continue;
        }
        if (fields.count() != 3)
            continue;
        Filter* filter = namedFilter(fields, m_filters);
        if (filter)
            m_filters.append(filter);
    }
    for (int kind = Filter::Folders; kind >= Filter::AnyItems; --kind) {
        if (!created[kind])
            m_filters.insertAt(0, builtIn(kind));
    }
}

void LibraryModel::loadScanRules()
{
    const StringList unread = ScanRule::appendFromSettingsText(store().value(scanRulesKey).toString(), m_scanRules);
    if (unread.isEmpty())
        return;
    m_unreadScanRules.appendList(unread);
    reportUnreadScanRules(unread);
}

void LibraryModel::saveSettings() const
{
    saveScanRules();
    String filtersText;
    for (const Filter* filter : m_filters) {
        if (!filtersText.isEmpty())
            filtersText.append(L'|');
        filtersText.append(filter->toText());
    }
    Settings& settings = store();
    settings.setValue(filtersKey, filtersText);
    settings.setValue(cacheSizeKey, static_cast<std::int32_t>(m_itemsCacheMaxSize));
    settings.setValue(L"tagCloud/weightMethod", static_cast<std::int32_t>(m_weightMethod));
    settings.setValue(L"tagCloud/background", m_background.colour().argb());
    settings.setValue(L"tagCloud/foreground", m_foreground.colour().argb());
    settings.setValue(L"tagCloud/selectedForeground", m_selectedForeground.colour().argb());
    settings.setValue(imagePathKey, m_backgroundImagePath);
    settings.setValue(imageDrawModeKey, static_cast<std::int32_t>(m_backgroundImageDrawMode));
    settings.setValue(L"tagCloud/fontMinimumSize", m_fontMinimumSize);
    settings.setValue(L"tagCloud/fontMaximumSize", m_fontMaximumSize);
    settings.setValue(L"tagCloud/fontFamily", m_fontFamily);
    settings.setValue(L"tagCloud/sortMode", static_cast<std::int32_t>(m_sortMode));
    settings.setValue(L"tagCloud/filterByNameMode", static_cast<std::int32_t>(m_filterByNameMode));
    settings.setValue(collectModeKey, static_cast<std::int32_t>(m_collectMode));
}

void LibraryModel::saveScanRules() const
{
    store().setValue(scanRulesKey, ScanRule::settingsText(m_scanRules, m_unreadScanRules));
}
