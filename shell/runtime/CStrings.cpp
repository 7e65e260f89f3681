// The C library's string and memory functions that the code calls, and
// that the compiler calls on its own (memcpy, memset), as the program's
// own: the shipped programs import no C runtime DLL, which the first
// Windows 95 may lack. Each behaves as the C runtime does in its "C"
// locale, the only one the programs run in: case is folded for the letters
// A to Z only, byte by byte, and bytes are compared as unsigned values, so a
// byte from 0x80 up (a code page 932 lead or second byte among them) is
// never folded and sorts after every ASCII one.
//
// Built with -ffreestanding -fno-tree-loop-distribute-patterns, so that the
// compiler does not turn these loops into calls of themselves.
#include "shell/runtime/ImportPointer.h"

#include <cstddef>

namespace {
unsigned char Folded(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c; }
}

extern "C" {

std::size_t strlen(const char* text)
{
    const char* end = text;
    while (*end) ++end;
    return static_cast<std::size_t>(end - text);
}

// The terminator counts as part of the string: strchr(s, 0) finds it.
char* strchr(const char* text, int character)
{
    const char wanted = static_cast<char>(character);
    for (;; ++text) {
        if (*text == wanted) return const_cast<char*>(text);
        if (!*text) return nullptr;
    }
}

void* memchr(const void* block, int value, std::size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(block);
    const unsigned char wanted = static_cast<unsigned char>(value);
    for (; size > 0; ++p, --size)
        if (*p == wanted) return const_cast<unsigned char*>(p);
    return nullptr;
}

int memcmp(const void* first, const void* second, std::size_t size)
{
    const unsigned char* a = static_cast<const unsigned char*>(first);
    const unsigned char* b = static_cast<const unsigned char*>(second);
    for (; size > 0; ++a, ++b, --size)
        if (*a != *b) return *a - *b;
    return 0;
}

void* memcpy(void* destination, const void* source, std::size_t size)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    while (size-- > 0) *d++ = *s++;
    return destination;
}

// Overlapping blocks: copied from the end when the destination lies above.
void* memmove(void* destination, const void* source, std::size_t size)
{
    unsigned char* d = static_cast<unsigned char*>(destination);
    const unsigned char* s = static_cast<const unsigned char*>(source);
    if (d <= s || d >= s + size) return memcpy(destination, source, size);
    while (size-- > 0) d[size] = s[size];
    return destination;
}

void* memset(void* block, int value, std::size_t size)
{
    unsigned char* p = static_cast<unsigned char*>(block);
    while (size-- > 0) *p++ = static_cast<unsigned char>(value);
    return block;
}

// At most `size` characters, up to the first terminator; the difference of
// the first pair that differs after folding (A to Z as a to z).
int _strnicmp(const char* first, const char* second, std::size_t size)
{
    for (; size > 0; ++first, ++second, --size) {
        const unsigned char a = Folded(static_cast<unsigned char>(*first));
        const unsigned char b = Folded(static_cast<unsigned char>(*second));
        if (a != b || !a) return a - b;
    }
    return 0;
}

int _stricmp(const char* first, const char* second) { return _strnicmp(first, second, static_cast<std::size_t>(-1)); }
}

TSINST_IMPORT_POINTER(_strnicmp)
TSINST_IMPORT_POINTER(_stricmp)
