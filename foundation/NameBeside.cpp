#include "foundation/NameBeside.h"

#include "foundation/FileSystem.h"
#include "foundation/Path.h"

String freeNameBeside(const String& path, const String& extension, const StringList& passedOver)
{
    const int separator = path.lastIndexOf(L'\\');
    if (separator < 0 || !directoryExists(path.mid(0, separator + 1)))
        return {};
    const auto isFree = [&passedOver](const String& name) {
        return !fileExists(name) && !directoryExists(name) && !passedOver.containsIgnoreCase(name);
    };
    const String plain = path + L'.' + extension;
    if (isFree(plain))
        return plain;
    for (int i = 0; i < numberedNameLimit; ++i) {
        const String numbered = Path::numberedName(path, i, extension);
        if (isFree(numbered))
            return numbered;
    }
    return {};
}

bool isNameBeside(const String& candidate, const String& name, const String& extension)
{
    return String::equalsIgnoreCase(candidate, name + L'.' + extension) ||
           Path::isNumberedName(candidate, name, extension);
}
