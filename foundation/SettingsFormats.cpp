// The two file forms of the settings store: INI text and XML, both UTF-8
// with a byte-order mark and CRLF line ends.

#include "foundation/Settings.h"

#include "foundation/CharHelpers.h"
#include "foundation/TextFile.h"
#include "foundation/XmlDocument.h"


namespace {

// A key split at its last '/'; a key without one has an empty group.
struct KeyParts {
    String group;
    String name;
};

KeyParts splitKey(const String& key)
{
    const int slash = key.lastIndexOf(L'/');
    if (slash < 0)
        return {String(), key};
    return {key.mid(0, slash), key.mid(slash + 1)};
}

// The section of a header line: the trimmed text between '[' and the first
// ']'; empty when there is no ']'.
String iniSection(const String& line)
{
    const int close = line.indexOf(L']');
    if (close < 0)
        return {};
    return line.mid(1, close - 1).trimmed();
}

bool isIniEntryLine(const String& line)
{
    return !line.startsWith(L';') && isAlnumChar(line.first());
}

void addIniEntry(Settings& settings, const String& section, const String& line)
{
    const int equals = line.indexOf(L'=');
    if (equals < 0)
        return;
    const String name = line.mid(0, equals).trimmed();
    if (name.isEmpty())
        return;
    String value = line.mid(equals + 1).trimmed();
    String comment;
    const int semicolon = value.indexOf(L';');
    if (semicolon >= 0) {
        comment = value.mid(semicolon + 1).trimmed();
        value = value.mid(0, semicolon).trimmed();
    }
    settings.addEntry(section + L'/' + name, Value(value), comment);
}

// The value's text as the readers will give it back. A U+0000 cut the INI
// line and made the XML file unreadable as a whole, and a lone surrogate
// half has no UTF-8 form, which also failed the whole file on reading; the
// first is left out, the second becomes U+FFFD.
String storedText(const Value& value)
{
    const String text = value.toString();
    String out;
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t c = text.at(i);
        if (isSurrogatePairAt(text.view(), std::size_t(i))) {
            out.append(c);
            out.append(text.at(++i));
        } else if (isSurrogate(c)) {
            out.append(static_cast<wchar_t>(0xFFFD));
        } else if (c != 0) {
            out.append(c);
        }
    }
    return out;
}

} // namespace

// Lines are split at line feeds and trimmed, so a file edited by hand with
// bare line feeds reads like one with CRLF.
bool loadIni(Settings& settings, const String& path)
{
    const String trimmedPath = path.trimmed();
    if (trimmedPath.isEmpty())
        return false;
    const StringList lines = String::split(String::fromFile(trimmedPath, TextUtf8), L"\n");
    if (lines.isEmpty())
        return false;
    String section;
    for (const String& untrimmed : lines) {
        const String line = untrimmed.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(L'[')) {
            section = iniSection(line);
            continue;
        }
        if (!section.isEmpty() && isIniEntryLine(line))
            addIniEntry(settings, section, line);
    }
    return true;
}

// Keys without a group would land in whatever section came before them and
// read back under a different key, so they are not written.
bool saveIni(const Settings& settings, const String& path)
{
    const String trimmedPath = path.trimmed();
    if (trimmedPath.isEmpty())
        return false;
    const String& lineEnd = String::lineBreak();
    String text = settings.comment() + lineEnd;
    String previousSection;
    for (const SettingsEntry* entry : settings.entries()) {
        const KeyParts parts = splitKey(entry->key);
        if (parts.group.isEmpty())
            continue;
        if (parts.group != previousSection)
            text += lineEnd + L'[' + parts.group + L']' + lineEnd;
        previousSection = parts.group;
        text += parts.name + L'=' + storedText(entry->value);
        if (!entry->comment.isEmpty())
            text += L" ;" + entry->comment;
        text += lineEnd;
    }
    return replaceFileWithText(trimmedPath, text, TextUtf8);
}

bool loadXmlSettings(Settings& settings, const String& path)
{
    XmlDocument document;
    if (!document.load(path, TextUtf8))
        return false;
    const XmlElement* groups = document.findElement(L"groups");
    if (!groups)
        return true;
    for (const XmlElement* group : groups->children()) {
        if (group->name() != L"group")
            continue;
        const String prefix = group->attribute(L"name") + L'/';
        for (const XmlElement* item : group->children()) {
            if (item->name() == L"item")
                settings.addEntry(prefix + item->attribute(L"name"), Value(item->attribute(L"value")));
        }
    }
    return true;
}

// Keys without '/' have no group to go in, so they are not written.
bool saveXmlSettings(const Settings& settings, const String& path)
{
    XmlDocument document;
    XmlElement* groups = document.root().addChild(L"groups");
    XmlElement* current = nullptr;
    for (const SettingsEntry* entry : settings.entries()) {
        if (entry->key.lastIndexOf(L'/') < 0)
            continue;
        const KeyParts parts = splitKey(entry->key);
        if (!current || current->attribute(L"name") != parts.group) {
            current = groups->addChild(L"group");
            current->addAttribute(L"name", parts.group);
        }
        XmlElement* item = current->addChild(L"item");
        item->addAttribute(L"name", parts.name);
        item->addAttribute(L"value", storedText(entry->value));
    }
    return document.save(path, TextUtf8);
}
