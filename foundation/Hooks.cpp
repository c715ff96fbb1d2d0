#include "foundation/Hooks.h"

#include "foundation/Settings.h"

#include <atomic>

namespace {

std::atomic<UiHooks*>& installedUiHooks()
{
    static std::atomic<UiHooks*> hooks{nullptr};
    return hooks;
}

std::atomic<ShellHooks*>& installedShellHooks()
{
    static std::atomic<ShellHooks*> hooks{nullptr};
    return hooks;
}

} // namespace

void ProgressWindow::setMessage(const String&) {}

void ProgressWindow::setPercent(int) {}

void ProgressWindow::show() {}

bool ProgressWindow::closeRequested()
{
    return false;
}

void UiHooks::setOverrideCursor(int) {}

void UiHooks::restoreOverrideCursor() {}

int UiHooks::information(const String&, const String&, const String&, int, int)
{
    return 0;
}

std::unique_ptr<ProgressWindow> UiHooks::createProgressWindow()
{
    return std::make_unique<ProgressWindow>();
}

bool UiHooks::shellFileIcon(const String&, int, Bitmap&)
{
    return false;
}

bool UiHooks::shellThumbnail(const String&, int, Bitmap&)
{
    return false;
}

Settings& ShellHooks::settings()
{
    static Settings unbound(String(), String(), Settings::NoLocation, Settings::NoFormat);
    return unbound;
}

LibraryModel* ShellHooks::libraryModel()
{
    return nullptr;
}

LibraryController* ShellHooks::libraryController()
{
    return nullptr;
}

void ShellHooks::setStatus(int) {}

void ShellHooks::setStatusProgress(int, bool) {}

bool ShellHooks::imageByName(const String&, Bitmap&)
{
    return false;
}

void ShellHooks::reloadTagCloudBackground() {}

UiHooks& uiHooks()
{
    static UiHooks defaults;
    UiHooks* installed = installedUiHooks().load();
    return installed ? *installed : defaults;
}

void setUiHooks(UiHooks* hooks)
{
    installedUiHooks().store(hooks);
}

ShellHooks& shellHooks()
{
    static ShellHooks defaults;
    ShellHooks* installed = installedShellHooks().load();
    return installed ? *installed : defaults;
}

void setShellHooks(ShellHooks* hooks)
{
    installedShellHooks().store(hooks);
}
