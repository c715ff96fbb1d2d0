#pragma once

#include <cstdint>

class LibraryModel;
class Tag;

// Usage figures of all tags; all 0 when there are none.
struct TagStatistics {
    std::uint32_t count = 0;
    std::int64_t minUsage = 0;
    std::int64_t maxUsage = 0;
    std::int64_t totalUsage = 0;
};

// Tag counts and usage figures of all items; all 0 when there are none.
// The total sums every usage, not only the positive ones.
struct ItemStatistics {
    std::uint32_t count = 0;
    std::int32_t minTags = 0;
    std::int32_t maxTags = 0;
    std::int64_t minUsage = 0;
    std::int64_t maxUsage = 0;
    std::int64_t totalUsage = 0;
};

// The weight (0 to 1) and font size of tags in one cloud layout. The
// model's settings and totals are read once, and so is the largest item
// count of any tag, so weighing every tag of a layout stays linear. Valid
// while the model does not change.
class CloudMetrics {
public:
    // Values of the model's weightMethod.
    enum WeightMethod : std::uint32_t { ByUsage = 0, ByItemCount = 1 };

    explicit CloudMetrics(const LibraryModel& model);

    // The most used (or most populated) tag weighs 1.
    float weight(const Tag* tag) const;
    // By usage, while the font range is wider than the largest usage, one
    // point per use above the minimum; otherwise spread over the range by
    // weight.
    float fontSize(const Tag* tag) const;

private:
    bool byUsage() const { return m_weightMethod == ByUsage; }

    std::uint32_t m_weightMethod;
    float m_minimumSize;
    float m_sizeRange;
    std::int64_t m_largestUsage;
    int m_largestItemCount = 0;
};
