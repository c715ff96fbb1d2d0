#include "graphics/Resampler.h"

#include "graphics/Bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr float pi = 3.1415927f;

std::uint8_t toChannel(float sum)
{
    double rounded = std::trunc(double(sum) + 0.5);
    return std::uint8_t(std::clamp(rounded, 0.0, 255.0));
}

} // namespace

float BoxFilter::weight(float x) const
{
    return std::fabs(x) <= support ? 1.0f : 0.0f;
}

MitchellFilter::MitchellFilter(float b, float c)
    : ResampleFilter(2.0f),
      p0((6 - 2 * b) / 6),
      p2((-18 + 12 * b + 6 * c) / 6),
      p3((12 - 9 * b - 6 * c) / 6),
      q0((8 * b + 24 * c) / 6),
      q1((-12 * b - 48 * c) / 6),
      q2((6 * b + 30 * c) / 6),
      q3((-b - 6 * c) / 6)
{
}

float MitchellFilter::weight(float x) const
{
    float t = std::fabs(x);
    if (t < 1)
        return (p3 * t + p2) * t * t + p0;
    if (t < 2)
        return ((q3 * t + q2) * t + q1) * t + q0;
    return 0;
}

float CatmullRomFilter::weight(float x) const
{
    float t = std::fabs(x);
    if (t < 1)
        return (3 * t * t * t - 5 * t * t + 2) / 2;
    if (t < 2)
        return (-t * t * t + 5 * t * t - 8 * t + 4) / 2;
    return 0;
}

float LanczosFilter::weight(float x) const
{
    float t = std::fabs(x);
    return t < support ? sinc(t) * sinc(t / support) : 0.0f;
}

float LanczosFilter::sinc(float x) const
{
    if (x == 0)
        return 1;
    float angle = pi * x;
    return float(std::sin(double(angle)) / angle);
}

std::unique_ptr<ResampleFilter> makeResampleFilter(int mode)
{
    switch (ResampleMode(mode)) {
    case ResampleMode::Box:
        return std::make_unique<BoxFilter>();
    case ResampleMode::Mitchell:
        return std::make_unique<MitchellFilter>();
    case ResampleMode::CatmullRom:
        return std::make_unique<CatmullRomFilter>();
    case ResampleMode::Lanczos:
        return std::make_unique<LanczosFilter>();
    default:
        return nullptr;
    }
}

WeightTable::WeightTable(const ResampleFilter& filter, int destinationLength, int sourceLength)
    : m_lineLength(destinationLength)
{
    float scale = float(destinationLength) / float(sourceLength);
    bool shrinking = scale < 1;
    float width = shrinking ? filter.support / scale : filter.support;
    float fscale = shrinking ? scale : 1.0f;
    m_windowSize = 2 * int(std::ceil(width)) + 1;
    m_left.resize(std::size_t(destinationLength));
    m_right.resize(std::size_t(destinationLength));
    m_weights.assign(std::size_t(destinationLength) * std::size_t(m_windowSize), 0.0f);
    float offset = 0.5f / scale - 0.5f;
    for (int u = 0; u < destinationLength; ++u) {
        float centre = float(u) / scale + offset;
        int left = std::max(0, int(std::floor(centre - width)));
        int right = std::min(int(std::ceil(centre + width)), sourceLength - 1);
        // Rounding can widen the span by one; the left edge gives way.
        if (right - left + 1 > m_windowSize)
            ++left;
        float* weights = &m_weights[std::size_t(u) * std::size_t(m_windowSize)];
        float total = 0;
        for (int i = left; i <= right; ++i) {
            float w = fscale * filter.weight(fscale * (centre - float(i)));
            weights[i - left] = w;
            total += w;
        }
        if (total > 0 && total != 1) {
            for (int i = left; i <= right; ++i)
                weights[i - left] /= total;
        }
        while (right > left && weights[right - left] == 0)
            --right;
        m_left[std::size_t(u)] = left;
        m_right[std::size_t(u)] = right;
    }
}

WeightTable::Entry WeightTable::entry(int u) const
{
    return {m_left[std::size_t(u)], m_right[std::size_t(u)], &m_weights[std::size_t(u) * std::size_t(m_windowSize)]};
}

Bitmap Resampler::scale(const Bitmap& source, int width, int height) const
{
    Bitmap result(width, height, source.hasAlpha());
    if (result.isNull())
        return Bitmap::null();
    // The pass that shrinks more runs first, so the second has less to do.
    bool verticalFirst = std::int64_t(source.height()) * width > std::int64_t(source.width()) * height;
    Bitmap between = verticalFirst ? Bitmap(source.width(), height, source.hasAlpha())
                                   : Bitmap(width, source.height(), source.hasAlpha());
    if (between.isNull())
        return Bitmap::null();
    if (verticalFirst) {
        scaleVertically(source, between);
        scaleHorizontally(between, result);
    } else {
        scaleHorizontally(source, between);
        scaleVertically(between, result);
    }
    return result;
}

void Resampler::scaleHorizontally(const Bitmap& source, Bitmap& destination) const
{
    if (source.width() == destination.width()) {
        std::memcpy(destination.bits(), source.bits(), source.byteCount());
        return;
    }
    WeightTable table(m_filter, destination.width(), source.width());
    int channels = int(source.bytesPerPixel());
    // Each source byte is read by several destination pixels: convert it once.
    std::vector<float> in(std::size_t(source.width()) * std::size_t(channels));
    for (int y = 0; y < destination.height(); ++y) {
        const std::uint8_t* row = source.scanLine(y);
        std::copy(row, row + in.size(), in.begin());
        std::uint8_t* out = destination.scanLine(y);
        for (int u = 0; u < destination.width(); ++u) {
            WeightTable::Entry e = table.entry(u);
            for (int c = 0; c < channels; ++c) {
                float sum = 0;
                for (int i = e.left; i <= e.right; ++i)
                    sum += e.weights[i - e.left] * in[std::size_t(i * channels + c)];
                out[u * channels + c] = toChannel(sum);
            }
        }
    }
}

// Row by row: each destination row accumulates its source rows in the
// order left..right, so every sum is formed in the same order as a column
// walk would, while memory is read along rows.
void Resampler::scaleVertically(const Bitmap& source, Bitmap& destination) const
{
    if (source.height() == destination.height()) {
        std::memcpy(destination.bits(), source.bits(), source.byteCount());
        return;
    }
    WeightTable table(m_filter, destination.height(), source.height());
    std::size_t rowBytes = std::size_t(source.width()) * source.bytesPerPixel();
    std::vector<float> sums(rowBytes);
    for (int v = 0; v < destination.height(); ++v) {
        WeightTable::Entry e = table.entry(v);
        std::fill(sums.begin(), sums.end(), 0.0f);
        for (int i = e.left; i <= e.right; ++i) {
            const std::uint8_t* in = source.scanLine(i);
            float w = e.weights[i - e.left];
            for (std::size_t k = 0; k < rowBytes; ++k)
                sums[k] += w * float(in[k]);
        }
        std::uint8_t* out = destination.scanLine(v);
        for (std::size_t k = 0; k < rowBytes; ++k)
            out[k] = toChannel(sums[k]);
    }
}
