#include "shell/LauncherNotification.h"

#include "shell/BuildVariant.h"
#include "shell/plain/CommandLine.h"
#include "shell/plain/Settings.h"

namespace {
bool LauncherToNotify = false;
}

HWND HandleFromValue(std::uint32_t value)
{
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

void NotifyLauncher(std::uint16_t launcherWindow, bool ntBuild)
{
    NotificationTargets targets = FinishingNotificationTargets(launcherWindow, ntBuild);
    for (std::size_t i = 0; i < targets.Count; ++i)
        ::PostMessageA(HandleFromValue(targets.Handles[i]), FinishedMessage, 0, 0);
}

void SetLauncherToNotify(std::uint16_t launcherWindow)
{
    LauncherToNotify = true;
    LauncherWindow = launcherWindow;
}

void NotifyLauncherOfEnd()
{
    if (!LauncherToNotify) return;
    LauncherToNotify = false;
    NotifyLauncher(LauncherWindow, IsNtBuild);
}

bool IsLauncherToBeTold()
{
    return LauncherToNotify;
}

bool LauncherStillThere()
{
    if (!LauncherToNotify) return false;
    NotificationTargets targets = FinishingNotificationTargets(LauncherWindow, IsNtBuild);
    for (std::size_t i = 0; i < targets.Count; ++i)
        if (::IsWindow(HandleFromValue(targets.Handles[i]))) return true;
    return false;
}
