#include "foundation/Random.h"

#include <cstdlib>

namespace {
// The 48-bit state of randomBit; seeded like the C library's drand48.
std::uint64_t bitState = 0x1234ABCD330EULL;
constexpr std::uint64_t mask48 = (1ULL << 48) - 1;
}

int randomInt(int lo, int hi)
{
    const std::int64_t span = static_cast<std::int64_t>(hi) - lo + 1;
    return static_cast<int>(lo + (static_cast<std::int64_t>(rand()) * span) / 32768);
}

// 128-bit intermediates, so spans near the whole 64-bit range cannot overflow.
std::int64_t randomInt64(std::int64_t lo, std::int64_t hi)
{
    const __int128 span = static_cast<__int128>(hi) - lo + 1;
    return static_cast<std::int64_t>(lo + (rand() * span) / 32768);
}

float randomFloat(float lo, float hi)
{
    return lo + (hi - lo) * static_cast<float>(rand()) * (1.0f / 32768.0f);
}

double randomDouble(double lo, double hi)
{
    return lo + (hi - lo) * static_cast<double>(rand()) * (1.0 / 32768.0);
}

bool randomBit()
{
    bitState = (bitState * 0x5DEECE66DULL + 11) & mask48;
    return (bitState >> 47) & 1;
}

void seedRandomBit(std::uint64_t seed)
{
    bitState = seed & mask48;
}
