#pragma once

#include "foundation/String.h"

#include <cstdint>

// The display name of a virtual key code ("Tab", "F5", "A"); "???" for a
// code without a name. Not translated.
String keyName(int keyCode);

// Up to three key codes of a menu entry's key combination, in the key-code
// space of the key events. 0 is "no key"; the keys in use are the leading
// non-zero ones.
class Shortcut {
public:
    Shortcut() = default;
    explicit Shortcut(std::uint32_t key1, std::uint32_t key2 = 0, std::uint32_t key3 = 0) : m_keys{key1, key2, key3} {}

    bool operator==(const Shortcut& other) const;
    bool operator!=(const Shortcut& other) const { return !(*this == other); }

    void set(std::uint32_t key1, std::uint32_t key2, std::uint32_t key3);

    std::uint32_t key1() const { return m_keys[0]; }
    std::uint32_t key2() const { return m_keys[1]; }
    std::uint32_t key3() const { return m_keys[2]; }

    // The number of leading non-zero codes, 0 to 3.
    int count() const;
    bool isSet() const { return m_keys[0] != 0; }

    // The key names of the leading non-zero codes joined by the separator;
    // menu entries use "+".
    String toString(const String& separator) const;

private:
    std::uint32_t m_keys[3] = {0, 0, 0};
};

// The UI toolkit's name for the same type.
using KeySequence = Shortcut;
