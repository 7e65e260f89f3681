#include "engine/plain/RemovalRegistration.h"

const char* const kRemovalProgramName = "TSWREMOV.EXE";
const char* const kRemovalItemTitle = "Remove Tessaryn 3.0";
const char* const kUninstallKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tessaryn 3.0";

bool HasAddRemovePrograms(unsigned long version)
{
    // The major version is the low byte on both families (the high bit only
    // tells Windows 95 from NT).
    return (version & 0xFF) >= 4;
}

std::string UninstallCommand(const std::string& programPath, const std::string& shortPath)
{
    if (programPath.find(' ') == std::string::npos) return programPath;
    const std::string& command = shortPath.empty() ? programPath : shortPath;
    return command.find(' ') == std::string::npos ? command : "\"" + command + "\"";
}
