#pragma once
#include "engine/plain/RunProgress.h"
#include "engine/plain/SizeList.h"

// What the runs of this process know of their sizes, process-wide as the
// settings are (one run at a time, on the one thread): the set's sizes as
// last read from disk 1, and how far the run in progress has come, which
// its progress windows show as a bar.
SetSizes& SizesOfSet();
extern RunProgress RunBar;
