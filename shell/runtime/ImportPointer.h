#pragma once

// The C runtime's headers declare some of its functions as imported from its
// DLL; code compiled with them as they stand (the test programs' own, their
// libraries) calls those through an import pointer __imp_<name>. For each
// function the project provides, the pointer is provided too, so that a
// program calls the one function and no import library's copy of it is
// linked beside it. The installer's code, built with _CRTIMP empty, calls
// the functions directly.
#define TSINST_SPELLED(text) #text
#define TSINST_SPELLED_EXPANDED(text) TSINST_SPELLED(text)
#define TSINST_IMPORT_POINTER(function)                                                                  \
    extern "C" decltype(&function) const ImportPointerOf_##function __asm__(                            \
        "__imp_" TSINST_SPELLED_EXPANDED(__USER_LABEL_PREFIX__) #function);                              \
    decltype(&function) const ImportPointerOf_##function = &function;
