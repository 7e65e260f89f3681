#include "shell/runtime/Runtime.h"

#include <cstddef>

namespace {
// The linker gathers the constructors of objects with a dynamic initialiser
// between a -1 and a 0 entry; they run last to first.
extern "C" void (*__CTOR_LIST__[])();
}

void RunStaticConstructors()
{
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    for (std::size_t i = count; i > 0; --i) __CTOR_LIST__[i]();
}
