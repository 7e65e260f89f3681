#pragma once

// What a negative expansion result is reported as.
enum class LzDetail { None, SourceName, DestinationName };

struct LzErrorReport {
    bool Shown = false;        // some codes show nothing
    int Message = 0;
    LzDetail Detail = LzDetail::None;
};

LzErrorReport LzErrorReportFor(long result);

// The expansion library's error codes.
constexpr long kLzBadInHandle = -1;
constexpr long kLzBadOutHandle = -2;
constexpr long kLzRead = -3;
constexpr long kLzWrite = -4;
