#include "foundation/Drives.h"

#include "foundation/CharHelpers.h"
#include "foundation/FileSystem.h"

#include <windows.h>
#include <winioctl.h>

#include <cstddef>
#include <cwchar>

namespace {

constexpr DWORD driveStringsBuffer = 1024;
constexpr DWORD volumeTextBuffer = 256;

// Keeps the "insert a disk" dialog away while a drive is probed.
class NoCriticalErrorDialogs {
public:
    NoCriticalErrorDialogs() : m_previous(SetErrorMode(0)) { SetErrorMode(m_previous | SEM_FAILCRITICALERRORS); }
    ~NoCriticalErrorDialogs() { SetErrorMode(m_previous); }
    NoCriticalErrorDialogs(const NoCriticalErrorDialogs&) = delete;
    NoCriticalErrorDialogs& operator=(const NoCriticalErrorDialogs&) = delete;

private:
    UINT m_previous;
};

struct VolumeInformation {
    String label;
    String fileSystem;
    DWORD serialNumber = 0;
};

bool readVolumeInformation(const String& root, VolumeInformation& out)
{
    wchar_t label[volumeTextBuffer] = {};
    wchar_t fileSystem[volumeTextBuffer] = {};
    DWORD serial = 0;
    NoCriticalErrorDialogs guard;
    if (!GetVolumeInformationW(root.c_str(), label, volumeTextBuffer, &serial, nullptr, nullptr, fileSystem,
                               volumeTextBuffer))
        return false;
    out.label = String(label);
    out.fileSystem = String(fileSystem);
    out.serialNumber = serial;
    return true;
}

// The storage query asks for the descriptor header only.
bool isRemovableUsbDevice(const String& deviceName)
{
    HANDLE device = CreateFileW(deviceName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    STORAGE_DEVICE_DESCRIPTOR descriptor = {};
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query), &descriptor,
                                    sizeof(descriptor), &returned, nullptr);
    CloseHandle(device);
    return ok && returned >= offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength)
        && descriptor.BusType == BusTypeUsb && descriptor.RemovableMedia == 1;
}

} // namespace

Drive::Drive(const String& text)
{
    if (text.length() != 1 && text.length() != 3)
        return;
    m_letter = text.mid(0, 1);
    m_root = m_letter.toUpper() + L":\\";
}

bool Drive::exists() const
{
    return isLogicalDrive(m_root);
}

bool Drive::isReady() const
{
    if (!exists())
        return false;
    NoCriticalErrorDialogs guard;
    return directoryExists(m_root);
}

String Drive::volumeLabel() const
{
    VolumeInformation info;
    if (!isPresentAndReady() || !readVolumeInformation(m_root, info))
        return {};
    return info.label;
}

String Drive::fileSystemName() const
{
    VolumeInformation info;
    if (!isPresentAndReady() || !readVolumeInformation(m_root, info))
        return {};
    return info.fileSystem;
}

std::uint32_t Drive::serialNumber() const
{
    VolumeInformation info;
    if (!isPresentAndReady() || !readVolumeInformation(m_root, info))
        return 0;
    return info.serialNumber;
}

String Drive::serialNumberText() const
{
    return String::number(static_cast<unsigned int>(serialNumber()));
}

int Drive::type() const
{
    if (!isPresentAndReady())
        return 0;
    const UINT kind = GetDriveTypeW(m_root.c_str());
    return kind >= DRIVE_NO_ROOT_DIR && kind <= DRIVE_RAMDISK ? static_cast<int>(kind) : 0;
}

std::uint64_t Drive::freeSpace() const
{
    if (!isPresentAndReady())
        return 0;
    ULARGE_INTEGER available = {};
    NoCriticalErrorDialogs guard;
    if (!GetDiskFreeSpaceExW(m_root.c_str(), &available, nullptr, nullptr))
        return 0;
    return available.QuadPart;
}

bool Drive::isUsb() const
{
    return isPresentAndReady() && isUsbDrive(m_root);
}

StringList Drive::logicalDrives()
{
    StringList roots;
    wchar_t buffer[driveStringsBuffer] = {};
    const DWORD length = GetLogicalDriveStringsW(driveStringsBuffer, buffer);
    if (length == 0 || length >= driveStringsBuffer)
        return roots;
    // Zero-terminated roots, ended by an empty one.
    for (const wchar_t* root = buffer; *root; root += wcslen(root) + 1)
        roots.append(String(root));
    return roots;
}

StringList Drive::driveLetters()
{
    StringList letters;
    for (const String& root : logicalDrives())
        letters.append(driveLetter(root));
    return letters;
}

bool Drive::isLogicalDrive(const String& root)
{
    if (root.isEmpty())
        return false;
    return logicalDrives().indexOf(root) >= 0;
}

bool Drive::isUsbDrive(const String& path)
{
    if (path.isEmpty() || !isAsciiLetter(path.first()))
        return false;
    const String letter = path.mid(0, 1);
    // Only a removable drive can be a USB stick, so other drives are not
    // opened at all.
    if (GetDriveTypeW((letter + L":\\").c_str()) != DRIVE_REMOVABLE)
        return false;
    return isRemovableUsbDevice(L"\\\\.\\" + letter + L":");
}

String driveLetter(const String& path)
{
    const int colon = path.indexOf(L':');
    if (colon < 1 || colon == path.length() - 1)
        return {};
    if (!isAsciiLetter(path.at(colon - 1)) || path.at(colon + 1) != L'\\')
        return {};
    return path.mid(colon - 1, 1);
}
