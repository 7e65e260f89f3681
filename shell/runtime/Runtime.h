#pragma once

// The executables' own runtime: start-up, allocation and the few hooks the
// standard library's header-only parts call. Only the entry point's code and
// the program's end after a runtime failure know about it.

// The program's entry point, called by the start-up with the command line
// split as the C start-up splits it; its result is the exit code.
int AppMain(int argc, char* argv[]);

// Runs the constructors of the module's objects with a dynamic initialiser,
// once, at its start.
void RunStaticConstructors();

// What the runtime cannot return from.
enum class RuntimeFailure {
    OutOfMemory,   // an allocation failed, or a container was asked to outgrow memory
    ProgramError,  // a check that only a programming error can fail
};

// Supplied by the program: reports the failure as it sees fit and ends the
// process; it must not allocate.
[[noreturn]] void EndAfterRuntimeFailure(RuntimeFailure failure);
