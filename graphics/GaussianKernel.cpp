#include "graphics/GaussianKernel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int samplesPerTap = 50;
constexpr float sampleStep = 0.02f;

float gaussian(float x, float sigma)
{
    return std::exp(-(x * x) / (2 * sigma * sigma));
}

// The mean over the tap's pixel, cut off beyond two sigma.
float outerTap(int distance, float sigma)
{
    float sum = 0;
    for (int k = 1; k <= samplesPerTap; ++k) {
        float x = float(distance) - 0.5f + sampleStep * float(k);
        if (x <= 2 * sigma)
            sum += gaussian(x, sigma);
    }
    return sum / samplesPerTap;
}

// Samples the interval of the tap after the centre (from +0.5, without the
// cut-off), which keeps the centre weight the blur has always had.
float centreTap(float sigma)
{
    float sum = 0;
    for (int k = 0; k <= samplesPerTap; ++k)
        sum += gaussian(0.5f + sampleStep * float(k), sigma);
    return sum / (samplesPerTap + 1);
}

std::uint8_t toChannel(double value)
{
    return std::uint8_t(std::clamp(std::trunc(value + 0.5), 0.0, 255.0));
}

} // namespace

GaussianKernel makeGaussianKernel(float radius, int maxHalf)
{
    GaussianKernel kernel;
    if (!std::isfinite(radius))
        return kernel;
    float sigma = std::fabs(radius * 0.5f) + 0.25f;
    double half = std::max(0.0, std::ceil(double(2 * sigma - 0.5f)));
    kernel.half = int(std::min(half, double(std::max(0, maxHalf))));
    int n = 2 * kernel.half + 1;
    kernel.taps.resize(std::size_t(n));
    for (int j = kernel.half + 1; j < n; ++j) {
        float tap = outerTap(j - kernel.half, sigma);
        kernel.taps[std::size_t(j)] = tap;
        kernel.taps[std::size_t(n - 1 - j)] = tap;
    }
    kernel.taps[std::size_t(kernel.half)] = centreTap(sigma);
    float total = 0;
    for (float tap : kernel.taps)
        total += tap;
    for (float& tap : kernel.taps)
        tap /= total;
    kernel.table.resize(std::size_t(n) * 256);
    for (int j = 0; j < n; ++j) {
        for (int v = 0; v < 256; ++v)
            kernel.table[std::size_t(j) * 256 + std::size_t(v)] = float(v) * kernel.taps[std::size_t(j)];
    }
    return kernel;
}

void convolveLine(const std::uint8_t* in, std::uint8_t* out, int channels, int length,
                  const GaussianKernel& kernel)
{
    int n = int(kernel.taps.size());
    int half = kernel.half;
    for (int i = 0; i < length; ++i) {
        bool interior = n <= length && half <= i && i < length - half;
        int first = i - half;
        for (int c = 0; c < channels; ++c) {
            std::uint8_t* target = out + std::size_t(i) * std::size_t(channels) + std::size_t(c);
            if (interior) {
                float sum = 0;
                for (int j = 0; j < n; ++j)
                    sum += kernel.table[std::size_t(j) * 256 + in[std::size_t(first + j) * std::size_t(channels) + std::size_t(c)]];
                *target = toChannel(sum);
                continue;
            }
            float sum = 0;
            float weight = 0;
            for (int j = std::max(0, -first); j < n && first + j < length; ++j) {
                sum += kernel.taps[std::size_t(j)] * float(in[std::size_t(first + j) * std::size_t(channels) + std::size_t(c)]);
                weight += kernel.taps[std::size_t(j)];
            }
            *target = toChannel(double(sum / weight));
        }
    }
}
