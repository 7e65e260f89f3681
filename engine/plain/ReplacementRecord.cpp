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
// One line of the record, its line break and a carriage return before it
// dropped. False where no line break ends it: the record stops there.
bool NextLine(const char* data, std::size_t size, std::size_t& position, std::string& line)
{
    if (position >= size) return false;
    const char* end = static_cast<const char*>(std::memchr(data + position, '\n', size - position));
    if (!end) return false;
    line.assign(data + position, end);
    position = static_cast<std::size_t>(end - data) + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}
}

RecordState ReadReplacementRecord(const char* data, std::size_t size, std::vector<Replacement>& files)
{
    files.clear();
    // An update writes each piece of its record whole and flushed before it
    // acts on it, and writes nothing after the mark. Whatever stops the lines
    // (a header or a line cut by a power cut, the NUL bytes an interrupted
    // append leaves on the disk, an empty record) is where the update stopped
    // writing: the lines before it name the new files, which go. A cut append
    // may also hold bytes a cluster kept from an earlier record, a mark among
    // them: the mark counts only as the last line after lines that all read
    // right.
    std::size_t position = 0;
    std::string line;
    if (!NextLine(data, size, position, line) || line != Header) return RecordState::Expanding;
    while (NextLine(data, size, position, line)) {
        if (line == RenameMark) return position == size ? RecordState::Renaming : RecordState::Expanding;
        Replacement file;
        if (line.find('\0') != std::string::npos || !ParseLine(line, file)) break;
        files.push_back(file);
    }
    return RecordState::Expanding;
}
