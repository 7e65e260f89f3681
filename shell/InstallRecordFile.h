#pragma once
#include <windows.h>

#include "framework/UniqueHandle.h"

#include <string>

// The record of what the runs made in an installation's folder
// (engine/plain/InstallRecord.h), open for appending while a run writes
// there, and the run's log: the notes of a run are kept until the record
// opens, and go into the temporary folder when it never does (a target that
// cannot be written). Defined in engine/InstallRecordFile.cpp.
class TInstallRecordFile {
public:
    TInstallRecordFile() = default;
    TInstallRecordFile(const TInstallRecordFile&) = delete;
    TInstallRecordFile& operator=(const TInstallRecordFile&) = delete;

    // Opens the record of `folder` (an installation's folder, which exists),
    // or starts one there; `madeFolder`: the run has just created the folder,
    // whose line comes first. A record that does not read right is started
    // afresh with the lines that did. The notes so far follow. False where
    // no record can be written there: the run goes on without one.
    bool Open(const std::string& folder, bool madeFolder);
    bool IsOpen() const { return File.IsValid(); }

    // Appends lines of the record (engine/plain/InstallRecord.h), on the
    // disk when this returns, with one flush for them all; a line the record
    // holds already is not written again. False when the disk refused them
    // (nothing of them is left then); true without a record, where nothing
    // is to be kept.
    bool Append(const std::string& lines);

    // A path's name in the record's folder ("LOOKUP\ITU.LU"); empty for a
    // path outside it, or without a record.
    std::string NameInFolder(const std::string& path) const;

    // A line of the log for people; kept until the record is open.
    void Note(const char* text);

    // The log's last note; the record (or, without one, the log in the
    // temporary folder, holding the notes) is closed.
    void Close(const char* lastNote);

private:
    bool Load(const std::string& path, std::string& keep, std::string& afresh, bool& whole);
    void Keep(const std::string& line);
    bool StartAfresh(const std::string& folder, const std::string& text);
    bool OpenToAppend();
    bool Write(const std::string& text, bool flush = true);

    TFile File;
    std::string Folder;  // ready for a name to follow
    std::string Path;
    std::string Pending;             // notes not yet written
    std::string Known;               // the record's lines (not its notes), after a line break
    DWORD Size = 0;                  // what of the record was written whole
};

// The log of the run in progress, if any, which ReportMessage tells of each
// report it shows; set by RunLog for its lifetime.
class RunLog {
public:
    // `kind`: "installation" or "maintenance update"; `components`: whether
    // the run's settings include the components chosen.
    RunLog(TInstallRecordFile& record, const char* kind, const char* source, bool components);
    ~RunLog();
    RunLog(const RunLog&) = delete;
    RunLog& operator=(const RunLog&) = delete;

    // The run ended complete; otherwise its end names the report that ended
    // it (the last one shown), or that it was cancelled.
    void Completed();

private:
    TInstallRecordFile& Record;
};

// The run in progress is complete (also where it ends without the
// completion question: an installation of data components only).
void LogRunComplete();

// The person cancelled a prompt (`text`) of the run in progress: the run
// ends cancelled unless it goes on.
void LogCancel(const char* text);

// A numbered report as shown, and the button that closed it.
void LogReport(int number, const char* text, int answer);

// A note in the log of the run in progress (nothing without one).
void LogNote(const char* text);

// Ends the log of the run in progress, if any, at the report shown last: for
// a run that ends there without unwinding (an unattended one).
void EndRunLogAtReport();
// The same at a notice (a box without a number) that ends an unattended run.
void EndRunLogAtNotice();

// The number of the last report shown in the run in progress (0: none).
int LastReportNumber();
