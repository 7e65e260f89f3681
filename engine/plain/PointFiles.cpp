#include "engine/plain/PointFiles.h"

#include "engine/plain/ChecksumList.h"
#include "shell/plain/CommandLine.h"

bool IsJoinedPointFile(const char* rootName)
{
    return EqualsIgnoringCase(rootName, kChecksumListName);
}

bool IsLeftOutOfPoint(const char* rootName)
{
    return EqualsIgnoringCase(rootName, "INSTALL.OPT");
}

bool FindChecksumLine(const char* data, std::size_t size, const char* name, ExpectedContents& expected)
{
    expected = ExpectedContents{};
    ListLineReader reader(data, size);
    char line[kListLineSize];
    for (ListLineReader::Result read; (read = reader.Next(line)) != ListLineReader::Result::End;) {
        ChecksumLine parsed;
        if (read == ListLineReader::Result::Bad || !ParseChecksumLine(line, parsed)) return false;
        if (EqualsIgnoringCase(parsed.Name, name)) {
            expected = {true, parsed.Crc, parsed.Size};
            return true;
        }
    }
    return true;
}
