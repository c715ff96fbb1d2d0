// Measures the translation lookups that every user-visible text goes
// through, by text and context or by hash, and building a file item by
// item. Each is compared with the walk over the items in file order that it
// replaces, and the answers are checked to be identical.
#include "bench/BenchTiming.h"
#include "foundation/CharHelpers.h"
#include "foundation/Translator.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace bench;

namespace {

// A source appears in about three contexts, as "Open" or "Cancel" do in
// many windows.
int distinctSources(int itemCount)
{
    return itemCount / 3 + 1;
}

String sourceText(int n)
{
    return String::format(L"Source text number %d", n);
}

String itemSource(int i, int itemCount)
{
    return sourceText(i % distinctSources(itemCount));
}

String itemContext(int i)
{
    return String::format(L"Window%d/Group%d", i % 40, i % 7);
}

struct Query {
    String text;
    String context;
};

// About one text in ten has no item; half the queries give a context,
// which often names a window the text is not in.
std::vector<Query> makeQueries(int itemCount, int count)
{
    std::vector<Query> queries;
    srand(11);
    for (int i = 0; i < count; ++i) {
        const int distinct = distinctSources(itemCount);
        const String text = sourceText(rand() % (distinct + distinct / 10));
        const bool withContext = rand() % 2 == 0;
        queries.push_back({text, withContext ? itemContext(rand() % itemCount) : String()});
    }
    return queries;
}

// The lookups as they were: the first item in file order, texts compared as
// zero-terminated strings.
String walkTranslateText(const TranslationFile& file, const wchar_t* text, const wchar_t* context)
{
    if (!text)
        return String();
    for (const TranslationItem* item : file.items()) {
        if (wcsCompare(item->source.c_str(), text) != 0)
            continue;
        if (context && wcsCompare(item->context.c_str(), context) != 0)
            continue;
        return item->translation.isEmpty() ? item->source : item->translation;
    }
    return applyTranslationEscapes(String(text), file.productName());
}

String walkTranslateByHash(const TranslationFile& file, std::uint64_t hash)
{
    for (const TranslationItem* item : file.items()) {
        if (item->hash == hash)
            return item->translation.isEmpty() ? item->source : item->translation;
    }
    return String();
}

String itemTranslation(int i)
{
    // Every seventh item is untranslated and answers with its source.
    return i % 7 == 0 ? String() : String::format(L"Translation %d", i);
}

bool sameItems(const TranslationFile& file, const std::vector<TranslationItem>& plain)
{
    if (file.items().count() != static_cast<int>(plain.size()))
        return false;
    auto* node = file.items().first();
    for (const TranslationItem& item : plain) {
        if (node->value->source != item.source || node->value->context != item.context)
            return false;
        node = node->next;
    }
    return true;
}

// A language tool adds items one by one, refusing a context and source that
// exist; the walk stands in for the check per item it used to make.
void benchAddItems(TranslationFile& file, int itemCount)
{
    auto start = Clock::now();
    for (int i = 0; i < itemCount; ++i)
        file.addItem(itemContext(i), itemSource(i, itemCount), itemTranslation(i));
    const double fastMs = millisecondsSince(start);

    std::vector<TranslationItem> plain;
    start = Clock::now();
    for (int i = 0; i < itemCount; ++i) {
        const String context = itemContext(i);
        const String source = itemSource(i, itemCount);
        bool exists = false;
        for (const TranslationItem& item : plain) {
            if (item.context == context && item.source == source) {
                exists = true;
                break;
            }
        }
        if (!exists)
            plain.push_back({context, source, itemTranslation(i), 0});
    }
    const double slowMs = millisecondsSince(start);
    printComparison("addItem", itemCount, itemCount, fastMs, slowMs, sameItems(file, plain));
}

void benchTranslateText(const Translator& translator, const std::vector<Query>& queries)
{
    std::vector<String> fast;
    fast.reserve(queries.size());
    auto start = Clock::now();
    for (const Query& query : queries)
        fast.push_back(translator.translateText(query.text, query.context));
    const double fastMs = millisecondsSince(start);

    std::vector<String> slow;
    slow.reserve(queries.size());
    start = Clock::now();
    for (const Query& query : queries) {
        const wchar_t* context = query.context.isEmpty() ? nullptr : query.context.c_str();
        slow.push_back(walkTranslateText(translator.file(), query.text.c_str(), context));
    }
    const double slowMs = millisecondsSince(start);
    printComparison("translateText", translator.file().items().count(), static_cast<int>(queries.size()), fastMs,
                    slowMs, fast == slow);
}

void benchTranslateByHash(const Translator& translator, const std::vector<Query>& queries)
{
    std::vector<std::uint64_t> hashes;
    for (const Query& query : queries)
        hashes.push_back((query.text + query.context).hash());

    std::vector<String> fast;
    fast.reserve(hashes.size());
    auto start = Clock::now();
    for (std::uint64_t hash : hashes) {
        const auto low = static_cast<std::uint32_t>(hash);
        fast.push_back(translator.translateByHash(low, static_cast<std::uint32_t>(hash >> 32)));
    }
    const double fastMs = millisecondsSince(start);

    std::vector<String> slow;
    slow.reserve(hashes.size());
    start = Clock::now();
    for (std::uint64_t hash : hashes)
        slow.push_back(walkTranslateByHash(translator.file(), hash));
    const double slowMs = millisecondsSince(start);
    printComparison("translateByHash", translator.file().items().count(), static_cast<int>(hashes.size()), fastMs,
                    slowMs, fast == slow);
}

int countMatches(const std::vector<Query>& queries, const Translator& translator)
{
    int matches = 0;
    for (const Query& query : queries) {
        const wchar_t* context = query.context.isEmpty() ? nullptr : query.context.c_str();
        matches += translator.file().findText(query.text.c_str(), context) != nullptr;
    }
    return matches;
}

void benchTranslator(int itemCount, int queryCount)
{
    Translator translator(String(L"Kestrola"));
    benchAddItems(translator.file(), itemCount);
    const std::vector<Query> queries = makeQueries(itemCount, queryCount);
    benchTranslateText(translator, queries);
    benchTranslateByHash(translator, queries);
    printf("  (%d of %d texts have an item)\n", countMatches(queries, translator), queryCount);
}

} // namespace

int main()
{
    for (int itemCount : {1000, 5000, 20000})
        benchTranslator(itemCount, 20000);
    return 0;
}
