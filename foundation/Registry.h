#pragma once

#include "foundation/String.h"

// Per-user registry values. A path is a key path under HKEY_CURRENT_USER,
// a '\' and the value name: "Software\Maker\Product\Value". A path without
// a '\' names no key and fails. Each call opens its key and closes it again.
namespace Registry {

// The value can be read (its size is asked for, any size will do).
bool valueExists(const String& path);
// Writes a REG_SZ, creating the key when needed, and flushes the key. False
// without touching the registry for texts of 1023 characters or more.
bool setString(const String& path, const String& text);
// A non-empty REG_SZ as it stands, a non-empty REG_EXPAND_SZ with its
// environment references expanded, a REG_DWORD as decimal text; anything
// else, a missing value and values over 4096 bytes give the default.
String value(const String& path, const String& defaultValue = String::empty);
// These never create the key path: a missing key gives false.
bool deleteValue(const String& path);
// The key must have no subkeys.
bool deleteKey(const String& path);

} // namespace Registry

// The system facade's names for the registry functions.
inline bool registryValueExists(const String& path) { return Registry::valueExists(path); }
inline bool deleteRegistryValue(const String& path) { return Registry::deleteValue(path); }
inline bool deleteRegistryKey(const String& path) { return Registry::deleteKey(path); }
