#pragma once
#include <windows.h>

#include "engine/FileReplacement.h"
#include "framework/UniqueHandle.h"

#include <string>
#include <vector>

// The new files of one list, each written whole under a scratch name beside
// the file it replaces before it takes the installed name: either as soon as
// it is whole (an installation, which goes file by file), or all together
// once every one of them is whole (an update, all or nothing). An update
// keeps a record of its files in the list's folder (ReplacementRecord.h), so
// that the run after a power cut finishes or undoes it. What has not taken
// its name when the set goes is removed with it.
class TReplacementSet {
public:
    // `folder`: the list's destination, empty or ending in a separator; the
    // names given are relative to it.
    TReplacementSet(std::string folder, bool allTogether) : Folder(std::move(folder)), AllTogether(allTogether) {}
    TReplacementSet(const TReplacementSet&) = delete;
    TReplacementSet& operator=(const TReplacementSet&) = delete;
    ~TReplacementSet() { Discard(); }

    bool TakesNamesTogether() const { return AllTogether; }

    // Makes the scratch files of the installed file `name`: the one its new
    // contents are written to (Writing()), and the name the installed file
    // moves aside to. 0, or kLzBadOutHandle (no scratch file can be made)
    // or kLzWrite (the record cannot be written).
    long Begin(const std::string& name);
    const TFile& Writing() const { return Output; }
    // The file begun last is whole: it gets the release's date (when known)
    // and is closed.
    void Finish(const FILETIME& released);
    // The file begun last failed: its scratch files go, the rest stay.
    void Abandon();

    // Gives every whole file its installed name. 0; or kLzBadOutHandle with
    // `refused` the installed path (or, for a file stranded between its two
    // names, StrandedDetail) to report, or kLzWrite (the record cannot be
    // written). A refused name leaves every installed file as it was before
    // the set; files that take their names together then stay whole, and
    // Commit may be tried again while CanCommitAgain(). A stranded file
    // leaves the files and the record as they are, for the next run.
    long Commit(std::string& refused);
    bool CanCommitAgain() const { return AllTogether && !Files.empty(); }

    // Removes every scratch file of the set and its record.
    void Discard();

private:
    struct Entry {
        ReplacementPaths Paths;
        bool HadFile = false;
    };
    bool Append(const std::string& text);
    std::string Relative(const std::string& path) const { return path.substr(Folder.size()); }
    void Forget();

    std::string Folder;
    bool AllTogether;
    std::vector<Entry> Files;
    TFile Output;
    TFile Record;
    int NextNumber = 0;
    DWORD RecordSize = 0;  // what of the record was written whole
    bool MarkWritten = false;
};
