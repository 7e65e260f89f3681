#include "engine/plain/LzErrors.h"

#include <gtest/gtest.h>

#include <climits>

TEST(LzErrorReportFor, MapsEachExpansionErrorToItsMessageAndDetail)
{
    // Retry: a cause the person can mend; memory is not theirs to free.
    struct Case { long Result; int Message; LzDetail Detail; bool Retry; };
    const Case shown[] = {
        {-1, 13, LzDetail::SourceName, true},       // LZERROR_BADINHANDLE: File Not Found
        {-2, 15, LzDetail::DestinationName, true},  // LZERROR_BADOUTHANDLE: File Creation Error
        {-3, 14, LzDetail::SourceName, true},       // LZERROR_READ: File Read Error
        {-4, 17, LzDetail::DestinationName, true},  // LZERROR_WRITE: Insufficient Disk Space
        {-5, 18, LzDetail::None, false},            // LZERROR_GLOBALLOC: Insufficient Memory
        {-8, 19, LzDetail::SourceName, true},       // LZERROR_UNKNOWNALG: Incorrect File Format
    };
    for (const Case& c : shown) {
        LzErrorReport report = LzErrorReportFor(c.Result);
        EXPECT_TRUE(report.Shown) << c.Result;
        EXPECT_EQ(c.Message, report.Message) << c.Result;
        EXPECT_EQ(c.Detail, report.Detail) << c.Result;
        EXPECT_EQ(c.Retry, report.Retry) << c.Result;
    }
}

TEST(LzErrorReportFor, ShowsNothingForTheOtherCodes)
{
    for (long result : {-6L, -7L, -9L, -100L, LONG_MIN, 0L, 1L, 4096L})
        EXPECT_FALSE(LzErrorReportFor(result).Shown) << result;
}
