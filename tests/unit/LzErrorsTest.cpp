#include "engine/plain/LzErrors.h"

#include <gtest/gtest.h>

#include <climits>

TEST(LzErrorReportFor, MapsEachExpansionErrorToItsMessageAndDetail)
{
    struct Case { long Result; int Message; LzDetail Detail; };
    const Case shown[] = {
        {-1, 13, LzDetail::SourceName},       // LZERROR_BADINHANDLE: File Not Found
        {-2, 15, LzDetail::DestinationName},  // LZERROR_BADOUTHANDLE: File Creation Error
        {-3, 14, LzDetail::SourceName},       // LZERROR_READ: File Read Error
        {-4, 17, LzDetail::None},             // LZERROR_WRITE: Insufficient Disk Space
        {-5, 18, LzDetail::None},             // LZERROR_GLOBALLOC: Insufficient Memory
        {-8, 19, LzDetail::SourceName},       // LZERROR_UNKNOWNALG: Incorrect File Format
    };
    for (const Case& c : shown) {
        LzErrorReport report = LzErrorReportFor(c.Result);
        EXPECT_TRUE(report.Shown) << c.Result;
        EXPECT_EQ(c.Message, report.Message) << c.Result;
        EXPECT_EQ(c.Detail, report.Detail) << c.Result;
    }
}

TEST(LzErrorReportFor, ShowsNothingForTheOtherCodes)
{
    for (long result : {-6L, -7L, -9L, -100L, LONG_MIN, 0L, 1L, 4096L})
        EXPECT_FALSE(LzErrorReportFor(result).Shown) << result;
}
