#pragma once

#include <memory>
#include <vector>

class Bitmap;

// A resampling kernel: weight(x) over source pixels at distance x, zero
// beyond support.
class ResampleFilter {
public:
    explicit ResampleFilter(float support) : support(support) {}
    virtual ~ResampleFilter() = default;
    virtual float weight(float x) const = 0;

    // Half the kernel's width in source pixels.
    const float support;
};

class BoxFilter : public ResampleFilter {
public:
    BoxFilter() : ResampleFilter(0.5f) {}
    float weight(float x) const override;
};

// The cubic family with parameters B and C; B = C = 1/3 by default.
class MitchellFilter : public ResampleFilter {
public:
    explicit MitchellFilter(float b = 0.33333334f, float c = 0.33333334f);
    float weight(float x) const override;

private:
    float p0, p2, p3, q0, q1, q2, q3;
};

class CatmullRomFilter : public ResampleFilter {
public:
    CatmullRomFilter() : ResampleFilter(2.0f) {}
    float weight(float x) const override;
};

class LanczosFilter : public ResampleFilter {
public:
    LanczosFilter() : ResampleFilter(3.0f) {}
    float weight(float x) const override;
    virtual float sinc(float x) const;
};

// Resize methods of Bitmap::scaled.
enum class ResampleMode { Nearest = 0, Box = 1, Mitchell = 2, CatmullRom = 3, Lanczos = 4 };

// The kernel of a filter mode; null for Nearest and for anything outside
// the modes.
std::unique_ptr<ResampleFilter> makeResampleFilter(int mode);

// The weights of one resampling pass from a line of sourceLength pixels
// to one of destinationLength. Each destination pixel reads the source
// pixels left..right (inside the source), with weights normalised to a sum
// of 1 whenever their sum is positive; trailing zero weights are trimmed.
class WeightTable {
public:
    struct Entry {
        int left = 0;
        int right = 0;
        // right - left + 1 of them used, windowSize held.
        const float* weights = nullptr;
    };

    WeightTable(const ResampleFilter& filter, int destinationLength, int sourceLength);

    int lineLength() const { return m_lineLength; }
    int windowSize() const { return m_windowSize; }
    Entry entry(int u) const;

private:
    int m_lineLength = 0;
    int m_windowSize = 0;
    std::vector<int> m_left;
    std::vector<int> m_right;
    std::vector<float> m_weights;
};

// Two separable passes of one filter, the one that cuts the work more first.
class Resampler {
public:
    explicit Resampler(const ResampleFilter& filter) : m_filter(filter) {}
    // A width x height Bitmap of the source's depth; the empty Bitmap when
    // it cannot be made.
    Bitmap scale(const Bitmap& source, int width, int height) const;

private:
    void scaleHorizontally(const Bitmap& source, Bitmap& destination) const;
    void scaleVertically(const Bitmap& source, Bitmap& destination) const;

    const ResampleFilter& m_filter;
};
