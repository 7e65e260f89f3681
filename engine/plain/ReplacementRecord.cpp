#include "engine/plain/ReplacementRecord.h"

#include "engine/plain/ListFile.h"
#include "engine/plain/ScratchName.h"
#include "shell/plain/PathHelpers.h"

#include <cstring>
#include <strings.h>

const char* const kReplacementRecordName = "~TSWMOVE.TMP";

namespace {
const char* const Header = "TSW30 RENAMES";
const char* const RenameMark = "RENAME";

// The folder part of a path as the expander takes it (FolderOf).
std::string FolderPart(const std::string& path)
{
    return path.substr(0, static_cast<std::size_t>(FileNamePart(path.c_str()) - path.c_str()));
}

// A scratch path of the record: a numbered scratch name in the folder of the
// installed file it belongs to.
bool IsScratchBeside(const std::string& scratch, const std::string& folder)
{
    if (scratch.size() != folder.size() + kScratchNameSize - 1) return false;
    if (strncasecmp(scratch.c_str(), folder.c_str(), folder.size()) != 0) return false;
    return IsNumberedScratchName(scratch.c_str() + folder.size());
}

bool ParseLine(const std::string& line, Replacement& file)
{
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
    if (second == std::string::npos || line.find(' ', second + 1) != std::string::npos) return false;
    file.Fresh = line.substr(0, first);
    file.Aside = line.substr(first + 1, second - first - 1);
    file.Installed = line.substr(second + 1);
    if (!IsSafeInstalledName(file.Installed)) return false;
    const std::string folder = FolderPart(file.Installed);
    return IsScratchBeside(file.Fresh, folder) && IsScratchBeside(file.Aside, folder) &&
           strcasecmp(file.Fresh.c_str(), file.Aside.c_str()) != 0;
}
}

std::string RecordHeader()
{
    return std::string(Header) + "\r\n";
}

std::string RecordLine(const Replacement& file)
{
    return file.Fresh + ' ' + file.Aside + ' ' + file.Installed + "\r\n";
}

std::string RecordRenameMark()
{
    return std::string(RenameMark) + "\r\n";
}

namespace {
RecordState ReadRecord(const char* data, std::size_t size, std::vector<Replacement>& files)
{
    if (size && std::memchr(data, '\0', size)) return RecordState::Bad;
    RecordState state = RecordState::Expanding;
    bool headerRead = false;
    std::size_t position = 0;
    while (position < size) {
        const char* end = static_cast<const char*>(std::memchr(data + position, '\n', size - position));
        if (!end) {
            // Cut while it was written: before the mark, the line of a file
            // never written to (or the mark itself); anywhere else, damage.
            if (!headerRead || state == RecordState::Renaming) return RecordState::Bad;
            break;
        }
        std::string line(data + position, end);
        position = static_cast<std::size_t>(end - data) + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (state == RecordState::Renaming) return RecordState::Bad;  // nothing follows the mark
        if (!headerRead) {
            if (line != Header) return RecordState::Bad;
            headerRead = true;
            continue;
        }
        if (line == RenameMark) {
            state = RecordState::Renaming;
            continue;
        }
        Replacement file;
        if (!ParseLine(line, file)) return RecordState::Bad;
        files.push_back(file);
    }
    return headerRead ? state : RecordState::Bad;
}
}

RecordState ReadReplacementRecord(const char* data, std::size_t size, std::vector<Replacement>& files)
{
    files.clear();
    const RecordState state = ReadRecord(data, size, files);
    if (state == RecordState::Bad) files.clear();
    return state;
}
