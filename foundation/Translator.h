#pragma once

#include "foundation/LanguageInfo.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "foundation/TranslationFile.h"

#include <cstdint>
#include <memory>

// Escape rules of user-visible texts, applied in this order over the whole
// text, case-sensitive: the two-character sequences backslash-r and
// backslash-t are removed, backslash-n and "|" become line feeds, "%app"
// becomes the product name. Real carriage returns and tabs stay.
String applyTranslationEscapes(const String& text, const String& productName);

// Owns one loaded language file and answers lookups of English texts.
class Translator {
public:
    // The product name replaces "%app" in translations and fallbacks.
    explicit Translator(const String& productName = String());
    ~Translator();
    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;

    bool load(const String& path);
    // The ".lang" form from bytes; path and name stay empty.
    bool loadFromMemory(const void* data, std::uint64_t size);
    void clear();
    bool isEmpty() const { return m_file->isEmpty(); }

    TranslationFile& file() { return *m_file; }
    const TranslationFile& file() const { return *m_file; }
    const String& path() const { return m_file->path(); }
    const String& englishName() const { return m_file->englishName(); }
    const String& nativeName() const { return m_file->nativeName(); }
    const String& author() const { return m_file->author(); }
    const DateTime& date() const { return m_file->date(); }

    // The first item, in file order, whose source equals the text and,
    // when a context is given, whose context equals it (both exactly). Its
    // translation, or its source as stored when the translation is empty.
    // Without a match, the text with the escape rules applied. A null text
    // gives the empty String.
    String translateText(const wchar_t* text, const wchar_t* context = nullptr) const;
    // The same; an empty context means none.
    String translateText(const String& text, const String& context) const;
    // By String::hash of source followed by context, given as two halves;
    // the empty String when no item has it.
    String translateByHash(std::uint32_t low, std::uint32_t high) const;

    // The two lists behind applyTranslationEscapes.
    static const StringList& escapeFind();
    static StringList escapeReplace(const String& productName);

    // The header of a language file, with modified set to its last write
    // time in UTC; an empty record when the file is missing or fails to load.
    static LanguageInfo readLanguageInfo(const String& path);
    // Of a language's ".xml" and ".lang" files, the one that exists, or
    // when both do the one written later (the ".lang" file on a tie); empty
    // when neither exists.
    static String chooseLanguageFile(const String& xmlPath, const String& langPath);

private:
    std::unique_ptr<TranslationFile> m_file;
};
