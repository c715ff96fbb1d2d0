#include "graphics/PaintEngine.h"

#include "graphics/GdiPaintEngine.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace {

struct Registry {
    std::vector<std::unique_ptr<PaintEngine>> engines;
    PaintEngine* current = nullptr;
};

Registry& registry()
{
    static Registry instance;
    return instance;
}

} // namespace

void registerGdiPaintEngine()
{
    Registry& r = registry();
    r.engines.push_back(std::make_unique<GdiPaintEngine>());
    r.current = r.engines.front().get();
}

PaintEngine* currentPaintEngine()
{
    return registry().current;
}

void setCurrentPaintEngine(PaintEngine* engine)
{
    registry().current = engine;
}

PaintEngine* paintEngineByKind(const String& kind)
{
    for (const auto& engine : registry().engines) {
        if (engine->kind() == kind)
            return engine.get();
    }
    return nullptr;
}

void destroyPaintEngines()
{
    Registry& r = registry();
    const bool ownsCurrent = std::any_of(r.engines.begin(), r.engines.end(),
                                         [&](const auto& engine) { return engine.get() == r.current; });
    if (ownsCurrent)
        r.current = nullptr;
    r.engines.clear();
}
