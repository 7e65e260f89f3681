// The functions the standard library's header-only parts call where a
// failure would throw. Without exceptions each one ends the
// program: a failed or impossible allocation as lack of memory, the rest
// (a string from a null pointer, a position past the end, an empty
// std::function called) as the programming errors they are. A hook the
// program comes to need and this file lacks stops the link.
#include "shell/runtime/Runtime.h"

namespace {
[[noreturn]] void OutOfMemory() { EndAfterRuntimeFailure(RuntimeFailure::OutOfMemory); }
[[noreturn]] void ProgramError() { EndAfterRuntimeFailure(RuntimeFailure::ProgramError); }
}

namespace std {
void __throw_bad_alloc() { OutOfMemory(); }
void __throw_bad_array_new_length() { OutOfMemory(); }
// A container asked to grow past its largest size: more memory than there is.
void __throw_length_error(const char*) { OutOfMemory(); }

void __throw_bad_function_call() { ProgramError(); }
void __throw_logic_error(const char*) { ProgramError(); }
void __throw_out_of_range_fmt(const char*, ...) { ProgramError(); }
// The standard library's own checks (_GLIBCXX_ASSERTIONS).
void __glibcxx_assert_fail(const char*, int, const char*, const char*) noexcept { ProgramError(); }
}
