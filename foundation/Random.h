#pragma once

#include <cstdint>

// Random numbers over the C library's rand() (0..32767), not seeded here.
int randomInt(int lo, int hi);
std::int64_t randomInt64(std::int64_t lo, std::int64_t hi);
float randomFloat(float lo, float hi);
double randomDouble(double lo, double hi);
// One step of the 48-bit linear congruential generator; its top bit.
bool randomBit();
// Seeds the generator behind randomBit.
void seedRandomBit(std::uint64_t seed);
