#include "ui/HotKey.h"

#include <windows.h>

namespace {

constexpr std::uint32_t keyF1 = 112;
constexpr std::uint32_t keyF24 = 135;
constexpr std::uint32_t modifierMask = 1 | 2 | 4;
// Ids from here up belong to shared libraries.
constexpr int firstSharedHotKeyId = 0xC000;

UINT platformModifiers(std::uint32_t modifiers)
{
    UINT result = 0;
    if (modifiers & 1)
        result |= MOD_SHIFT;
    if (modifiers & 2)
        result |= MOD_CONTROL;
    if (modifiers & 4)
        result |= MOD_ALT;
    return result;
}

} // namespace

HotKey HotKey::fromKeyAndFlags(std::uint32_t key, std::uint32_t flags)
{
    if (key == 0 && flags == 0)
        return {};
    return HotKey(0, key, flags & modifierMask);
}

bool HotKey::isValid() const
{
    if (m_id < 0 || m_key == 0)
        return false;
    if (m_key >= keyF1 && m_key <= keyF24)
        return true;
    return m_modifiers != 0;
}

std::uint64_t HotKey::packed() const
{
    if (!isValid())
        return 0;
    return (static_cast<std::uint64_t>(m_modifiers) << 32) | m_key;
}

bool registerHotKey(void* window, const HotKey& hotKey)
{
    if (!window || hotKey.id() >= firstSharedHotKeyId)
        return false;
    return RegisterHotKey(static_cast<HWND>(window), hotKey.id(), platformModifiers(hotKey.modifiers()), hotKey.key())
        == TRUE;
}

bool unregisterHotKey(void* window, int id)
{
    return window && UnregisterHotKey(static_cast<HWND>(window), id) == TRUE;
}
