// How the C++ runtime's own failures end in the installer's executables.
//
// The runtime's versions of these functions are written for console programs
// and each brings a large part of the runtime with it: the default terminate
// handler prints the exception's demangled type (a demangler and a printf),
// and the helpers the standard containers call on a failed check sit in one
// object file with the exception classes that carry a message, which need the
// reference-counted string. Defined here, in the executable itself, they are
// found before the runtime library is searched, so those parts are never
// linked. The test programs keep the runtime's versions.
#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace __gnu_cxx {
// An exception that nothing caught. Running out of memory still gets the
// installer's own report before the program ends; there is no console to
// name any other exception on.
void __verbose_terminate_handler()
{
    if (std::current_exception()) {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            ReportMessage(nullptr, MsgInstallationError, MsgInsufficientMemory);
        } catch (...) {
        }
    }
    std::abort();
}
}

namespace std {
// Allocation failures throw what the runtime throws.
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
// A container asked to grow past its largest size: more memory than there is.
void __throw_length_error(const char*) { throw bad_alloc(); }

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }

// Checks that only a programming error can fail (a string from a null
// pointer, a position past the end, a number conversion the installer does
// not use): ended as an exception that nothing catches would be.
void __throw_logic_error(const char*) { std::terminate(); }
void __throw_domain_error(const char*) { std::terminate(); }
void __throw_invalid_argument(const char*) { std::terminate(); }
void __throw_out_of_range(const char*) { std::terminate(); }
void __throw_out_of_range_fmt(const char*, ...) { std::terminate(); }
void __throw_runtime_error(const char*) { std::terminate(); }
void __throw_range_error(const char*) { std::terminate(); }
void __throw_overflow_error(const char*) { std::terminate(); }
void __throw_underflow_error(const char*) { std::terminate(); }
}
