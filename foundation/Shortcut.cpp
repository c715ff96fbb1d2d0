#include "foundation/Shortcut.h"

namespace {

struct NamedKey {
    int code;
    const wchar_t* name;
};

// Keys whose names are not made from a range (digits, letters, number pad
// and function keys are).
constexpr NamedKey namedKeys[] = {
    {0, L"None"},
    {1, L"LButton"},
    {2, L"RButton"},
    {3, L"Cancel"},
    {4, L"MButton"},
    {5, L"XButton1"},
    {6, L"XButton2"},
    {8, L"Backspace"},
    {9, L"Tab"},
    {10, L"LineFeed"},
    {12, L"Clear"},
    {13, L"Enter"},
    {16, L"Shift"},
    {17, L"Ctrl"},
    {18, L"Alt"},
    {19, L"Pause"},
    {20, L"CapsLock"},
    {21, L"HangulMode"},
    {23, L"JunjaMode"},
    {24, L"FinalMode"},
    {25, L"KanjiMode"},
    {27, L"Escape"},
    {28, L"IMEConvert"},
    {29, L"IMENonconvert"},
    {30, L"IMEAccept"},
    {31, L"IMEModeChange"},
    {32, L"Space"},
    {33, L"PageUp"},
    {34, L"PageDown"},
    {35, L"End"},
    {36, L"Home"},
    {37, L"Left"},
    {38, L"Up"},
    {39, L"Right"},
    {40, L"Down"},
    {41, L"Select"},
    {42, L"Print"},
    {43, L"Execute"},
    {44, L"PrintScreen"},
    {45, L"Insert"},
    {46, L"Delete"},
    {47, L"Help"},
    {91, L"MetaLeft"},
    {92, L"MetaRight"},
    {93, L"Apps"},
    {95, L"Sleep"},
    {106, L"Multiply"},
    {107, L"Plus"},
    {108, L"Separator"},
    {109, L"Minus"},
    {110, L"Decimal"},
    {111, L"Slash"},
    {144, L"NumLock"},
    {145, L"ScrollLock"},
    {160, L"ShiftLeft"},
    {161, L"ShiftRight"},
    {162, L"ControlLeft"},
    {163, L"ControlRight"},
    {164, L"AltLeft"},
    {165, L"AltRight"},
    {166, L"BrowserBack"},
    {167, L"BrowserForward"},
    {168, L"BrowserRefresh"},
    {169, L"BrowserStop"},
    {170, L"BrowserSearch"},
    {171, L"BrowserFavorites"},
    {172, L"BrowserHomePage"},
    {173, L"VolumeMute"},
    {174, L"VolumeDown"},
    {175, L"VolumeUp"},
    {176, L"MediaNextTrack"},
    {177, L"MediaPreviousTrack"},
    {178, L"MediaStop"},
    {179, L"MediaPlayPause"},
    {180, L"LaunchMail"},
    {181, L"LaunchMedia"},
    {182, L"LaunchApplication1"},
    {183, L"LaunchApplication2"},
    {186, L"OemSemicolon"},
    {187, L"OemPlus"},
    {188, L"OemComma"},
    {189, L"OemMinus"},
    {190, L"OemPeriod"},
    {191, L"OemQuestion"},
    {192, L"OemTilde"},
    {219, L"OemOpenBrackets"},
    {220, L"OemPipe"},
    {221, L"OemCloseBrackets"},
    {222, L"OemQuotes"},
    {223, L"Oem8"},
    {226, L"OemBackslash"},
    {229, L"ProcessKey"},
    {231, L"Packet"},
    {246, L"Attn"},
    {247, L"Crsel"},
    {248, L"Exsel"},
    {249, L"EraseEof"},
    {250, L"Play"},
    {251, L"Zoom"},
    {252, L"NoName"},
    {253, L"Pa1"},
    {254, L"OemClear"},
};

// A name made of a prefix and a number or letter counted from the range's
// first code.
struct KeyRange {
    int first;
    int last;
    const wchar_t* prefix;
    wchar_t firstCharacter; // 0: the name ends in a decimal number
    int firstNumber;
};

constexpr KeyRange keyRanges[] = {
    {48, 57, L"", L'0', 0},
    {65, 90, L"", L'A', 0},
    {96, 105, L"NumPad", L'0', 0},
    {112, 135, L"F", 0, 1},
};

String rangeName(const KeyRange& range, int keyCode)
{
    String name(range.prefix);
    int offset = keyCode - range.first;
    if (range.firstCharacter)
        return name.append(static_cast<wchar_t>(range.firstCharacter + offset));
    return name.append(String::number(range.firstNumber + offset));
}

} // namespace

String keyName(int keyCode)
{
    for (const KeyRange& range : keyRanges) {
        if (keyCode >= range.first && keyCode <= range.last)
            return rangeName(range, keyCode);
    }
    for (const NamedKey& key : namedKeys) {
        if (key.code == keyCode)
            return String(key.name);
    }
    return String(L"???");
}

bool Shortcut::operator==(const Shortcut& other) const
{
    if (this == &other)
        return true;
    return m_keys[0] == other.m_keys[0] && m_keys[1] == other.m_keys[1] && m_keys[2] == other.m_keys[2];
}

void Shortcut::set(std::uint32_t key1, std::uint32_t key2, std::uint32_t key3)
{
    m_keys[0] = key1;
    m_keys[1] = key2;
    m_keys[2] = key3;
}

int Shortcut::count() const
{
    int keys = 0;
    while (keys < 3 && m_keys[keys] != 0)
        ++keys;
    return keys;
}

String Shortcut::toString(const String& separator) const
{
    String text;
    for (int i = 0; i < count(); ++i) {
        if (i > 0)
            text.append(separator);
        text.append(keyName(static_cast<int>(m_keys[i])));
    }
    return text;
}
