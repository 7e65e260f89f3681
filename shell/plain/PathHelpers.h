#pragma once
#include <cstddef>
#include <string>

// Longest path the installer handles, terminator included.
constexpr std::size_t kPathSize = 260;

// Whether a byte starts a double-byte character in the code page of the
// strings at hand. On a Japanese, Chinese or Korean system the second byte of
// such a character may be a backslash (0x5C) or a letter a-z, and is neither.
// The helpers below use the system's ANSI code page unless handed a test;
// the Western code pages have no lead bytes.
using LeadByteTest = bool (*)(unsigned char byte);
bool SystemLeadByte(unsigned char byte);

// The character after the one at `text` (which is not the terminator): two
// bytes on for a lead byte with a second byte, otherwise one.
inline const char* NextCharacter(const char* text, LeadByteTest isLead = SystemLeadByte)
{
    // No code page has a lead byte below 0x81: plain ASCII text is never asked about.
    const unsigned char byte = static_cast<unsigned char>(text[0]);
    return byte >= 0x81 && isLead(byte) && text[1] != '\0' ? text + 2 : text + 1;
}

// Whether the last character of `text` is a backslash (not the second byte of
// a double-byte character).
bool EndsWithBackslash(const char* text, LeadByteTest isLead = SystemLeadByte);

// The character after the last backslash; without a backslash, after the last
// colon; without either, the start of the path. Points into `path`.
char* FileNamePart(char* path, LeadByteTest isLead = SystemLeadByte);
const char* FileNamePart(const char* path, LeadByteTest isLead = SystemLeadByte);

// From the FIRST dot of the file-name part to the end; the terminating NUL
// (an empty string) when the file-name part has no dot. Never null.
const char* FileExtension(const char* path);

// Joins a directory and a name into one shared buffer and returns it, or null
// when `mustExist` is set and nothing of that name exists, or when the joined
// path would not fit (259 characters). One backslash goes between them unless
// the directory ends in one: a drive root "X:\" and a drive "X:" both give
// "X:\name". The next call overwrites the buffer.
char* JoinPath(const char* directory, const char* name, int mustExist, LeadByteTest isLead = SystemLeadByte);

// The same join, of any length, into a string of its own; nothing is checked.
std::string JoinedPath(const std::string& directory, const std::string& name, LeadByteTest isLead = SystemLeadByte);

// Removes leading and trailing spaces (code 32 only) in place.
void TrimSpaces(char* text);

// Whether a file or directory of that name exists.
bool PathExists(const char* path);

// Upper-cases the single-byte letters a to z in place; nothing else changes.
void UpperCaseAscii(char* text, LeadByteTest isLead = SystemLeadByte);

// Copies at most size-1 characters and terminates; writes nothing when size is 0.
void CopyBounded(char* destination, std::size_t size, const char* source);
