#include "app/Startup.h"

#include "app/MainController.h"
#include "foundation/Application.h"
#include "foundation/StringList.h"
#include "ui/UIManager.h"

StartupSteps::StartupSteps() = default;

StartupSteps::~StartupSteps() = default;

bool StartupSteps::isSupportedWindows()
{
    return Application::isSupportedWindows();
}

bool StartupSteps::isAnotherInstanceRunning(const Application& application)
{
    return application.isAnotherInstanceRunning();
}

void StartupSteps::activateOtherInstance(const Application& application)
{
    application.activateOtherInstance();
}

bool StartupSteps::loadPack(Application& application, const String& name)
{
    return application.loadPack(name);
}

bool StartupSteps::loadStyle(const String& name)
{
    return UIManager::instance()->loadStyle(name);
}

bool StartupSteps::createController(bool autorun)
{
    m_controller = std::make_unique<MainController>(autorun);
    return true;
}

int StartupSteps::run(Application& application)
{
    return application.run();
}

void StartupSteps::destroyController()
{
    m_controller.reset();
}

bool hasAutorunSwitch(const String& commandLine)
{
    for (const String& argument : String::split(commandLine, L" ", String::SkipEmptyParts)) {
        if (compareStringsIgnoreCase(argument.c_str(), L"-autorun") == 0)
            return true;
    }
    return false;
}

int runProgram(Application& application, StartupSteps& steps)
{
    if (!steps.isSupportedWindows())
        return -1;
    if (steps.isAnotherInstanceRunning(application)) {
        steps.activateOtherInstance(application);
        return -1;
    }
    if (!steps.loadPack(application, L"data") || !steps.loadStyle(L"white"))
        return -1;
    if (!steps.createController(hasAutorunSwitch(application.commandLine())))
        return -1;
    const int code = steps.run(application);
    steps.destroyController();
    return code;
}
