// A recording stand-in for the installer, which the launcher tests put on a
// disk under the installer's names (SETUP\TSINST95.EXE, SETUP\TSINSTNT.EXE).
// It appends what it was started with to the file that TSINST_PROBE_REPORT
// names, one "key=value" line each and an empty line after:
//   program    its own path
//   line       its whole command line
//   directory  its current directory
//   companions the companion files in that directory ("INSTALL.EMF TSW_INST.HLP")
// then does what TSINST_PROBE_MODE says:
//   notify     posts message 1074 twice to the window its second argument
//              names, as the Windows 95 build does, and ends (the default)
//   linger     notifies as "notify" does, then lives on for 3 s, as an
//              installer still ending (its files and folder still in use)
//   untold     ends with exit code 5 without a word, as after a crash
//   window     shows a main window as the installer's (class TsFrameWindow,
//              title "Tessaryn 3.0 Installation") until it is closed, then notifies
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
std::string Variable(const char* name)
{
    char value[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA(name, value, sizeof value);
    return length && length < sizeof value ? value : "";
}

void Record()
{
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, sizeof program);
    char directory[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof directory, directory);
    std::string companions;
    for (const char* name : {"INSTALL.EMF", "TSW_INST.HLP"}) {
        if (::GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) continue;
        if (!companions.empty()) companions += ' ';
        companions += name;
    }
    FILE* file = std::fopen(Variable("TSINST_PROBE_REPORT").c_str(), "ab");
    if (!file) return;
    std::fprintf(file, "program=%s\nline=%s\ndirectory=%s\ncompanions=%s\n\n", program, ::GetCommandLineA(), directory,
                 companions.c_str());
    std::fclose(file);
}

void Notify()
{
    if (__argc < 3) return;
    HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoul(__argv[2], nullptr, 16)));
    ::PostMessageA(window, WM_USER + 50, 0, 0);
    ::PostMessageA(window, WM_USER + 50, 0, 0);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void ShowMainWindowUntilClosed(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.lpszClassName = "TsFrameWindow";
    ::RegisterClassA(&wc);
    ::CreateWindowA(wc.lpszClassName, "Tessaryn 3.0 Installation", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                    200, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
}
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    Record();
    const std::string mode = Variable("TSINST_PROBE_MODE");
    if (mode == "untold") return 5;
    if (mode == "window") ShowMainWindowUntilClosed(instance);
    Notify();
    if (mode == "linger") ::Sleep(3000);
    return 0;
}
