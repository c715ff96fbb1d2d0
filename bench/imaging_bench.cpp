// Measures resizing and blurring: a 256 x 256 image to 48 x 48 with each
// method, a 4000 x 3000 image to 400 x 300 (against GDI+'s own high-quality
// DrawImageRectRect of the same pixels in the same run), and a radius 4
// blur of 512 x 512. Each figure is the best of a few runs.
#include "bench/BenchTiming.h"
#include "graphics/Bitmap.h"

#include <windows.h>
// The lean Windows header leaves out the property types GDI+ needs.
#include <objidl.h>
#include <gdiplus.h>

#include <algorithm>
#include <functional>
#include <random>

using namespace bench;

namespace {

constexpr int runs = 5;
const char* const modeNames[] = {"nearest", "box", "Mitchell", "Catmull-Rom", "Lanczos"};

// Smooth gradients with a little noise, so no filter meets only flat areas.
Bitmap testImage(int width, int height)
{
    Bitmap bitmap(width, height, true);
    std::mt19937 random(17);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto r = std::uint8_t(x * 255 / width);
            auto g = std::uint8_t(y * 255 / height);
            auto b = std::uint8_t(random() & 0x3F);
            bitmap.setPixel(x, y, Colour(255, r, g, b));
        }
    }
    return bitmap;
}

double bestOf(const std::function<void()>& work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        Clock::time_point start = Clock::now();
        work();
        best = std::min(best, millisecondsSince(start));
    }
    return best;
}

// GDI+ draws the source into a target of the destination size with its
// high-quality bicubic interpolation; -1 when GDI+ refuses a step.
double gdiplusScale(const Bitmap& source, int width, int height)
{
    using namespace Gdiplus::DllExports;
    Gdiplus::GpBitmap* image = nullptr;
    Gdiplus::GpBitmap* target = nullptr;
    Gdiplus::GpGraphics* graphics = nullptr;
    double time = -1;
    if (GdipCreateBitmapFromScan0(source.width(), source.height(), int(source.stride()), PixelFormat32bppARGB,
                                  source.bits(), &image) == Gdiplus::Ok &&
        GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &target) == Gdiplus::Ok &&
        GdipGetImageGraphicsContext(target, &graphics) == Gdiplus::Ok &&
        GdipSetInterpolationMode(graphics, Gdiplus::InterpolationModeHighQualityBicubic) == Gdiplus::Ok) {
        bool drawn = true;
        time = bestOf([&] {
            drawn = drawn && GdipDrawImageRectRect(graphics, image, 0, 0, Gdiplus::REAL(width), Gdiplus::REAL(height), 0,
                                                   0, Gdiplus::REAL(source.width()), Gdiplus::REAL(source.height()),
                                                   Gdiplus::UnitPixel, nullptr, nullptr, nullptr) == Gdiplus::Ok;
        });
        if (!drawn)
            time = -1;
    }
    if (graphics)
        GdipDeleteGraphics(graphics);
    if (target)
        GdipDisposeImage(target);
    if (image)
        GdipDisposeImage(image);
    return time;
}

void benchSmallIcons()
{
    Bitmap source = testImage(256, 256);
    for (int mode = 0; mode <= 4; ++mode) {
        double ms = bestOf([&] { source.scaled(48, 48, mode); });
        printf("scaled 256x256 -> 48x48 %-12s %9.3f ms\n", modeNames[mode], ms);
    }
}

void benchLargePhoto()
{
    Bitmap source = testImage(4000, 3000);
    double gdiplus = gdiplusScale(source, 400, 300);
    for (int mode = 0; mode <= 4; ++mode) {
        double ms = bestOf([&] { source.scaled(400, 300, mode); });
        if (gdiplus > 0)
            printf("scaled 4000x3000 -> 400x300 %-12s %9.2f ms, GDI+ high-quality bicubic %9.2f ms, ratio %6.2f\n",
                   modeNames[mode], ms, gdiplus, ms / gdiplus);
        else
            printf("scaled 4000x3000 -> 400x300 %-12s %9.2f ms, GDI+ refused the drawing\n", modeNames[mode], ms);
    }
}

void benchBlur()
{
    Bitmap source = testImage(512, 512);
    double ms = bestOf([&] { source.copy().gaussianBlur(4.0f); });
    double copyOnly = bestOf([&] { source.copy(); });
    printf("gaussianBlur radius 4 on 512x512       %9.2f ms (of which copying %.2f ms)\n", ms, copyOnly);
}

} // namespace

int main()
{
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    bool started = Gdiplus::GdiplusStartup(&token, &input, nullptr) == Gdiplus::Ok;
    benchSmallIcons();
    if (started)
        benchLargePhoto();
    else
        printf("GDI+ did not start: no 4000x3000 comparison\n");
    benchBlur();
    if (started)
        Gdiplus::GdiplusShutdown(token);
    return 0;
}
