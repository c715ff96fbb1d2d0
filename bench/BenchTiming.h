#pragma once

// Timing and the one-line report shared by the benchmark programs.

#include <chrono>
#include <cstdio>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The mean time of one run of work (called with the run's number).
template <typename Work>
double timeEach(int times, Work work)
{
    const auto start = Clock::now();
    for (int i = 0; i < times; ++i)
        work(i);
    return millisecondsSince(start) / times;
}

// Milliseconds one run of the work takes.
template <typename Work>
double timeOf(Work work)
{
    const Clock::time_point start = Clock::now();
    work();
    return millisecondsSince(start);
}

// The indexed figure against the walk it replaces, and whether every answer
// was the same.
inline void printComparison(const char* what, int size, int operations, double fastMs, double slowMs, bool same)
{
    printf("%-34s %6d x %6d: %9.2f ms, walk %10.2f ms, ratio %8.1f, same results: %s\n", what, size, operations,
           fastMs, slowMs, slowMs / (fastMs > 0 ? fastMs : 0.001), same ? "yes" : "NO");
}

} // namespace bench
