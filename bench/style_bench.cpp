// Measures the start-up load of the "white" style the build packs beside
// the program: the first load (cold) and the best of twenty. Target: at
// most 30 ms. Images and skins decode when first asked for, so the load
// and the decoding of every one of them are timed as well.
#include "BenchTiming.h"

#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"

#include <algorithm>
#include <cstdio>

namespace {

void decodeAll(const UITheme& theme)
{
    for (int id = ImageDialogHelpButton; id <= ImageFocus; ++id)
        theme.image(id);
    for (int i = 0; i < theme.skinCount(); ++i)
        theme.skinAt(i);
}

double timedLoad(const String& path, bool& loaded, bool decodeEverything)
{
    const auto start = bench::Clock::now();
    UITheme theme;
    loaded = theme.load(path);
    if (decodeEverything)
        decodeAll(theme);
    return bench::millisecondsSince(start);
}

void report(const String& path, bool decodeEverything, bool& loaded)
{
    const double first = timedLoad(path, loaded, decodeEverything);
    double best = first;
    for (int run = 0; run < 20 && loaded; ++run)
        best = std::min(best, timedLoad(path, loaded, decodeEverything));
    printf("white.style %ls: first %.2f ms, best of 20 %.2f ms\n",
           decodeEverything ? L"load and decode of every image and skin" : L"load", first, best);
}

} // namespace

int main()
{
    Application application(L"KestrolaStyleBench", L"1.0");
    UIManager::instance();
    const String path = application.applicationDirectory() + L"\\..\\white.style";
    bool loaded = false;
    report(path, false, loaded);
    report(path, true, loaded);
    printf("target: load <= 30 ms; loaded: %s\n", loaded ? "yes" : "NO");
    return loaded ? 0 : 1;
}
