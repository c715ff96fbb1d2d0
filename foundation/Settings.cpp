#include "foundation/Settings.h"

#include "foundation/Application.h"
#include "foundation/Crc32Stream.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/System.h"
#include "foundation/TextFile.h"
#include "foundation/OwnFileSave.h"

#include <string>
#include <string_view>

namespace {

// Shorter files hold nothing a backend could read, not even a byte-order
// mark and one character, so they load as an empty store.
constexpr std::uint64_t minimumReadableSize = 4;

// The length of the file as opened, so that a file whose length cannot be
// read, or that cannot be opened, never counts as an empty store: a store
// loaded empty would write its defaults over the file at exit.
std::uint64_t openFileSize(const String& path)
{
    const FileInputStream stream(path);
    return stream.isOpen() ? stream.size() : minimumReadableSize;
}

String folderUnder(int specialFolder, const String& folderName)
{
    const String base = specialFolderPath(specialFolder);
    if (base.isEmpty())
        return {};
    return base + L'\\' + folderName + L'\\';
}

// Keys compare in full, null characters included, as String's == does.
std::wstring_view keyText(const String& key)
{
    return std::wstring_view(key.c_str(), static_cast<std::size_t>(key.length()));
}

} // namespace

Settings::Settings(const String& fileName, const String& folderName, Location location, Format format)
    : m_fileName(fileName),
      m_folderName(folderName),
      m_location(location),
      m_format(format),
      m_comment(L";Automatically generated file. DO NOT MODIFY!")
{
}

Settings::~Settings()
{
    clear();
}

String Settings::directory() const
{
    switch (m_location) {
    case UserData:
        return folderUnder(SpecialFolder::AppData, m_folderName);
    case CommonData:
        return folderUnder(SpecialFolder::CommonAppData, m_folderName);
    case ApplicationFolder: {
        const Application* application = Application::instance();
        if (!application || application->applicationDirectory().isEmpty())
            return {};
        return application->applicationDirectory() + L'\\';
    }
    default:
        return {};
    }
}

String Settings::filePath() const
{
    const String folder = directory();
    if (folder.isEmpty())
        return {};
    return folder + m_fileName;
}

String Settings::fullKey(const String& key) const
{
    if (m_group.isEmpty())
        return key;
    return m_group + L'/' + key;
}

void Settings::addEntry(const String& key, const Value& defaultValue, const String& comment)
{
    EntryNode* node = m_entries.append(new SettingsEntry{key, defaultValue, comment});
    m_byKey.add(std::wstring(keyText(key)), node);
    m_byKeyHash.add(key.hash(), node);
}

Settings::EntryNode* Settings::findNode(const String& fullKey) const
{
    return m_byKey.first(keyText(fullKey));
}

SettingsEntry* Settings::findEntry(const String& fullKey) const
{
    const EntryNode* node = findNode(fullKey);
    return node ? node->value : nullptr;
}

Value Settings::value(const String& key, const Value& defaultValue) const
{
    const SettingsEntry* found = findEntry(fullKey(key));
    return found ? found->value : defaultValue;
}

void Settings::setValue(const String& key, const Value& value)
{
    SettingsEntry* found = findEntry(fullKey(key));
    if (found)
        found->value = value;
}

bool Settings::contains(const String& key) const
{
    return findEntry(fullKey(key)) != nullptr;
}

SettingsEntry* Settings::entry(const String& key) const
{
    return findEntry(fullKey(key));
}

void Settings::remove(const String& key)
{
    const String wanted = fullKey(key);
    EntryNode* node = findNode(wanted);
    if (!node)
        return;
    m_byKey.remove(keyText(wanted), node);
    m_byKeyHash.remove(wanted.hash(), node);
    delete node->value;
    m_entries.removeNode(node);
}

Value Settings::valueByHash(std::uint64_t hash, const Value& defaultValue) const
{
    const EntryNode* node = m_byKeyHash.first(hash);
    return node ? node->value->value : defaultValue;
}

StringList Settings::keys() const
{
    StringList out;
    for (const SettingsEntry* entry : m_entries)
        out.append(entry->key);
    return out;
}

void Settings::clear()
{
    m_group.clear();
    for (SettingsEntry* entry : m_entries)
        delete entry;
    m_entries.clear();
    m_byKey.clear();
    m_byKeyHash.clear();
}

// The version is taken before the read, so a file changed after it
// differs at the next guarded save, which keeps to the safe side.
bool Settings::load()
{
    clear();
    m_save.reset();
    m_savedContent.reset();
    const String path = filePath();
    if (path.isEmpty())
        return false;
    if (!fileExists(path)) {
        createEmptyFile(path);
        if (!fileExists(path))
            return false;
    }
    std::optional<FileVersion> version = FileSystem::version(path);
    if (!version || !readFile(path))
        return false;
    m_savedContent = version->content;
    m_save.ownVersion() = std::move(version);
    return true;
}

bool Settings::readFile(const String& path)
{
    if (openFileSize(path) < minimumReadableSize)
        return true;
    switch (m_format) {
    case Ini:
        return loadIni(*this, path);
    case Xml:
        return loadXmlSettings(*this, path);
    default:
        return false;
    }
}

bool Settings::save() const
{
    return saveAt(filePath());
}

std::optional<String> Settings::fileText() const
{
    switch (m_format) {
    case Ini:
        return iniSettingsText(*this);
    case Xml:
        return xmlSettingsText(*this);
    default:
        return std::nullopt;
    }
}

bool Settings::saveAt(const String& path) const
{
    const std::optional<String> text = fileText();
    return text && replaceFileWithText(path, *text, TextUtf8);
}

bool Settings::saveGuarded()
{
    const String path = filePath();
    const std::optional<String> text = fileText();
    if (path.isEmpty() || !text)
        return false;
    const auto writeText = [&text](OutputStream& stream) { return writeTextTo(stream, *text, TextUtf8); };
    const ContentChecksum content = checksumOfText(*text);
    if (!m_save.save(path, writeText, false, content == m_savedContent))
        return false;
    m_savedContent = content;
    return true;
}

bool Settings::hasUnsavedChanges() const
{
    const std::optional<String> text = fileText();
    return !text || checksumOfText(*text) != m_savedContent;
}

ContentChecksum Settings::checksumOfText(const String& text)
{
    return checksumOfWrite([&text](OutputStream& stream) { return writeTextTo(stream, text, TextUtf8); });
}

bool Settings::createEmptyFile(const String& path) const
{
    const String folder = directory();
    if (!directoryExists(folder) && !createPath(folder))
        return false;
    return FileSystem::createNew(path);
}
