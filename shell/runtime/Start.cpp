// The executables' entry point (the linker is pointed at RuntimeStart): the
// command line from the platform, split as the C start-up splits it, handed
// to AppMain after the static constructors; its result ends the process.
// There are no static destructors to run: the program registers none (it
// links no atexit).
#include "shell/runtime/Runtime.h"

#include <windows.h>

#include <cstddef>

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The program name: up to the closing quote when it starts with one (no
// backslash rules: it is a file name), else up to the first blank.
const char* CopyProgramName(const char* p, char*& out)
{
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) *out++ = *p;
        if (*p == '"') ++p;
    } else {
        for (; *p && !IsBlank(*p); ++p) *out++ = *p;
    }
    *out++ = '\0';
    return p;
}

// One argument: 2n backslashes before a quote give n backslashes and the
// quote opens or closes a quoted part; 2n+1 give n and a literal quote; two
// quotes inside a quoted part give one; other backslashes stay as they are.
const char* CopyArgument(const char* p, char*& out)
{
    bool quoted = false;
    for (;;) {
        std::size_t slashes = 0;
        while (*p == '\\') {
            ++p;
            ++slashes;
        }
        bool copy = true;
        if (*p == '"') {
            if (slashes % 2 == 0) {
                if (quoted && p[1] == '"') {
                    ++p;
                } else {
                    copy = false;
                    quoted = !quoted;
                }
            }
            slashes /= 2;
        }
        while (slashes--) *out++ = '\\';
        if (*p == '\0' || (!quoted && IsBlank(*p))) break;
        if (copy) *out++ = *p;
        ++p;
    }
    *out++ = '\0';
    return p;
}

// The linker gathers the constructors of objects with a dynamic initialiser
// between a -1 and a 0 entry; they run last to first.
extern "C" void (*__CTOR_LIST__[])();

void RunStaticConstructors()
{
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (std::size_t i = count; i > 0; --i) __CTOR_LIST__[i]();
}

// Splits `line` into argv (at most length / 2 + 2 entries, a null one
// last) with the text in `text` (at most length + 1 bytes); returns argc.
int SplitCommandLine(const char* line, char** argv, char* text)
{
    int argc = 0;
    argv[argc++] = text;
    const char* p = CopyProgramName(line, text);
    for (;;) {
        while (IsBlank(*p)) ++p;
        if (*p == '\0') break;
        argv[argc++] = text;
        p = CopyArgument(p, text);
    }
    argv[argc] = nullptr;
    return argc;
}
}

extern "C" [[noreturn]] void RuntimeStart()
{
    RunStaticConstructors();
    const char* line = ::GetCommandLineA();
    std::size_t length = 0;
    while (line[length]) ++length;
    // Every argument but the first takes at least two characters of the line.
    char** argv = new char*[length / 2 + 2];
    char* text = new char[length + 1];
    int argc = SplitCommandLine(line, argv, text);
    ::ExitProcess(static_cast<UINT>(AppMain(argc, argv)));
}
