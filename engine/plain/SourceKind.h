#pragma once
#include "engine/plain/SizeList.h"

// What an unattended run's source holds, told from its root alone, so that
// one batch line (SETUP.EXE /Q) serves an installation point and an update
// point. An installation set holds disk 2's lists beside disk 1's (a point
// holds both disks in one tree) or, on disk 1 alone, names them in its sizes
// list; an update set, and a point made of one, holds the update's list and
// no other, and its sizes list (where it has one) names no other.
enum class SourceKind { Installation, Update };

// `rootLists`: bit (1 << ListIndex) set for each list file the root holds;
// `sizes`: the root's SIZES.LST as read (Known false: it has none). A root
// without the update's list is no update: the installation reports what it
// misses.
SourceKind KindOfSource(unsigned rootLists, const SetSizes& sizes);
