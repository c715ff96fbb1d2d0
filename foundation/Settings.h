#pragma once

#include "foundation/FileSystem.h"
#include "foundation/List.h"
#include "foundation/ListIndex.h"
#include "foundation/OwnFileSave.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "foundation/Value.h"

#include <cstdint>
#include <optional>

// One registered setting: the full "group/name" key, its value and a
// comment that only the INI form writes.
struct SettingsEntry {
    String key;
    Value value;
    String comment;
};

// The program's key/value store for preferences, kept in one file. Every key
// is a "group/name" path that must be registered (addEntry) before setValue
// can change it; readers pass the default they expect. Keys compare exactly,
// the first entry with a key wins every lookup, and registration does not
// look for duplicates. After a load every value is a text Value; readers
// convert it with Value's conversions.
//
// Lookups go through an index of the keys that addEntry, remove and clear
// keep up to date, so an entry's key must not be changed in place.
//
// Used from the UI thread only.
class Settings {
public:
    // Where the file lives: the user's application data, the application
    // data of all users (both + folderName), or the program's own folder.
    // NoLocation (or any other code) names no file. Both are enums, not
    // ints, so swapped arguments do not compile.
    enum Location : int { NoLocation = -1, UserData = 0, CommonData = 1, ApplicationFolder = 2 };
    enum Format : int { Ini = 0, Xml = 1, NoFormat = 2 };

    Settings(const String& fileName, const String& folderName, Location location, Format format);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The folder with a trailing '\'; empty for an unknown location, or for
    // the program's folder while no Application exists.
    String directory() const;
    String filePath() const;
    const String& fileName() const { return m_fileName; }
    const String& folderName() const { return m_folderName; }
    Location location() const { return m_location; }
    Format format() const { return m_format; }

    // The key behind the group prefix; every lookup goes through it,
    // addEntry does not.
    String fullKey(const String& key) const;

    // Appends an entry with exactly this key.
    void addEntry(const String& key, const Value& defaultValue, const String& comment = String::empty);
    Value value(const String& key, const Value& defaultValue = Value()) const;
    // Assigns by Value's rules (an empty Value changes nothing); nothing
    // happens for a key that was never registered.
    void setValue(const String& key, const Value& value);
    bool contains(const String& key) const;
    SettingsEntry* entry(const String& key) const;
    void remove(const String& key);
    // The first entry whose key hashes (String::hash) to the value.
    Value valueByHash(std::uint64_t hash, const Value& defaultValue = Value()) const;

    int count() const { return m_entries.count(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    StringList keys() const;
    const List<SettingsEntry*>& entries() const { return m_entries; }
    // Empties the group prefix and deletes every entry.
    void clear();

    void beginGroup(const String& prefix) { m_group = prefix; }
    void endGroup() { m_group.clear(); }
    const String& group() const { return m_group; }
    void setComment(const String& comment) { m_comment = comment; }
    const String& comment() const { return m_comment; }

    // Replaces every entry by the file's. A missing file is created empty
    // (with its folder) and loads as true; a file of fewer than 4 bytes loads
    // as true with no entries; a file that cannot be opened, or that the
    // format cannot read, leaves the store empty and gives false.
    bool load();
    // Writes every entry in registration order. The old file is replaced
    // only once the new one is complete, so a failed save leaves it intact.
    // Both forms give back every key, value and comment as written, except:
    // - U+0000 is left out of keys, values and comments, and each lone
    //   surrogate half becomes U+FFFD (either would fail the load);
    // - a key without '/' is not written (neither form has a place for it);
    // - every value reads back as text, and only the INI form keeps the
    //   comments; the store's own comment heads the INI file unread, each
    //   of its lines cleaned as keys are and written as a comment line.
    // The INI form writes a section, name, value or comment that its reader
    // would take apart (white space at either end, ";" in a value, "=" in a
    // name, "]" in a section, a line break, a leading '"', an empty section
    // or name, a name that starts with neither letter nor digit) in double
    // quotes, with '\' before '\' and '"' and line breaks as \r and \n.
    // Every other text is written as it stands, so older files, which hold
    // no quoted text, read as before.
    bool save() const;
    // As save, by the rule of OwnFileSave: only over the file the last load
    // read, unchanged since (the same file with the same bytes, looked at
    // again just before the new one takes its place), or where there is
    // none; through a link, the file it leads to is replaced. A file another
    // program holds is waited for first, as at start. Any other file stays
    // as it is, and so does one whose replace fails: the store goes to a
    // free name beside it instead (besidePath), until a later save finds the
    // place its own again; the user is told whenever that place changes.
    // Nothing is written while the store is what the last load read or this
    // last wrote and the file that holds it is as this left it, except the
    // way back into place of a store kept beside. False when no file took
    // the store.
    bool saveGuarded();
    // Whether the store differs from what the last load read or saveGuarded
    // last wrote (true when it cannot tell).
    bool hasUnsavedChanges() const;
    // Where saveGuarded wrote the store instead of its own file; empty while
    // the store is in its place.
    const String& besidePath() const { return m_save.besidePath(); }
    // The files the last saveGuarded tried and could not write, in the order
    // tried: its own file when the replace failed, then each name beside it.
    const StringList& unwrittenPaths() const { return m_save.unwrittenPaths(); }

private:
    using EntryNode = List<SettingsEntry*>::Node;
    EntryNode* findNode(const String& fullKey) const;
    SettingsEntry* findEntry(const String& fullKey) const;
    bool createEmptyFile(const String& path) const;
    bool readFile(const String& path);
    std::optional<String> fileText() const;
    static ContentChecksum checksumOfText(const String& text);
    bool saveAt(const String& path) const;

    String m_fileName;
    String m_folderName;
    Location m_location;
    Format m_format;
    List<SettingsEntry*> m_entries;
    TextListIndex<EntryNode> m_byKey;
    ListIndex<std::uint64_t, EntryNode> m_byKeyHash;
    String m_comment;
    String m_group;
    // The file as the last load read it, or as saveGuarded last wrote it,
    // and where the store went when it could not go there.
    OwnFileSave m_save{OwnFileSave::Kind::Settings};
    // The checksum of the store as the last load read it or saveGuarded
    // last wrote it, there or beside.
    std::optional<ContentChecksum> m_savedContent;
};

// The file forms, one pair per format. The loaders register the file's
// entries after those already in the store; the text makers give the text
// a save writes (in UTF-8), the store's entries in registration order.
bool loadIni(Settings& settings, const String& path);
String iniSettingsText(const Settings& settings);
bool loadXmlSettings(Settings& settings, const String& path);
std::optional<String> xmlSettingsText(const Settings& settings);
