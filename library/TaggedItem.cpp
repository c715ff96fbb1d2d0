#include "library/TaggedItem.h"

#include "foundation/Application.h"
#include "foundation/Crc32.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/Locale.h"
#include "foundation/Path.h"
#include "library/Filter.h"
#include "library/LibraryModel.h"
#include "library/Tag.h"

#include <algorithm>

namespace {

const int thumbnailSize = 128;

String unitWord(int unit)
{
    static const wchar_t* const words[] = {L"Bytes", L"Kb", L"Mb", L"Gb", L"Tb"};
    if (unit < 0 || unit > TeraByteUnit)
        return String();
    return translate(words[unit], L"MainWindow");
}

} // namespace

// Lowered a piece at a time on the stack: a load hashes every path, and a
// lowered copy of each would cost an allocation.
std::uint32_t TaggedItem::hashOfPath(const String& path)
{
    constexpr int pieceLength = 256;
    wchar_t lowered[pieceLength];
    Crc32Builder crc;
    for (int from = 0; from < path.length(); from += pieceLength) {
        const int count = std::min(pieceLength, path.length() - from);
        path.lowerUnits(from, count, lowered);
        crc.add(lowered, static_cast<std::uint32_t>(count * sizeof(wchar_t)));
    }
    return crc.value();
}

bool TaggedItem::samePath(const String& path, std::uint32_t hash) const
{
    if (m_pathHash != hash)
        return false;
    return m_path == path || m_path.toLower() == path.toLower();
}

void TaggedItem::setPath(String path)
{
    LibraryModel* model = m_model;
    if (model)
        model->itemPathChanging(this);
    if (path != m_path) {
        resetCaches();
        m_path = std::move(path);
        decideKind();
    }
    m_pathHash = hashOfPath(m_path);
    if (model)
        model->itemPathChanged(this);
}

// A name with a dot is a file even where a folder of that name exists; a
// path naming nothing keeps its form. Only a path without a dot or a final
// '\' needs the disk: a final '\' makes a folder whether it exists or not,
// and a path that is no folder is a file whether it exists or not.
void TaggedItem::decideKind()
{
    m_extension.clear();
    m_isRoot = Path::isDriveRoot(m_path);
    if (m_isRoot) {
        m_kind = Kind::DriveRoot;
        m_displayName = m_path;
        return;
    }
    String extension = Path::extension(m_path, Path::AsWritten);
    if (!extension.isEmpty()) {
        m_kind = Kind::File;
        m_displayName = Path::fileName(m_path);
        m_extension = std::move(extension);
        return;
    }
    if (!m_path.endsWith(L'\\') && !directoryExists(m_path)) {
        m_kind = Kind::File;
        m_displayName = Path::fileName(m_path);
        return;
    }
    m_kind = Kind::Folder;
    if (!m_path.endsWith(L'\\'))
        m_path.append(L'\\');
    m_displayName = Path::folderName(m_path);
}

bool TaggedItem::exists() const
{
    return ::fileExists(m_path) || directoryExists(m_path);
}

bool TaggedItem::fileExists() const
{
    return ::fileExists(m_path);
}

bool TaggedItem::folderExists() const
{
    return directoryExists(m_path);
}

void TaggedItem::setDate(const DateTime& date)
{
    m_date = date;
    m_dateText.clear();
}

bool TaggedItem::hasTag(const Tag* tag) const
{
    return m_tags.lastIndexOf(tag) >= 0;
}

bool TaggedItem::hasTagNamed(const String& name) const
{
    for (const Tag* tag : m_tags) {
        if (String::equalsIgnoreCase(tag->name(), name))
            return true;
    }
    return false;
}

StringList TaggedItem::tagNames() const
{
    StringList names;
    for (const Tag* tag : m_tags)
        names.append(tag->name());
    return names;
}

void TaggedItem::copyTags(PointerArray<Tag*>& target) const
{
    if (&target != &m_tags)
        target = m_tags;
}

bool TaggedItem::matches(const Filter& filter) const
{
    if (filter.hasKinds()) {
        const int kind = filter.itemKind();
        const bool admitted = kind == Filter::AnyItems || (kind == Filter::Files && m_kind == Kind::File) ||
                              (kind == Filter::Folders && m_kind == Kind::Folder);
        if (!admitted)
            return false;
    }
    if (filter.extensions().isEmpty())
        return true;
    const StringList& include = filter.includeExtensions();
    if (!include.isEmpty() && !include.containsIgnoreCase(m_extension))
        return false;
    return !filter.excludeExtensions().containsIgnoreCase(m_extension);
}

String TaggedItem::timeText(const DateTime& local)
{
    const Locale& locale = Locale::system();
    return locale.formatDate(local.date(), L"yyyy/MM/dd") + L" " + locale.formatTime(local.time());
}

String TaggedItem::dateText()
{
    if (m_dateText.isEmpty())
        m_dateText = timeText(m_date.toLocal());
    return m_dateText;
}

TaggedItem::DisplayCache& TaggedItem::display()
{
    if (!m_display)
        m_display = std::make_unique<DisplayCache>();
    return *m_display;
}

String TaggedItem::sizeText(std::uint64_t& size)
{
    size = m_kind == Kind::File ? FileSystem::fileSize(m_path) : 0;
    DisplayCache& cache = display();
    if (size == cache.cachedSize && !cache.sizeText.isEmpty())
        return cache.sizeText;
    cache.cachedSize = size;
    int unit = ByteUnit;
    const String number = formatByteSize(size, unit);
    cache.sizeText = number + unitWord(unit);
    return cache.sizeText;
}

String TaggedItem::createdText()
{
    DisplayCache& cache = display();
    if (!cache.createdText.isEmpty())
        return cache.createdText;
    const DateTime created = FileSystem::creationTime(m_path, true);
    if (created.isNull())
        return L"-";
    cache.createdDate = created;
    cache.createdText = timeText(created);
    return cache.createdText;
}

String TaggedItem::modifiedText()
{
    const DateTime modified = FileSystem::writeTime(m_path, true);
    if (modified.isNull())
        return L"-";
    DisplayCache& cache = display();
    if (modified != cache.modifiedDate || cache.modifiedText.isEmpty()) {
        cache.modifiedDate = modified;
        cache.modifiedText = timeText(modified);
    }
    return cache.modifiedText;
}

LibraryModel* TaggedItem::imageModel() const
{
    return m_model ? m_model : shellHooks().libraryModel();
}

Bitmap TaggedItem::icon()
{
    if (m_display && !m_display->smallIcon.isNull())
        return m_display->smallIcon;
    return reloadIcon();
}

Bitmap TaggedItem::reloadIcon()
{
    LibraryModel* model = imageModel();
    if (!model)
        return Bitmap::null();
    Bitmap& icon = display().smallIcon;
    icon = model->loadSmallIcon(m_path);
    return icon.isNull() ? model->notFoundImage(1) : icon;
}

Bitmap TaggedItem::previewImage()
{
    if (m_display && !m_display->previewImage.isNull())
        return m_display->previewImage;
    return reloadPreviewImage();
}

Bitmap TaggedItem::reloadPreviewImage()
{
    Bitmap& preview = display().previewImage;
    preview = Bitmap();
    if (uiHooks().shellThumbnail(m_path, thumbnailSize, preview) && !preview.isNull())
        return preview;
    LibraryModel* model = imageModel();
    if (!model)
        return Bitmap::null();
    preview = model->loadLargeIcon(m_path);
    return preview.isNull() ? model->notFoundImage(2) : preview;
}

void TaggedItem::copyIcon(const TaggedItem& other)
{
    display().smallIcon = other.m_display ? other.m_display->smallIcon : Bitmap();
}

void TaggedItem::resetCaches()
{
    m_display.reset();
}

std::int64_t TaggedItem::cacheBytes() const
{
    if (!m_display)
        return 0;
    return std::int64_t(m_display->smallIcon.byteCount()) + std::int64_t(m_display->previewImage.byteCount());
}
