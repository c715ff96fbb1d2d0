#pragma once

#include <cstdint>

// A global hot key: an id chosen by its window, a virtual-key code and the
// toolkit's modifier mask (1 Shift, 2 Control, 4 Alt). A negative id means
// that no hot key is registered.
class HotKey {
public:
    HotKey() = default;
    HotKey(int id, std::uint32_t key, std::uint32_t modifiers) : m_id(id), m_key(key), m_modifiers(modifiers) {}

    // Id 0; modifier bits other than Shift, Control and Alt are dropped.
    static HotKey fromKeyAndFlags(std::uint32_t key, std::uint32_t flags);

    void setId(int id) { m_id = id; }
    int id() const { return m_id; }
    void setKey(std::uint32_t key) { m_key = key; }
    std::uint32_t key() const { return m_key; }
    void setModifiers(std::uint32_t modifiers) { m_modifiers = modifiers; }
    std::uint32_t modifiers() const { return m_modifiers; }

    // A key, a non-negative id, and a modifier unless the key is F1 to F24.
    bool isValid() const;
    // Modifiers in the high half and the key in the low half; 0 when not valid.
    std::uint64_t packed() const;

    bool operator==(const HotKey&) const = default;

private:
    int m_id = 0;
    std::uint32_t m_key = 0;
    std::uint32_t m_modifiers = 0;
};

// Registers the hot key for a window (an HWND): its presses then arrive at
// the window as hot-key events. False without a window or for an id of
// 0xC000 or more.
bool registerHotKey(void* window, const HotKey& hotKey);
bool unregisterHotKey(void* window, int id);
