#include "shell/plain/FormatText.h"

#include <cstdarg>

namespace {
// Appends to a buffer as far as it goes, one place kept for the terminator.
class BoundedWriter {
public:
    BoundedWriter(char* buffer, std::size_t size) : Next(buffer), Last(buffer + size - 1) {}

    void Put(char c)
    {
        if (Next < Last) *Next++ = c;
    }

    void Put(const char* text)
    {
        while (*text) Put(*text++);
    }

    void PutNumber(int number)
    {
        // Unsigned arithmetic, so that the most negative int has a magnitude.
        unsigned magnitude = static_cast<unsigned>(number);
        if (number < 0) {
            Put('-');
            magnitude = 0u - magnitude;
        }
        char digits[10];
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        while (count > 0) Put(digits[--count]);
    }

    void Terminate() { *Next = '\0'; }

private:
    char* Next;
    char* const Last;
};
}

void FormatText(char* buffer, std::size_t size, const char* format, ...)
{
    if (size == 0) return;
    BoundedWriter out(buffer, size);
    va_list args;
    va_start(args, format);
    for (const char* p = format; *p; ++p) {
        if (*p != '%') {
            out.Put(*p);
            continue;
        }
        const char conversion = *++p;
        if (conversion == 's') {
            const char* text = va_arg(args, const char*);
            out.Put(text ? text : "");
        } else if (conversion == 'c') {
            out.Put(static_cast<char>(va_arg(args, int)));
        } else if (conversion == 'd') {
            out.PutNumber(va_arg(args, int));
        } else if (conversion == '%') {
            out.Put('%');
        } else if (conversion == '\0') {
            out.Put('%');
            break;
        } else {
            out.Put('%');
            out.Put(conversion);
        }
    }
    va_end(args);
    out.Terminate();
}
