// Measures the start-up load of the "white" style the build packs beside
// the program: the first load (cold) and the best of twenty. Target: at
// most 30 ms.
#include "BenchTiming.h"

#include "foundation/Application.h"
#include "ui/UIManager.h"
#include "ui/UITheme.h"

#include <algorithm>
#include <cstdio>

namespace {

double timedLoad(const String& path, bool& loaded)
{
    const auto start = bench::Clock::now();
    UITheme theme;
    loaded = theme.load(path);
    return bench::millisecondsSince(start);
}

} // namespace

int main()
{
    Application application(L"KestrolaStyleBench", L"1.0");
    UIManager::instance();
    const String path = application.applicationDirectory() + L"\\..\\white.style";
    bool loaded = false;
    const double first = timedLoad(path, loaded);
    double best = first;
    for (int run = 0; run < 20 && loaded; ++run)
        best = std::min(best, timedLoad(path, loaded));
    printf("white.style load: first %.2f ms, best of 20 %.2f ms (target <= 30), loaded: %s\n", first, best,
           loaded ? "yes" : "NO");
    return loaded ? 0 : 1;
}
