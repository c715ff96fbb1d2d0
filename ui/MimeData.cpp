#include "ui/MimeData.h"

const wchar_t* const mimeTextFormat = L"text/plain";
const wchar_t* const mimeFileListFormat = L"text/file-path-list";
const wchar_t* const mimeImageFormat = L"image/*";

namespace {

bool isBuiltInFormat(const String& format)
{
    return format == mimeTextFormat || format == mimeFileListFormat || format == mimeImageFormat;
}

} // namespace

MimeData::~MimeData()
{
    clear();
}

void MimeData::clear()
{
    for (MimeEntry* entry : m_entries)
        delete entry;
    m_entries.clear();
}

MimeEntry* MimeData::find(const String& format) const
{
    for (MimeEntry* entry : m_entries) {
        if (entry->format() == format)
            return entry;
    }
    return nullptr;
}

bool MimeData::hasFormat(const String& format) const
{
    return find(format) != nullptr;
}

StringList MimeData::formats() const
{
    StringList names;
    for (const MimeEntry* entry : m_entries)
        names.append(entry->format());
    return names;
}

void MimeData::setText(const String& text)
{
    if (auto* entry = static_cast<MimeTextEntry*>(find(mimeTextFormat)))
        entry->text = text;
    else
        m_entries.append(new MimeTextEntry(text));
}

const String& MimeData::text() const
{
    const auto* entry = static_cast<const MimeTextEntry*>(find(mimeTextFormat));
    return entry ? entry->text : String::empty;
}

void MimeData::setImage(const Bitmap& image)
{
    if (auto* entry = static_cast<MimeImageEntry*>(find(mimeImageFormat)))
        entry->image = image.copy();
    else
        m_entries.append(new MimeImageEntry(image));
}

Bitmap MimeData::image() const
{
    const auto* entry = static_cast<const MimeImageEntry*>(find(mimeImageFormat));
    return entry ? entry->image : Bitmap();
}

void MimeData::setFilePaths(const StringList& paths)
{
    auto* entry = static_cast<MimeFileListEntry*>(find(mimeFileListFormat));
    if (!entry) {
        m_entries.append(new MimeFileListEntry(paths));
        return;
    }
    if (&entry->paths != &paths)
        entry->paths = paths;
}

StringList MimeData::filePaths() const
{
    const auto* entry = static_cast<const MimeFileListEntry*>(find(mimeFileListFormat));
    return entry ? entry->paths : StringList();
}

void MimeData::setData(const String& format, const ByteArray& bytes)
{
    if (isBuiltInFormat(format))
        return;
    if (auto* entry = static_cast<MimeBytesEntry*>(find(format)))
        entry->bytes = bytes;
    else
        m_entries.append(new MimeBytesEntry(format, bytes));
}

ByteArray MimeData::data(const String& format) const
{
    if (isBuiltInFormat(format))
        return ByteArray();
    const auto* entry = static_cast<const MimeBytesEntry*>(find(format));
    return entry ? entry->bytes : ByteArray();
}

void MimeData::copyFrom(const MimeData& other)
{
    if (&other == this)
        return;
    clear();
    for (const MimeEntry* entry : other.m_entries) {
        const String& format = entry->format();
        if (format == mimeTextFormat)
            setText(static_cast<const MimeTextEntry*>(entry)->text);
        else if (format == mimeFileListFormat)
            setFilePaths(static_cast<const MimeFileListEntry*>(entry)->paths);
        else if (format == mimeImageFormat)
            setImage(static_cast<const MimeImageEntry*>(entry)->image);
        else
            setData(format, static_cast<const MimeBytesEntry*>(entry)->bytes);
    }
}
