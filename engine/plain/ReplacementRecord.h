#pragma once
#include <cstddef>
#include <string>
#include <vector>

// An update gives its new files their installed names only once every one of
// them is whole. While it does, a record in the installation's folder names
// the three paths of each file, relative to that folder, so that the run
// after a power cut can finish or undo what was begun. It grows as the update
// goes: a header, a line for each file as its scratch files are made, and
// the rename mark once every new file is whole, just before the first rename:
//
//   TSW30 RENAMES
//   ~TSW0000.TMP ~TSW0001.TMP TSW.EXE
//   LOOKUP\~TSW0002.TMP LOOKUP\~TSW0003.TMP LOOKUP\ANTENNA.TBL
//   RENAME
//
// The record goes once the last file has its name, or once the new files
// have gone.
extern const char* const kReplacementRecordName;  // "~TSWMOVE.TMP"

struct Replacement {
    std::string Fresh;      // the new contents, under a scratch name beside the installed file
    std::string Aside;      // the scratch name the installed file moves to while the new one takes its place
    std::string Installed;  // the installed name
};

enum class RecordState {
    Bad,        // a record that cannot be read at all (a folder of that name): nothing is done from it
    Expanding,  // no rename has begun: the new files go, the installed ones stay
    Renaming,   // every new file was whole: each takes its installed name
};

// The record's text, piece by piece, each with its line break.
std::string RecordHeader();
std::string RecordLine(const Replacement& file);
std::string RecordRenameMark();

// Reads a record held in memory into `files`. Each line must name an
// installed file as a list may (IsSafeInstalledName) and two different
// numbered scratch names in its folder. The mark counts only as the last
// line, after a header and lines that all read right (the update writes
// nothing after it; a cut append may hold an earlier record's bytes). Any
// other record is one whose renames never began: the lines up to the first
// one that does not read right (cut or damaged by the power cut that stopped
// its writing, or never begun: an empty record, a torn header) name the
// files to remove. Never Bad.
RecordState ReadReplacementRecord(const char* data, std::size_t size, std::vector<Replacement>& files);
