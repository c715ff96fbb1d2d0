#include "graphics/FontSystem.h"

#include "graphics/Screen.h"

#include <windows.h>

#include <string>
#include <unordered_set>

namespace {

bool smoothText = true;

// Runs one enumeration of the screen's fonts.
void enumerateFonts(const LOGFONTW& pattern, FONTENUMPROCW callback, void* data)
{
    HDC screen = GetDC(nullptr);
    if (!screen)
        return;
    LOGFONTW copy = pattern;
    EnumFontFamiliesExW(screen, &copy, callback, reinterpret_cast<LPARAM>(data), 0);
    ReleaseDC(nullptr, screen);
}

LOGFONTW allFamilies()
{
    LOGFONTW pattern = {};
    pattern.lfCharSet = DEFAULT_CHARSET;
    return pattern;
}

// The family list as it is built: names in enumeration order, and the same
// names in a set so that each repeat is found without walking the list.
struct FamilyCollection {
    StringList names;
    std::unordered_set<std::wstring> seen;
};

int CALLBACK collectFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    auto* families = reinterpret_cast<FamilyCollection*>(data);
    if (families->seen.insert(font->lfFaceName).second)
        families->names.append(String(font->lfFaceName));
    return 1;
}

StringList installedFamilies()
{
    FamilyCollection families;
    enumerateFonts(allFamilies(), collectFamily, &families);
    families.names.sort(1);
    return families.names;
}

struct FamilySearch {
    const String* face = nullptr;
    bool found = false;
};

int CALLBACK findFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    auto* search = reinterpret_cast<FamilySearch*>(data);
    search->found = *search->face == String(font->lfFaceName);
    return search->found ? 0 : 1;
}

struct SizeCollection {
    const String* face = nullptr;
    int dpi = 0;
    Array<int>* sizes = nullptr;
};

int CALLBACK collectSize(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM data)
{
    auto* collection = reinterpret_cast<SizeCollection*>(data);
    if (!String::equalsIgnoreCase(*collection->face, String(font->lfFaceName)))
        return 1;
    const int size = font->lfHeight * 72 / collection->dpi;
    if (!collection->sizes->contains(size))
        collection->sizes->append(size);
    return 1;
}

} // namespace

bool isSmoothTextEnabled()
{
    return smoothText;
}

void setSmoothTextEnabled(bool enabled)
{
    smoothText = enabled;
}

bool isFontInstalled(const String& face)
{
    FamilySearch search{&face};
    enumerateFonts(allFamilies(), findFamily, &search);
    return search.found;
}

const StringList& fontFamilies()
{
    static const StringList families = installedFamilies();
    return families;
}

void fontSizes(Array<int>& out, const String& face)
{
    out.clear();
    SizeCollection collection{&face, static_cast<int>(Screen::dpiY()), &out};
    if (collection.dpi <= 0)
        return;
    LOGFONTW pattern = allFamilies();
    copyFaceName(pattern.lfFaceName, face);
    enumerateFonts(pattern, collectSize, &collection);
}

void copyFaceName(wchar_t (&field)[32], const String& face)
{
    const int count = face.length() < 31 ? face.length() : 31;
    for (int i = 0; i < count; ++i)
        field[i] = face.at(i);
    field[count] = 0;
}
