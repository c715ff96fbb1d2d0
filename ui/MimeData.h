#pragma once

#include "foundation/ByteArray.h"
#include "foundation/List.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"

// The format names with payloads of their own; any other name carries bytes.
extern const wchar_t* const mimeTextFormat;     // "text/plain"
extern const wchar_t* const mimeFileListFormat; // "text/file-path-list"
extern const wchar_t* const mimeImageFormat;    // "image/*"

// One named payload of a MimeData.
class MimeEntry {
public:
    explicit MimeEntry(const String& format) : m_format(format) {}
    virtual ~MimeEntry() = default;
    MimeEntry(const MimeEntry&) = delete;
    MimeEntry& operator=(const MimeEntry&) = delete;

    const String& format() const { return m_format; }

private:
    String m_format;
};

class MimeTextEntry : public MimeEntry {
public:
    explicit MimeTextEntry(const String& value) : MimeEntry(mimeTextFormat), text(value) {}
    String text;
};

// Holds its own deep copy of the image.
class MimeImageEntry : public MimeEntry {
public:
    explicit MimeImageEntry(const Bitmap& picture) : MimeEntry(mimeImageFormat), image(picture.copy()) {}
    Bitmap image;
};

class MimeBytesEntry : public MimeEntry {
public:
    MimeBytesEntry(const String& format, const ByteArray& payload) : MimeEntry(format), bytes(payload) {}
    ByteArray bytes;
};

class MimeFileListEntry : public MimeEntry {
public:
    explicit MimeFileListEntry(const StringList& list) : MimeEntry(mimeFileListFormat), paths(list) {}
    StringList paths;
};

// What a drag, a drop or the clipboard carries: entries in insertion order,
// at most one per format name (names compared whole and case-sensitively;
// a setter replaces the payload of an existing entry). Owns its entries.
class MimeData {
public:
    MimeData() = default;
    ~MimeData();
    MimeData(const MimeData&) = delete;
    MimeData& operator=(const MimeData&) = delete;

    void clear();
    int count() const { return m_entries.count(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const List<MimeEntry*>& entries() const { return m_entries; }

    bool hasFormat(const String& format) const;
    bool hasText() const { return hasFormat(mimeTextFormat); }
    bool hasFilePaths() const { return hasFormat(mimeFileListFormat); }
    bool hasImage() const { return hasFormat(mimeImageFormat); }
    StringList formats() const;

    void setText(const String& text);
    // String::empty when absent.
    const String& text() const;
    void setImage(const Bitmap& image);
    // The empty Bitmap when absent.
    Bitmap image() const;
    void setFilePaths(const StringList& paths);
    StringList filePaths() const;
    // For names other than the three above, which have their own setters.
    void setData(const String& format, const ByteArray& bytes);
    // Empty for the three built-in names and for absent ones.
    ByteArray data(const String& format) const;

    // Replaces this data by a copy of every entry of other.
    void copyFrom(const MimeData& other);

private:
    MimeEntry* find(const String& format) const;

    List<MimeEntry*> m_entries;
};
