#pragma once

// The images of the "white" style, gathered from the files of this folder:
// each widget family registers its own skins (and the standard images
// theirs) with a static StyleImageRegistration, so adding a widget's look
// touches only its own file. The program's own images for the data pack
// "data" register here too, naming that pack.

#include "graphics/Bitmap.h"

#include <initializer_list>
#include <vector>

// The resource folder an image is written under.
enum class ImagePack { Style, Data };

struct StyleImage {
    // "images" or "skins": the folder of the pack the file goes into.
    const wchar_t* folder;
    // The file name without ".png", which is the name the style reads.
    const wchar_t* name;
    Bitmap (*draw)();
    ImagePack pack = ImagePack::Style;
};

const std::vector<StyleImage>& styleImages();

struct StyleImageRegistration {
    StyleImageRegistration(std::initializer_list<StyleImage> images);
};
