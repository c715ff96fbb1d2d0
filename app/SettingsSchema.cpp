#include "app/SettingsSchema.h"

#include "foundation/Settings.h"

#include <cstdint>

namespace {

struct SettingDefault {
    const wchar_t* key;
    Value value;
};

// Window geometry keys are "windows/window" + the window's name + the field;
// a negative position or size means "not stored yet".
const SettingDefault defaults[] = {
    {L"general/language", String()},
    {L"model/taggedItemFilters", String()},
    {L"model/scanRules", String()},
    {L"model/taggedItemsCacheMaxSize", std::int32_t{64}},
    {L"taggedItems/collectMode", std::int32_t{0}},
    {L"tagCloud/fontMinimumSize", 12.0f},
    {L"tagCloud/fontMaximumSize", 24.0f},
    {L"tagCloud/fontFamily", String()},
    {L"tagCloud/background", std::uint32_t{0xFF699DCDu}},
    {L"tagCloud/foreground", std::uint32_t{0xFFFFFFFFu}},
    {L"tagCloud/selectedForeground", std::uint32_t{0xFF306392u}},
    {L"tagCloud/sortMode", std::int32_t{0}},
    {L"tagCloud/weightMethod", std::int32_t{0}},
    {L"tagCloud/filterByNameMode", std::int32_t{0}},
    {L"tagCloud/backgroundImagePath", String()},
    {L"tagCloud/backgroundImageDrawMode", std::int32_t{0}},
    {L"tagCloud/selectedTags", String()},
    {L"windows/windowMainWindowLeft", std::int32_t{-1}},
    {L"windows/windowMainWindowTop", std::int32_t{-1}},
    {L"windows/windowMainWindowWidth", std::int32_t{-1}},
    {L"windows/windowMainWindowHeight", std::int32_t{-1}},
    {L"windows/windowMainWindowIsMaximized", false},
};

} // namespace

void registerSettings(Settings& settings)
{
    for (const SettingDefault& entry : defaults) {
        if (!settings.contains(entry.key))
            settings.addEntry(entry.key, entry.value);
    }
}
