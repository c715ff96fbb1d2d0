#pragma once

#include "foundation/String.h"

#include <memory>

class Application;
class MainController;

// The program's start, step by step, as the entry point takes it. Each step
// is virtual so that tests can record the order and make any step fail.
class StartupSteps {
public:
    StartupSteps();
    virtual ~StartupSteps();
    StartupSteps(const StartupSteps&) = delete;
    StartupSteps& operator=(const StartupSteps&) = delete;

    virtual bool isSupportedWindows();
    virtual bool isAnotherInstanceRunning(const Application& application);
    virtual void activateOtherInstance(const Application& application);
    virtual bool loadPack(Application& application, const String& name);
    virtual bool loadStyle(const String& name);
    // Builds the main controller, which lives until destroyController.
    virtual bool createController(bool autorun);
    virtual int run(Application& application);
    virtual void destroyController();

private:
    std::unique_ptr<MainController> m_controller;
};

// Whether the command line holds the switch "-autorun" (ignoring case) as
// an argument of its own.
bool hasAutorunSwitch(const String& commandLine);

// Everything the entry point does once the Application exists: -1 on
// Windows older than 5.1, when another copy runs (which is brought
// forward), or when the data pack "data" or the style "white" fails to
// load; otherwise the event loop's exit code. The controller is destroyed
// before this returns, before the Application.
int runProgram(Application& application, StartupSteps& steps);
