#include "shell/InstallWindow.h"

#include "engine/ShowProg.h"
#include "engine/plain/ListFile.h"
#include "engine/plain/LzErrors.h"
#include "framework/UniqueHandle.h"
#include "shell/ReportMessage.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/MessageTable.h"
#include "shell/plain/PathHelpers.h"

#include <lzexpand.h>

#include <memory>
#include <string>
#include <vector>

namespace {
// The progress window of one list; destroyed explicitly where the order of
// window and message matters, or at the latest when this goes out of scope.
class ProgressWindow {
public:
    ProgressWindow(TWindow* owner, const char* caption)
    {
        RECT client = {};
        if (!::GetClientRect(owner->GetHandle(), &client)) client = RECT{};
        POINT anchor = {client.right, client.top};
        ::ClientToScreen(owner->GetHandle(), &anchor);
        Window = std::make_unique<TShowProg>(owner, anchor.x, anchor.y, caption);
        // Without its window the list is still handled, just not shown.
        if (!Window->Create()) Window.reset();
    }
    ~ProgressWindow() { Close(); }

    void Show(const char* format, const char* name)
    {
        char text[80];
        FormatText(text, sizeof text, format, name);
        if (Window) Window->SetText(text);
    }

    void Close()
    {
        if (!Window) return;
        Window->Destroy();
        Window.reset();
    }

private:
    std::unique_ptr<TShowProg> Window;
};

// What is wrong with the header of the compressed file the library opened
// (0: nothing, or not a compressed file at all).
long SourceHeaderFault(const char* path)
{
    TFile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return 0;
    unsigned char head[kLzHeaderSize];
    DWORD read = 0;
    if (!::ReadFile(file.Get(), head, sizeof head, &read, nullptr)) read = 0;
    return CompressedHeaderFault(head, read);
}
}

bool TInstallWindow::ExpandListFile(const char* listName, const char* destDir, const char* sourceDir,
                                    const char* caption, LONG& lastResult)
{
    lastResult = 0;
    HWND owner = GetHandle();
    ProgressWindow progress(this, caption);
    progress.Show("Reading %s . . .", listName);

    auto listFailure = [&](int message) {
        progress.Close();
        ReportMessage(owner, MsgInstallationError, message, listName);
        return false;
    };

    const char* listPath = JoinPath(sourceDir, listName, 0);
    if (!listPath) return listFailure(MsgFileNotFound);
    std::vector<char> contents;
    ListLoadResult loaded = LoadListFile(listPath, contents);
    if (loaded == ListLoadResult::NotFound) return listFailure(MsgFileNotFound);
    if (loaded == ListLoadResult::Unreadable) return listFailure(MsgFileReadError);

    // The whole list is read and checked before anything is written.
    ListLineReader reader(contents.data(), contents.size());
    char line[kListLineSize];
    long count = 0;
    if (reader.Next(line) != ListLineReader::Result::Line || !ParseListCount(line, count))
        return listFailure(MsgFileReadError);

    std::vector<std::string> sources;
    std::vector<std::string> destinations;
    for (long i = 0; i < count; ++i) {
        ListEntry entry;
        if (reader.Next(line) != ListLineReader::Result::Line || !ParseListEntry(line, entry))
            return listFailure(MsgFileReadError);
        if (entry.Titled) CaptureProgramItem(entry.Name.c_str(), entry.Title.c_str());
        const char* source = JoinPath(sourceDir, entry.Name.c_str(), 0);
        if (!source) return listFailure(MsgFileReadError);
        sources.push_back(CompressedName(source));
        const char* destination = JoinPath(destDir, entry.Name.c_str(), 0);
        if (!destination) return listFailure(MsgFileReadError);
        destinations.emplace_back(destination);
    }

    ::LZStart();
    for (std::size_t j = 0; j < sources.size(); ++j) {
        std::string& source = sources[j];
        std::string& destination = destinations[j];
        progress.Show("Expanding %s . . .", FileNamePart(source.c_str()));

        OFSTRUCT sourceInfo = {};
        OFSTRUCT destinationInfo = {};
        TLzFile sourceFile(::LZOpenFileA(&source[0], &sourceInfo, OF_READ));
        TLzFile destinationFile;
        LONG result;
        // The destination is only created once the source is known to open,
        // so a missing compressed file never empties an installed one.
        if (!sourceFile.IsValid()) {
            result = sourceFile.Get();  // LZERROR_BADINHANDLE for a missing file
        } else if ((result = SourceHeaderFault(sourceInfo.szPathName)) != 0) {
            // A compressed file with a broken header: the library would take
            // it as uncompressed and create the destination all the same,
            // then write nothing (another method) or the bare header bytes
            // (a header cut short). The installed copy is left alone.
        } else {
            // A read-only file of that name is never replaced. Windows refuses
            // to create over it; where the file system would let this process
            // write it regardless (an administrator's rights), it must refuse
            // just the same.
            DWORD attributes = ::GetFileAttributesA(destination.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY))
                destinationFile.Reset(::LZOpenFileA(&destination[0], &destinationInfo, OF_CREATE));
            if (!destinationFile.IsValid()) {
                result = kLzBadOutHandle;
            } else {
                // A compressed file cut short expands "successfully" to fewer
                // bytes than its header declares; take that as a read error.
                LONG declared = ::LZSeek(sourceFile.Get(), 0, 2);
                ::LZSeek(sourceFile.Get(), 0, 0);
                result = ::CopyLZFile(sourceFile.Get(), destinationFile.Get());
                if (result >= 0 && declared >= 0 && result < declared) result = kLzRead;
            }
        }
        lastResult = result;

        if (result < 0) {
            LzErrorReport report = LzErrorReportFor(result);
            if (report.Shown) {
                const char* detail = nullptr;
                if (report.Detail == LzDetail::SourceName) detail = FileNamePart(source.c_str());
                if (report.Detail == LzDetail::DestinationName) detail = FileNamePart(destination.c_str());
                ReportMessage(owner, MsgInstallationError, report.Message, detail);
            }
            sourceFile.Reset();
            destinationFile.Reset();
            ::LZDone();
            progress.Close();
            return false;
        }
    }
    ::LZDone();
    progress.Close();
    return true;
}
