// The C library's character classes that the code calls, as the program's
// own (see CStrings.cpp): those of the "C" locale, where no byte from 0x80
// up is a space, a digit or a letter, and only A to Z and a to z change case.
// The argument is an unsigned char's value or EOF, as for the C library.
#include "shell/runtime/ImportPointer.h"

extern "C" {

// Space, tab, line feed, vertical tab, form feed, carriage return.
int isspace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int isxdigit(int c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int tolower(int c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

int toupper(int c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }
}

TSINST_IMPORT_POINTER(isspace)
TSINST_IMPORT_POINTER(isxdigit)
TSINST_IMPORT_POINTER(tolower)
TSINST_IMPORT_POINTER(toupper)
