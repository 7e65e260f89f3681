#include "engine/plain/LzErrors.h"

#include "shell/plain/MessageTable.h"

LzErrorReport LzErrorReportFor(long result)
{
    switch (result) {
    case -1: return {true, MsgFileNotFound, LzDetail::SourceName};
    case -2: return {true, MsgFileCreationError, LzDetail::DestinationName};
    case -3: return {true, MsgFileReadError, LzDetail::SourceName};
    case -4: return {true, MsgInsufficientDiskSpace, LzDetail::None};
    case -5: return {true, MsgInsufficientMemory, LzDetail::None};
    case -8: return {true, MsgIncorrectFileFormat, LzDetail::SourceName};
    default: return {};
    }
}
