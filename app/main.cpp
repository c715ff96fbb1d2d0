#include "app/Startup.h"
#include "foundation/Application.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    Application application(L"Kestrola", L"1.8.3");
    application.setCompanyName(L"Brunhaven Software");
    StartupSteps steps;
    return runProgram(application, steps);
}
