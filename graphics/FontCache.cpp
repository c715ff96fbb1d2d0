#include "graphics/FontCache.h"

#include "graphics/FontSystem.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

using FontRef = std::shared_ptr<const CachedFont>;

struct Fonts {
    // Most recently asked for first; these stay alive without a holder.
    std::vector<FontRef> recent;
    // Every font still alive, also those only Fonts or engines hold, so a
    // description in use keeps one handle however many others are in use.
    std::vector<std::weak_ptr<const CachedFont>> live;
};

Fonts& fonts()
{
    static Fonts cache;
    return cache;
}

FontRef findLive(const FontDesc& desc, int pixelSize, bool smooth)
{
    for (const auto& weak : fonts().live) {
        FontRef font = weak.lock();
        if (font && font->handle() && font->isFor(desc, pixelSize, smooth))
            return font;
    }
    return nullptr;
}

FontRef makeLive(const FontDesc& desc)
{
    auto font = std::make_shared<const CachedFont>(desc);
    auto& live = fonts().live;
    std::erase_if(live, [](const auto& weak) { return weak.expired(); });
    live.push_back(font);
    return font;
}

void makeRecent(const FontRef& font)
{
    auto& recent = fonts().recent;
    recent.insert(recent.begin(), font);
    if (static_cast<int>(recent.size()) > fontCacheCapacity)
        recent.pop_back();
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
    auto& recent = fonts().recent;
    const int pixelSize = desc.pixelSize();
    const bool smooth = isSmoothTextEnabled();
    const auto found = std::find_if(recent.begin(), recent.end(), [&](const FontRef& font) {
        return font->isFor(desc, pixelSize, smooth);
    });
    if (found != recent.end()) {
        std::rotate(recent.begin(), found, found + 1);
        return recent.front();
    }
    FontRef font = findLive(desc, pixelSize, smooth);
    if (!font)
        font = makeLive(desc);
    // A font the platform could not make is asked for again next time.
    if (font->handle())
        makeRecent(font);
    return font;
}

int cachedFontCount()
{
    return static_cast<int>(fonts().recent.size());
}

void clearFontCache()
{
    fonts().recent.clear();
}
