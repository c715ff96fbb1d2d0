#include "foundation/Translator.h"

#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"

namespace {

bool mayNeedEscapes(const String& text)
{
    return text.contains(L'\\') || text.contains(L'|') || text.contains(L'%');
}

// Loading applied the escape rules to the translation; the source stays as
// stored.
String translationOf(const TranslationItem& item)
{
    return item.translation.isEmpty() ? item.source : item.translation;
}

} // namespace

String applyTranslationEscapes(const String& text, const String& productName)
{
    if (!mayNeedEscapes(text))
        return text;
    return text.replaceAll(Translator::escapeFind(), Translator::escapeReplace(productName));
}

const StringList& Translator::escapeFind()
{
    static const StringList find = [] {
        StringList list;
        for (const wchar_t* text : {L"\\r", L"\\t", L"\\n", L"|", L"%app"})
            list.append(String(text));
        return list;
    }();
    return find;
}

StringList Translator::escapeReplace(const String& productName)
{
    StringList list;
    list.append(String());
    list.append(String());
    list.append(String(L"\n"));
    list.append(String(L"\n"));
    list.append(productName);
    return list;
}

Translator::Translator(const String& productName) : m_file(std::make_unique<TranslationFile>(productName)) {}

Translator::~Translator() = default;

bool Translator::load(const String& path)
{
    return m_file->load(path);
}

bool Translator::loadFromMemory(const void* data, std::uint64_t size)
{
    return m_file->loadFromMemory(data, size);
}

void Translator::clear()
{
    m_file->clear();
}

String Translator::translateText(const wchar_t* text, const wchar_t* context) const
{
    if (!text)
        return String();
    if (const TranslationItem* item = m_file->findText(text, context))
        return translationOf(*item);
    return applyTranslationEscapes(String(text), m_file->productName());
}

String Translator::translateText(const String& text, const String& context) const
{
    return translateText(text.c_str(), context.isEmpty() ? nullptr : context.c_str());
}

String Translator::translateByHash(std::uint32_t low, std::uint32_t high) const
{
    const TranslationItem* item = m_file->findHash(std::uint64_t(high) << 32 | low);
    return item ? translationOf(*item) : String();
}

LanguageInfo Translator::readLanguageInfo(const String& path)
{
    if (!fileExists(path))
        return LanguageInfo();
    TranslationFile file;
    if (!file.load(path))
        return LanguageInfo();
    LanguageInfo info = file.header();
    info.modified = DateTime::fileDateTime(path, DateTime::LastWriteTime, false);
    return info;
}

String Translator::chooseLanguageFile(const String& xmlPath, const String& langPath)
{
    const bool hasXml = fileExists(xmlPath);
    const bool hasLang = fileExists(langPath);
    if (!hasXml)
        return hasLang ? langPath : String();
    if (!hasLang)
        return xmlPath;
    const DateTime xmlTime = DateTime::fileDateTime(xmlPath, DateTime::LastWriteTime, false);
    const DateTime langTime = DateTime::fileDateTime(langPath, DateTime::LastWriteTime, false);
    return xmlTime > langTime ? xmlPath : langPath;
}
