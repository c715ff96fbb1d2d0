#include "app/ImageByName.h"

#include "foundation/Application.h"
#include "foundation/DataPack.h"

Bitmap imageByName(const String& name)
{
    const Application* application = Application::instance();
    const DataPack* pack = application ? application->findPack(L"data") : nullptr;
    const PackFile* file = pack ? pack->findFile(L"images", name + L".png") : nullptr;
    return file ? Bitmap::fromData(file->data(), file->size(), L"png") : Bitmap();
}
