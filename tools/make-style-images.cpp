// Draws the standard images and the skins of the "white" style, and the
// program's own images of the data pack, with the program's own painter
// and writes them as PNG files:
//   make-style-images <style folder> <data folder>
// writes <style folder>\images\*.png, <style folder>\skins\*.png and
// <data folder>\images\*.png, one file for every image registered in
// style-images/, and says in one line how many it wrote where.

#include "foundation/FileSystem.h"
#include "foundation/String.h"
#include "graphics/ImageCodec.h"
#include "graphics/PaintEngine.h"
#include "style-images/StyleImages.h"

#include <cstdio>

namespace {

struct PackFolders {
    String style;
    String data;

    const String& of(ImagePack pack) const { return pack == ImagePack::Data ? data : style; }
};

bool write(const StyleImage& entry, const String& folder)
{
    const String subfolder = folder + String(L"\\") + String(entry.folder) + String(L"\\");
    const String path = subfolder + String(entry.name) + String(L".png");
    if (createPath(subfolder) && entry.draw().save(path, true))
        return true;
    std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
    return false;
}

// Writes every image; false when one could not be written.
bool writeAll(const PackFolders& folders)
{
    int styleCount = 0;
    int dataCount = 0;
    bool ok = true;
    for (const StyleImage& entry : styleImages()) {
        if (!write(entry, folders.of(entry.pack))) {
            ok = false;
            continue;
        }
        ++(entry.pack == ImagePack::Data ? dataCount : styleCount);
    }
    std::wprintf(L"make-style-images: wrote %d images into %ls and %d into %ls\n", styleCount,
                 folders.style.c_str(), dataCount, folders.data.c_str());
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: make-style-images <style folder> <data folder>\n");
        return 2;
    }
    registerGdiPaintEngine();
    initImageCodecs();
    const bool ok = writeAll(PackFolders{String(argv[1]), String(argv[2])});
    shutdownImageCodecs();
    destroyPaintEngines();
    return ok ? 0 : 1;
}
