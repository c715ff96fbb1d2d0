// The two file forms of the settings store: INI text and XML, both UTF-8
// with a byte-order mark and CRLF line ends.

#include "foundation/Settings.h"

#include "foundation/CharHelpers.h"
#include "foundation/TextFile.h"
#include "foundation/XmlDocument.h"
#include "foundation/XmlWriter.h"

#include <optional>

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

// What the reader takes apart in an INI line; a text that would not come
// back as it stands goes out quoted.
enum class IniPart : int { Section, Name, Value, Comment };

constexpr wchar_t iniQuote = L'"';

// A part of a line read: its text and the position after it.
struct IniPiece {
    String text;
    int end;
};

// The characters that end or split each part on reading.
const wchar_t* iniBreaks(IniPart part)
{
    switch (part) {
    case IniPart::Section:
        return L"]\r\n";
    case IniPart::Name:
        return L"=\r\n";
    case IniPart::Value:
        return L";\r\n";
    default:
        return L"\r\n";
    }
}

// The reader trims white space, takes a leading quote as quoting, and skips
// an empty section or name and a name that does not start with a letter or
// digit.
bool needsIniQuotes(const String& text, IniPart part)
{
    if (text.isEmpty())
        return part == IniPart::Section || part == IniPart::Name;
    if (text.first() == iniQuote || isSpaceChar(text.first()) || isSpaceChar(text.last()))
        return true;
    if (part == IniPart::Name && !isAlnumChar(text.first()))
        return true;
    for (const wchar_t* c = iniBreaks(part); *c; ++c) {
        if (text.contains(*c))
            return true;
    }
    return false;
}

// Quoted, with '\' before '\' and the quote, and line ends as \r and \n.
String iniText(const String& text, IniPart part)
{
    if (!needsIniQuotes(text, part))
        return text;
    String out;
    out.append(iniQuote);
    for (int i = 0; i < text.length(); ++i) {
        const wchar_t c = text.at(i);
        if (c == L'\\' || c == iniQuote)
            out.append(L'\\').append(c);
        else if (c == L'\r')
            out.append(L"\\r");
        else if (c == L'\n')
            out.append(L"\\n");
        else
            out.append(c);
    }
    return out.append(iniQuote);
}

int skipIniSpaces(const String& line, int from)
{
    while (from < line.length() && isSpaceChar(line.at(from)))
        ++from;
    return from;
}

bool isIniCharAt(const String& line, int at, wchar_t c)
{
    return at < line.length() && line.at(at) == c;
}

wchar_t unescapedIniChar(wchar_t c)
{
    if (c == L'r')
        return L'\r';
    return c == L'n' ? L'\n' : c;
}

// The quoted text that starts after white space at the position; none
// without an opening or a closing quote.
std::optional<IniPiece> quotedIniText(const String& line, int from)
{
    const int start = skipIniSpaces(line, from);
    if (!isIniCharAt(line, start, iniQuote))
        return std::nullopt;
    String text;
    for (int i = start + 1; i < line.length(); ++i) {
        const wchar_t c = line.at(i);
        if (c == iniQuote)
            return IniPiece{text, i + 1};
        if (c == L'\\' && ++i < line.length())
            text.append(unescapedIniChar(line.at(i)));
        else if (c != L'\\')
            text.append(c);
    }
    return std::nullopt;
}

// The section of a header line: a quoted text closed by ']', else the
// trimmed text between '[' and the first ']'. None, which also disables the
// lines that follow, when that is empty or there is no ']'.
std::optional<String> iniSection(const String& line)
{
    const std::optional<IniPiece> quoted = quotedIniText(line, 1);
    if (quoted && isIniCharAt(line, skipIniSpaces(line, quoted->end), L']'))
        return quoted->text;
    const int close = line.indexOf(L']');
    const String section = close < 0 ? String() : line.mid(1, close - 1).trimmed();
    if (section.isEmpty())
        return std::nullopt;
    return section;
}

bool isIniEntryLine(const String& line)
{
    return line.first() == iniQuote || (!line.startsWith(L';') && isAlnumChar(line.first()));
}

// The name and the position after its '=': a quoted name, or the trimmed
// text before the first '='.
std::optional<IniPiece> iniName(const String& line)
{
    if (line.first() == iniQuote) {
        const std::optional<IniPiece> quoted = quotedIniText(line, 0);
        if (!quoted)
            return std::nullopt;
        const int equals = skipIniSpaces(line, quoted->end);
        if (!isIniCharAt(line, equals, L'='))
            return std::nullopt;
        return IniPiece{quoted->text, equals + 1};
    }
    const int equals = line.indexOf(L'=');
    const String name = equals < 0 ? String() : line.mid(0, equals).trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return IniPiece{name, equals + 1};
}

String iniComment(const String& text)
{
    const String trimmed = text.trimmed();
    const std::optional<IniPiece> quoted = quotedIniText(trimmed, 0);
    return quoted && quoted->end == trimmed.length() ? quoted->text : trimmed;
}

struct IniValue {
    String text;
    String comment;
};

// A quoted value followed by nothing or a comment; otherwise the trimmed
// text, cut at the first ';', where the comment starts.
IniValue iniValue(const String& line, int from)
{
    const std::optional<IniPiece> quoted = quotedIniText(line, from);
    const String rest = quoted ? line.mid(quoted->end).trimmed() : String();
    if (quoted && rest.isEmpty())
        return {quoted->text, String()};
    if (quoted && rest.first() == L';')
        return {quoted->text, iniComment(rest.mid(1))};
    const String value = line.mid(from).trimmed();
    const int semicolon = value.indexOf(L';');
    if (semicolon < 0)
        return {value, String()};
    return {value.mid(0, semicolon).trimmed(), iniComment(value.mid(semicolon + 1))};
}

void addIniEntry(Settings& settings, const String& section, const String& line)
{
    const std::optional<IniPiece> name = iniName(line);
    if (!name)
        return;
    const IniValue value = iniValue(line, name->end);
    settings.addEntry(section + L'/' + name->text, Value(value.text), value.comment);
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

// The store's comment, which heads the file unread: every line of it a
// comment line, cleaned as keys are. Written as it stood, a line break in
// it let what followed read as sections and entries, and a U+0000 cut the
// file short.
String iniHeader(const String& comment, const String& lineEnd)
{
    const String cleaned = storedText(Value(comment)).replace(L"\r\n", L"\n").replaceChar(L'\r', L'\n');
    String out;
    for (const String& line : String::split(cleaned, L"\n")) {
        if (!line.isEmpty() && !line.startsWith(L';'))
            out.append(L';');
        out.append(line).append(lineEnd);
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
    std::optional<String> section;
    for (const String& untrimmed : lines) {
        const String line = untrimmed.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(L'[')) {
            section = iniSection(line);
            continue;
        }
        if (section && isIniEntryLine(line))
            addIniEntry(settings, *section, line);
    }
    return true;
}

// Keys without '/' have no section to go in and would read back under the
// section before them, so they are not written. Keys and comments are
// cleaned as values are.
String iniSettingsText(const Settings& settings)
{
    const String& lineEnd = String::lineBreak();
    String text = iniHeader(settings.comment(), lineEnd);
    std::optional<String> previousSection;
    for (const SettingsEntry* entry : settings.entries()) {
        if (entry->key.lastIndexOf(L'/') < 0)
            continue;
        const KeyParts parts = splitKey(storedText(Value(entry->key)));
        if (previousSection != parts.group)
            text += lineEnd + L'[' + iniText(parts.group, IniPart::Section) + L']' + lineEnd;
        previousSection = parts.group;
        text += iniText(parts.name, IniPart::Name) + L'=' + iniText(storedText(entry->value), IniPart::Value);
        if (!entry->comment.isEmpty())
            text += L" ;" + iniText(storedText(Value(entry->comment)), IniPart::Comment);
        text += lineEnd;
    }
    return text;
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

// Keys without '/' have no group to go in, so they are not written. A key
// is cleaned as a value is: a group or name holding U+0000 made the whole
// file unreadable.
std::optional<String> xmlSettingsText(const Settings& settings)
{
    XmlDocument document;
    XmlElement* groups = document.root().addChild(L"groups");
    XmlElement* current = nullptr;
    for (const SettingsEntry* entry : settings.entries()) {
        if (entry->key.lastIndexOf(L'/') < 0)
            continue;
        const KeyParts parts = splitKey(storedText(Value(entry->key)));
        if (!current || current->attribute(L"name") != parts.group) {
            current = groups->addChild(L"group");
            current->addAttribute(L"name", parts.group);
        }
        XmlElement* item = current->addChild(L"item");
        item->addAttribute(L"name", parts.name);
        item->addAttribute(L"value", storedText(entry->value));
    }
    return XmlWriter(&document).fileText(TextUtf8);
}
