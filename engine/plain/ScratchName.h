#pragma once
#include <cstddef>

// The installer writes each file under a scratch name beside the file it
// replaces, "~TSW0000.TMP" to "~TSW9999.TMP", and gives it the installed name
// only once it is whole; the file it replaces moves to another such name
// while the new one takes its place. No list entry may name such a file.
constexpr int kScratchNames = 10000;
constexpr std::size_t kScratchNameSize = 13;  // 8.3 and the terminator

// The scratch name of that number (0 to kScratchNames - 1).
void ScratchName(int number, char (&name)[kScratchNameSize]);

// Whether one element of a path, [begin, end), is a scratch name of the
// installer's ("~TSW", anything, ".TMP", any case). Trailing dots and spaces,
// which Windows drops from a name, are ignored.
bool IsScratchName(const char* begin, const char* end);

// Whether a name is exactly a numbered scratch name ("~TSW", four digits,
// ".TMP", any case).
bool IsNumberedScratchName(const char* name);
