#pragma once

#include "foundation/String.h"
#include "foundation/StringList.h"

#include <cstdint>

// A drive named by its letter, asked whether it is present and ready and
// for its volume data. Every question about a drive that is absent or not
// ready (a removable drive without a medium) gives the empty or zero answer
// without a system error dialog.
class Drive {
public:
    // "c" or "c:\" (any text of length 1 or 3: its first character is the
    // letter); any other length leaves the drive empty and absent.
    explicit Drive(const String& text);
    ~Drive() = default;

    const String& letter() const { return m_letter; }
    // The upper-cased letter and ":\".
    const String& root() const { return m_root; }

    bool exists() const;
    bool isReady() const;
    String volumeLabel() const;
    String fileSystemName() const;
    std::uint32_t serialNumber() const;
    String serialNumberText() const;
    // The platform's drive type, 1 (no root directory) to 6 (RAM disk);
    // 0 for anything else.
    int type() const;
    // The free bytes this user may use.
    std::uint64_t freeSpace() const;
    bool isUsb() const;

    // The platform's drive roots ("C:\"); empty when they do not fit 1024
    // characters.
    static StringList logicalDrives();
    static StringList driveLetters();
    // The text is exactly one of the platform's drive roots.
    static bool isLogicalDrive(const String& root);
    // A removable drive on the USB bus.
    static bool isUsbDrive(const String& path);

private:
    bool isPresentAndReady() const { return exists() && isReady(); }

    String m_letter;
    String m_root;
};

// The letter before a ':' that is neither first nor last and is followed
// by '\' ("C" for "C:\x"); empty otherwise.
String driveLetter(const String& path);
