#include "tests/kit/CommandLineQuote.h"

std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        const char c = argument[i];
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes count as escapes only in front of a quote.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
        if (::IsDBCSLeadByte(static_cast<BYTE>(c)) && i + 1 < argument.size()) quoted += argument[++i];
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

std::string JoinArguments(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const std::string& argument : arguments) {
        if (!line.empty()) line += ' ';
        line += QuoteArgument(argument);
    }
    return line;
}

std::vector<char> CommandLineBuffer(const std::vector<std::string>& line)
{
    std::string text = JoinArguments(line);
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer;
}

bool StartProcess(const std::string& application, const std::vector<std::string>& line, DWORD flags,
                  HANDLE* process, DWORD* processId)
{
    std::vector<char> commandLine = CommandLineBuffer(line);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(application.empty() ? nullptr : application.c_str(), commandLine.data(), nullptr, nullptr,
                          FALSE, flags, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hThread) ::CloseHandle(info.hThread);
    if (processId) *processId = info.dwProcessId;
    if (process)
        *process = info.hProcess;
    else if (info.hProcess)
        ::CloseHandle(info.hProcess);
    return true;
}
