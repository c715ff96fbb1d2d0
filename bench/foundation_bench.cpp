// Measures the list operations that people with large libraries hit: sorting
// and de-duplicating thousands of names, and a loop of searches ignoring case
// over a long text. Each is compared with the algorithm it replaces, and the
// results are checked to be identical.
#include "bench/BenchTiming.h"
#include "foundation/CharHelpers.h"
#include "foundation/StringList.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

StringList makeNames(int count, int distinct)
{
    StringList names;
    srand(7);
    for (int i = 0; i < count; ++i) {
        const int n = rand() % distinct;
        String name = String::format(L"%s%d", (n & 1) ? L"Tag" : L"tag", n);
        names.append(name);
    }
    return names;
}

// The adjacent-swap sort: count passes from the tail towards the head.
void bubbleSort(StringList& list)
{
    const int n = list.count();
    for (int pass = 0; pass < n; ++pass) {
        auto* later = list.last();
        for (int pair = 0; pair < n - 1 - pass && later->prev; ++pair) {
            auto* earlier = later->prev;
            if (wcsCompareNoCase(earlier->value.constData(), later->value.constData()) == 1)
                list.swapNodes(earlier, later);
            else
                later = earlier;
        }
    }
}

int pairwiseRemoveDuplicates(StringList& list)
{
    int removed = 0;
    for (auto* keep = list.first(); keep; keep = keep->next) {
        auto* other = keep->next;
        while (other) {
            if (other->value == keep->value) {
                list.removeNode(other);
                ++removed;
            } else {
                other = other->next;
            }
        }
    }
    return removed;
}

bool sameOrder(const StringList& a, const StringList& b)
{
    if (a.count() != b.count())
        return false;
    for (auto *x = a.first(), *y = b.first(); x; x = x->next, y = y->next) {
        if (x->value != y->value)
            return false;
    }
    return true;
}

void benchSort(int count)
{
    StringList fast = makeNames(count, count);
    StringList slow = fast;
    auto start = Clock::now();
    fast.sort(1);
    const double fastMs = millisecondsSince(start);
    start = Clock::now();
    bubbleSort(slow);
    const double slowMs = millisecondsSince(start);
    printf("sort %6d names: %9.2f ms, pairwise %10.2f ms, ratio %7.1f, same order: %s\n", count, fastMs, slowMs,
           slowMs / (fastMs > 0 ? fastMs : 0.001), sameOrder(fast, slow) ? "yes" : "NO");
}

void benchRemoveDuplicates(int count)
{
    StringList fast = makeNames(count, count / 4 + 1);
    StringList slow = fast;
    auto start = Clock::now();
    const int removedFast = fast.removeDuplicates();
    const double fastMs = millisecondsSince(start);
    start = Clock::now();
    const int removedSlow = pairwiseRemoveDuplicates(slow);
    const double slowMs = millisecondsSince(start);
    printf("removeDuplicates %6d names: %9.2f ms, pairwise %10.2f ms, ratio %7.1f, same result: %s\n", count, fastMs,
           slowMs, slowMs / (fastMs > 0 ? fastMs : 0.001),
           removedFast == removedSlow && sameOrder(fast, slow) ? "yes" : "NO");
}

// Every match of a needle, one search after another, as callers walk a text.
template <typename Search>
int countBySearching(Search search)
{
    int matches = 0;
    for (int pos = search(0); pos != -1; pos = search(pos + 1))
        ++matches;
    return matches;
}

// A long text of names, one in about ten spelled like the needle in some case.
String makeLongText(int names)
{
    srand(11);
    String text;
    for (int i = 0; i < names; ++i)
        text.append(String::format(L"%s%d \u00C9t\u00E9 ", rand() % 10 ? L"Name" : L"tAg", rand() % 1000));
    return text;
}

void benchSearchIgnoringCase(int names)
{
    const String text = makeLongText(names);
    const String needle(L"TAG");
    auto start = bench::Clock::now();
    const int fast = countBySearching([&](int from) { return text.indexOf(needle, from, false); });
    const double fastMs = bench::millisecondsSince(start);
    start = bench::Clock::now();
    // What each search cost before: both texts lowered whole, then an exact search.
    const int slow = countBySearching(
        [&](int from) { return text.toLower().indexOf(needle.toLower(), from, true); });
    const double slowMs = bench::millisecondsSince(start);
    bench::printComparison("indexOf ignoring case, every match", text.length(), fast, fastMs, slowMs, fast == slow);
}

} // namespace

int main()
{
    for (int count : {1000, 4000, 10000}) {
        benchSort(count);
        benchRemoveDuplicates(count);
    }
    // The first search ignoring case builds the platform's unit table once;
    // keep that out of the figures.
    String(L"a").indexOf(String(L"A"), 0, false);
    for (int names : {2000, 4000, 8000, 16000})
        benchSearchIgnoringCase(names);
    return 0;
}
