// Second process of the single-instance test. Modes:
//   activate <product>      expects another instance and asks it to come
//                           forward; exit code 0 when the request arrived.
//   hold <product> <ms>     opens the instance mutex, keeps it for the
//                           time, and exits with the mutex state it found.
#include "foundation/SingleInstance.h"

#include <windows.h>

namespace {

enum ExitCode : int {
    Activated = 0,
    BadArguments = 20,
    NoOtherInstance = 21,
    RequestNotDelivered = 22,
};

int activate(const String& product)
{
    NamedMutex mutex;
    if (mutex.open(instanceName(product)) != NamedMutex::AlreadyExisted)
        return NoOtherInstance;
    createInstanceWindow(product);
    const bool delivered = activateOtherInstance();
    destroyInstanceWindow();
    return delivered ? Activated : RequestNotDelivered;
}

int hold(const String& product, int milliseconds)
{
    NamedMutex mutex;
    const NamedMutex::State state = mutex.open(instanceName(product));
    Sleep(static_cast<DWORD>(milliseconds));
    return state;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && String(argv[1]) == L"activate")
        return activate(argv[2]);
    if (argc == 4 && String(argv[1]) == L"hold")
        return hold(argv[2], String(argv[3]).toInt());
    return BadArguments;
}
