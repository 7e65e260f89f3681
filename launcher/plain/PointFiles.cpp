#include "launcher/plain/PointFiles.h"

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
