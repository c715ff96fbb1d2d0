#include "graphics/FontCache.h"

#include "graphics/FontSystem.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// Most recently asked for first.
std::vector<std::shared_ptr<const CachedFont>>& fonts()
{
    static std::vector<std::shared_ptr<const CachedFont>> cache;
    return cache;
}

} // namespace

CachedFont::CachedFont(const FontDesc& desc)
    : m_desc(desc), m_pixelSize(desc.pixelSize()), m_smooth(isSmoothTextEnabled()),
      m_handle(NativeFont::createHFont(desc)), m_metrics(NativeFont::metricsOf(m_handle))
{
    const HDC keeper = m_keeper.dc();
    if (m_handle && keeper)
        m_keeperPrevious = SelectObject(keeper, m_handle);
}

CachedFont::~CachedFont()
{
    if (m_keeperPrevious)
        SelectObject(m_keeper.dc(), m_keeperPrevious);
    if (m_handle)
        DeleteObject(m_handle);
}

bool CachedFont::isFor(const FontDesc& desc, int pixelSize, bool smooth) const
{
    return m_pixelSize == pixelSize && m_smooth == smooth && m_desc == desc;
}

std::shared_ptr<const CachedFont> cachedFont(const FontDesc& desc)
{
    auto& cache = fonts();
    const int pixelSize = desc.pixelSize();
    const bool smooth = isSmoothTextEnabled();
    const auto found = std::find_if(cache.begin(), cache.end(), [&](const auto& font) {
        return font->isFor(desc, pixelSize, smooth);
    });
    if (found != cache.end()) {
        std::rotate(cache.begin(), found, found + 1);
        return cache.front();
    }
    auto font = std::make_shared<const CachedFont>(desc);
    // A font the platform could not make is asked for again next time.
    if (!font->handle())
        return font;
    cache.insert(cache.begin(), font);
    if (static_cast<int>(cache.size()) > fontCacheCapacity)
        cache.pop_back();
    return font;
}

int cachedFontCount()
{
    return static_cast<int>(fonts().size());
}

void clearFontCache()
{
    fonts().clear();
}
