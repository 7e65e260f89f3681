#pragma once
#include "engine/plain/RunProgress.h"
#include "engine/plain/SizeList.h"

// What the run in progress knows of its sizes, process-wide as the settings
// are (one run at a time, on the one thread): the set's sizes as this run
// read them from disk 1, and how far it has come, which its progress windows
// show as a bar.
SetSizes& SizesOfSet();
extern RunProgress RunBar;
