#include "foundation/Registry.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace {

// The longest text setString accepts, with its terminator, stays below this.
constexpr int maxStringBytes = 2048;
// value() reads at most this many bytes.
constexpr DWORD readBufferBytes = 4096;

struct ValuePath {
    String keyPath;
    String valueName;
};

bool splitPath(const String& path, ValuePath& out)
{
    const int slash = path.lastIndexOf(L'\\');
    if (slash < 0)
        return false;
    out.keyPath = path.mid(0, slash);
    out.valueName = path.mid(slash + 1);
    return true;
}

// Closes the key when it goes out of scope.
class Key {
public:
    ~Key()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    bool open(const String& keyPath, REGSAM access)
    {
        return RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, access, &m_key) == ERROR_SUCCESS;
    }
    bool create(const String& keyPath, REGSAM access)
    {
        return RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                               nullptr, &m_key, nullptr)
            == ERROR_SUCCESS;
    }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

constexpr REGSAM writeAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Registry strings need not be terminated: the byte count decides the
// length, and the text ends at the first terminator inside it.
String textOf(const std::vector<std::uint8_t>& data, DWORD byteCount)
{
    const int units = static_cast<int>(byteCount / sizeof(wchar_t));
    const auto* text = reinterpret_cast<const wchar_t*>(data.data());
    int length = 0;
    while (length < units && text[length] != L'\0')
        ++length;
    return String(text, length);
}

String expanded(const String& text)
{
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    // A reference can expand differently between the two calls; try again
    // with the newly asked size a few times.
    for (int attempt = 0; attempt < 4 && needed > 0; ++attempt) {
        std::vector<wchar_t> buffer(needed);
        const DWORD got = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
        if (got == 0)
            return {};
        if (got <= needed)
            return String(buffer.data());
        needed = got;
    }
    return {};
}

} // namespace

bool Registry::valueExists(const String& path)
{
    ValuePath parts;
    if (!splitPath(path, parts))
        return false;
    Key key;
    if (!key.open(parts.keyPath, KEY_READ))
        return false;
    DWORD size = 0;
    return RegQueryValueExW(key.get(), parts.valueName.c_str(), nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

bool Registry::setString(const String& path, const String& text)
{
    const long long bytes = (static_cast<long long>(text.length()) + 1) * sizeof(wchar_t);
    if (bytes >= maxStringBytes)
        return false;
    ValuePath parts;
    if (!splitPath(path, parts))
        return false;
    Key key;
    if (!key.create(parts.keyPath, writeAccess))
        return false;
    const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
    if (RegSetValueExW(key.get(), parts.valueName.c_str(), 0, REG_SZ, data, static_cast<DWORD>(bytes))
        != ERROR_SUCCESS)
        return false;
    RegFlushKey(key.get());
    return true;
}

String Registry::value(const String& path, const String& defaultValue)
{
    ValuePath parts;
    if (!splitPath(path, parts))
        return defaultValue;
    Key key;
    if (!key.open(parts.keyPath, KEY_READ))
        return defaultValue;
    std::vector<std::uint8_t> data(readBufferBytes);
    DWORD type = 0;
    DWORD size = readBufferBytes;
    if (RegQueryValueExW(key.get(), parts.valueName.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return defaultValue;
    if (size > readBufferBytes)
        return defaultValue;
    if (type == REG_DWORD) {
        if (size != sizeof(DWORD))
            return defaultValue;
        DWORD number = 0;
        memcpy(&number, data.data(), sizeof(number));
        return String::number(static_cast<unsigned int>(number));
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return defaultValue;
    const String text = textOf(data, size);
    if (text.isEmpty())
        return defaultValue;
    if (type == REG_SZ)
        return text;
    const String result = expanded(text);
    return result.isEmpty() ? defaultValue : result;
}

bool Registry::deleteValue(const String& path)
{
    ValuePath parts;
    if (!splitPath(path, parts))
        return false;
    Key key;
    if (!key.open(parts.keyPath, writeAccess))
        return false;
    return RegDeleteValueW(key.get(), parts.valueName.c_str()) == ERROR_SUCCESS;
}

bool Registry::deleteKey(const String& path)
{
    ValuePath parts;
    if (!splitPath(path, parts) || parts.valueName.isEmpty())
        return false;
    Key key;
    if (!key.open(parts.keyPath, writeAccess))
        return false;
    return RegDeleteKeyW(key.get(), parts.valueName.c_str()) == ERROR_SUCCESS;
}
