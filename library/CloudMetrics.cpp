#include "library/CloudMetrics.h"

#include "library/LibraryModel.h"

#include <algorithm>

namespace {

int largestItemCount(const PointerArray<Tag*>& tags)
{
    int largest = 0;
    for (const Tag* tag : tags)
        largest = std::max(largest, tag->itemCount());
    return largest;
}

// A quotient in 0..1: a usage outside 0..largest (a damaged file, totals
// not yet recomputed) must not push a tag past the font range.
float unitFraction(double part, double whole)
{
    return static_cast<float>(std::clamp(part / whole, 0.0, 1.0));
}

} // namespace

CloudMetrics::CloudMetrics(const LibraryModel& model)
    : m_weightMethod(model.weightMethod()),
      m_minimumSize(model.fontMinimumSize()),
      m_sizeRange(model.fontMaximumSize() - model.fontMinimumSize()),
      m_largestUsage(model.largestTagUsage())
{
    if (!byUsage())
        m_largestItemCount = largestItemCount(model.tags());
}

float CloudMetrics::weight(const Tag* tag) const
{
    if (byUsage()) {
        if (m_largestUsage <= 0)
            return 0.0f;
        return unitFraction(static_cast<double>(tag->usage()), static_cast<double>(m_largestUsage));
    }
    if (m_largestItemCount < 1)
        return 0.0f;
    return unitFraction(tag->itemCount(), m_largestItemCount);
}

float CloudMetrics::fontSize(const Tag* tag) const
{
    if (byUsage() && static_cast<double>(m_sizeRange) > static_cast<double>(m_largestUsage)) {
        const std::int64_t uses = std::clamp<std::int64_t>(tag->usage(), 0, std::max<std::int64_t>(m_largestUsage, 0));
        return m_minimumSize + static_cast<float>(uses);
    }
    return m_minimumSize + m_sizeRange * weight(tag);
}
