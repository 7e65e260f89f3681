#include "shell/plain/Settings.h"

char ProgramDirectory[kProgramDirectorySize];
char SourceDrive[2];
std::uint16_t LauncherWindow;
InstallSettings Settings;

void ResetSettings()
{
    Settings = InstallSettings();
}
