#pragma once
#include <windows.h>

#include "engine/ExpansionLoop.h"
#include "engine/FileReplacement.h"
#include "engine/FolderClaim.h"
#include "framework/UniqueHandle.h"

#include <string>
#include <vector>

// The new files of one list, each written whole under a scratch name beside
// the file it replaces before it takes the installed name: either as soon as
// it is whole (an installation, which goes file by file), or all together
// once every one of them is whole (an update, all or nothing). An update
// keeps a record of its files in the list's folder (ReplacementRecord.h), so
// that the run after a power cut finishes or undoes it: each piece of the
// record is on the disk before what it speaks of is done. What has not taken
// its name when the set goes is removed with it.
class TReplacementSet {
public:
    // `folder`: the list's destination, empty or ending in a separator; the
    // names given are relative to it. An update's record is the one its run
    // holds the folder by (`claim`), where it holds it.
    TReplacementSet(std::string folder, bool allTogether, TFolderClaim* claim = nullptr)
        : Folder(std::move(folder)), RecordPath(Folder + kReplacementRecordName), AllTogether(allTogether),
          Claim(claim)
    {
    }
    TReplacementSet(const TReplacementSet&) = delete;
    TReplacementSet& operator=(const TReplacementSet&) = delete;
    ~TReplacementSet() { Discard(); }

    bool TakesNamesTogether() const { return AllTogether; }

    // Makes the scratch files of the installed file `name`: the one its new
    // contents are written to (Writing()), and, in an update, the name the
    // installed file moves aside to, once the record names both. A file
    // begun again after it failed keeps its scratch names and its line. 0;
    // or kLzBadOutHandle, kNoScratchName or kLzWrite (the record cannot be
    // written whole: a full disk), with `refused` the path that could not be
    // made (the record's own, where it cannot be made). `vacant`: a check
    // just before found nothing under the installed name, which a single
    // file then takes without looking it up again (one that appeared
    // meanwhile refuses the move, which never replaces).
    long Begin(const std::string& name, std::string& refused, bool vacant = false);
    const TFile& Writing() const { return Output; }
    // The file begun last is whole, with the contents `written`: it gets the
    // release's date (when known) and is flushed to the disk and closed. 0,
    // or kLzWrite.
    long Finish(const FILETIME& released, const ExpandedContents& written);
    // What the file finished last was written with (its CRC-32 and length).
    const ExpandedContents& LastWritten() const { return Files.back().Written; }
    // The file begun last failed: in an installation its scratch files go;
    // an update keeps them, named in its record, for the file's next try.
    void Abandon();

    // Gives every whole file its installed name. 0; or kLzBadOutHandle with
    // `refused` the installed path (or, for a file stranded between its two
    // names, its folder and StrandedDetail) to report, or kLzWrite (the
    // record cannot be written). A refused name leaves every installed file
    // as it was before the set, and a record that no longer says the renames
    // began; files that take their names together then stay whole, and
    // Commit may be tried again while CanCommitAgain(). A stranded file
    // leaves the files and the record as they are, for the next run.
    long Commit(std::string& refused);
    bool CanCommitAgain() const { return AllTogether && !Files.empty(); }

    // Removes every scratch file of the set, then its record.
    void Discard();

private:
    struct Entry {
        ReplacementPaths Paths;
        bool HadFile = false;
        bool Vacant = false;
        bool Whole = false;
        ExpandedContents Written;
    };
    long BeginRecorded(Entry& entry, std::string& refused);
    long OpenRecord(std::string& refused);
    bool Append(const std::string& text);
    bool CutRecordTo(DWORD size);
    std::string Relative(const std::string& path) const { return path.substr(Folder.size()); }
    void Forget();

    std::string Folder;
    std::string RecordPath;
    bool AllTogether;
    TFolderClaim* Claim;
    std::vector<Entry> Files;
    TFile Output;
    TFile Record;
    int NextNumber = 0;
    DWORD RecordSize = 0;  // what of the record was written whole
    DWORD SizeBeforeMark = 0;
    bool MarkWritten = false;
};
