// Measures the settings lookups by key and by key hash, and the start-up
// pattern of registering each default the file did not have. Each is
// compared with the walk over the entries in registration order that it
// replaces, and the answers are checked to be identical.
#include "bench/BenchTiming.h"
#include "foundation/Settings.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace bench;

namespace {

String settingKey(int n)
{
    return String::format(L"Group%d/setting number %d", n % 25, n);
}

Settings makeStore()
{
    return Settings(String(L"bench.config"), String(), Settings::NoLocation, Settings::NoFormat);
}

// The lookups as they were: the first entry in registration order.
const SettingsEntry* walkEntry(const Settings& settings, const String& key)
{
    for (const SettingsEntry* entry : settings.entries()) {
        if (entry->key == key)
            return entry;
    }
    return nullptr;
}

std::int32_t walkValueByHash(const Settings& settings, std::uint64_t hash)
{
    for (const SettingsEntry* entry : settings.entries()) {
        if (entry->key.hash() == hash)
            return entry->value.toInt();
    }
    return -1;
}

bool sameEntries(const Settings& a, const Settings& b)
{
    if (a.count() != b.count())
        return false;
    for (auto *x = a.entries().first(), *y = b.entries().first(); x; x = x->next, y = y->next) {
        if (x->value->key != y->value->key || x->value->value.toInt() != y->value->value.toInt())
            return false;
    }
    return true;
}

// Half the keys come from the file; each default is registered unless the
// store already has it.
void benchRegisterDefaults(int entryCount)
{
    Settings fast = makeStore();
    Settings slow = makeStore();
    for (int n = 0; n < entryCount; n += 2) {
        fast.addEntry(settingKey(n), Value(n));
        slow.addEntry(settingKey(n), Value(n));
    }
    auto start = Clock::now();
    for (int n = 0; n < entryCount; ++n) {
        const String key = settingKey(n);
        if (!fast.contains(key))
            fast.addEntry(key, Value(-n));
    }
    const double fastMs = millisecondsSince(start);
    start = Clock::now();
    for (int n = 0; n < entryCount; ++n) {
        const String key = settingKey(n);
        if (!walkEntry(slow, key))
            slow.addEntry(key, Value(-n));
    }
    const double slowMs = millisecondsSince(start);
    printComparison("register unless present", entryCount, entryCount, fastMs, slowMs, sameEntries(fast, slow));
}

// One key in five is registered twice, and one asked for in eleven is not
// registered at all.
void benchLookups(int entryCount, int queryCount)
{
    Settings settings = makeStore();
    for (int n = 0; n < entryCount; ++n)
        settings.addEntry(settingKey(n % (entryCount - entryCount / 5)), Value(n));
    std::vector<String> keys;
    srand(13);
    for (int i = 0; i < queryCount; ++i)
        keys.push_back(settingKey(rand() % (entryCount - entryCount / 5 + entryCount / 10)));

    std::vector<const SettingsEntry*> fast;
    auto start = Clock::now();
    for (const String& key : keys)
        fast.push_back(settings.entry(key));
    double fastMs = millisecondsSince(start);
    std::vector<const SettingsEntry*> slow;
    start = Clock::now();
    for (const String& key : keys)
        slow.push_back(walkEntry(settings, key));
    double slowMs = millisecondsSince(start);
    printComparison("entry by key", entryCount, queryCount, fastMs, slowMs, fast == slow);

    std::vector<std::int32_t> fastValues;
    start = Clock::now();
    for (const String& key : keys)
        fastValues.push_back(settings.valueByHash(key.hash(), Value(-1)).toInt());
    fastMs = millisecondsSince(start);
    std::vector<std::int32_t> slowValues;
    start = Clock::now();
    for (const String& key : keys)
        slowValues.push_back(walkValueByHash(settings, key.hash()));
    slowMs = millisecondsSince(start);
    printComparison("valueByHash", entryCount, queryCount, fastMs, slowMs, fastValues == slowValues);
}

} // namespace

int main()
{
    for (int entryCount : {500, 2000, 5000}) {
        benchRegisterDefaults(entryCount);
        benchLookups(entryCount, 20000);
    }
    return 0;
}
