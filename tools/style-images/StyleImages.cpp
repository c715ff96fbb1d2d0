#include "StyleImages.h"

namespace {

std::vector<StyleImage>& registry()
{
    static std::vector<StyleImage> images;
    return images;
}

} // namespace

const std::vector<StyleImage>& styleImages()
{
    return registry();
}

StyleImageRegistration::StyleImageRegistration(std::initializer_list<StyleImage> images)
{
    registry().insert(registry().end(), images);
}
