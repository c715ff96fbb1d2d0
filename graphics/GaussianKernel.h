#pragma once

#include <cstdint>
#include <vector>

// The pieces of Bitmap::gaussianBlur, one line at a time.
struct GaussianKernel {
    // An odd number of taps summing to 1, symmetric about taps[half].
    std::vector<float> taps;
    int half = 0;
    // taps.size() x 256 products: table[j * 256 + v] = v x taps[j], so the
    // interior of a line needs no multiplication.
    std::vector<float> table;
};

// sigma = |radius / 2| + 0.25, each tap the mean of the Gaussian over its
// pixel. half is capped at maxHalf: taps further out than the longest line
// would never be read. A radius that is not finite gives no taps.
GaussianKernel makeGaussianKernel(float radius, int maxHalf);

// Convolves length positions of channels interleaved bytes from in into
// out. Near the ends (or everywhere, when the kernel is longer than the
// line) only the taps inside the line count, renormalised.
void convolveLine(const std::uint8_t* in, std::uint8_t* out, int channels, int length,
                  const GaussianKernel& kernel);
