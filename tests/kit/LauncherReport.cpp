#include "tests/kit/LauncherReport.h"

#include <cstdlib>
#include <sstream>

std::string FormatLauncherReport(const LauncherReport& report)
{
    std::ostringstream out;
    out << "state=" << report.State << "\n"
        << "launcher_window=" << report.LauncherWindow << "\n"
        << "command_line=" << report.CommandLine << "\n"
        << "installer_pid=" << report.InstallerProcessId << "\n"
        << "installer_exit_code=" << report.InstallerExitCode << "\n"
        << "start_error=" << report.StartError << "\n"
        << "finished_count=" << report.FinishedParameters.size() << "\n";
    for (const auto& params : report.FinishedParameters)
        out << "finished=" << params.first << "," << params.second << "\n";
    return out.str();
}

bool ParseLauncherReport(const std::string& text, LauncherReport& report)
{
    report = LauncherReport();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1);
        if (key == "state") report.State = value;
        else if (key == "launcher_window") report.LauncherWindow = value;
        else if (key == "command_line") report.CommandLine = value;
        else if (key == "installer_pid") report.InstallerProcessId = std::strtoul(value.c_str(), nullptr, 10);
        else if (key == "installer_exit_code") report.InstallerExitCode = std::strtoul(value.c_str(), nullptr, 10);
        else if (key == "start_error") report.StartError = std::strtoul(value.c_str(), nullptr, 10);
        else if (key == "finished") {
            std::size_t comma = value.find(',');
            if (comma == std::string::npos) continue;
            report.FinishedParameters.push_back({std::strtoull(value.c_str(), nullptr, 10),
                                                 std::strtoll(value.c_str() + comma + 1, nullptr, 10)});
        }
    }
    return !report.State.empty();
}
