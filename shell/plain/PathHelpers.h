#pragma once
#include <cstddef>
#include <string>

// Longest path the installer handles, terminator included.
constexpr std::size_t kPathSize = 260;

// The character after the last backslash; without a backslash, after the last
// colon; without either, the start of the path. Points into `path`.
char* FileNamePart(char* path);
const char* FileNamePart(const char* path);

// From the FIRST dot of the file-name part to the end; the terminating NUL
// (an empty string) when the file-name part has no dot. Never null.
const char* FileExtension(const char* path);

// Joins a directory and a name into one shared buffer and returns it, or null
// when `mustExist` is set and nothing of that name exists, or when the joined
// path would not fit (259 characters). A drive root "X:\" contributes only
// "X:", so the name lands relative to that drive's current directory.
// The next call overwrites the buffer.
char* JoinPath(const char* directory, const char* name, int mustExist);

// The same join, of any length, into a string of its own; nothing is checked.
std::string JoinedPath(const std::string& directory, const std::string& name);

// Removes leading and trailing spaces (code 32 only) in place.
void TrimSpaces(char* text);

// Whether a file or directory of that name exists.
bool PathExists(const char* path);

// Upper-cases the letters a to z in place; nothing else changes.
void UpperCaseAscii(char* text);

// Copies at most size-1 characters and terminates; writes nothing when size is 0.
void CopyBounded(char* destination, std::size_t size, const char* source);
