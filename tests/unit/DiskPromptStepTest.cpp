#include "engine/plain/DiskNames.h"
#include "engine/plain/DiskPromptStep.h"
#include "engine/plain/SourceKind.h"

#include <cstring>

#include <gtest/gtest.h>

// A removable drive always asks; another drive asks only for a list that is
// not there; an unattended run never asks.
TEST(FirstDiskPromptStep, OnlyADiskThatCanBeSwappedIsAskedFor)
{
    const struct {
        bool Removable, ListPresent, Unattended;
        DiskPromptStep Step;
    } rows[] = {
        {true, true, false, DiskPromptStep::Ask},       {true, false, false, DiskPromptStep::Ask},
        {false, true, false, DiskPromptStep::Confirm},  {false, false, false, DiskPromptStep::Ask},
        {true, true, true, DiskPromptStep::Confirm},    {true, false, true, DiskPromptStep::EndRun},
        {false, true, true, DiskPromptStep::Confirm},   {false, false, true, DiskPromptStep::EndRun},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.Step, FirstDiskPromptStep(row.Removable, row.ListPresent, row.Unattended))
            << row.Removable << row.ListPresent << row.Unattended;
}

// Disk 1 and an update set hold the same list: only disk 2's lists, in the
// root or in its sizes list, tell an installation set.
TEST(KindOfSource, OnlyTheUpdatesListAloneIsAnUpdate)
{
    constexpr unsigned Disk1 = 1u << ListDisk1, Disk2 = 1u << ListDisk2, Lookup = 1u << ListLookup;
    const struct {
        unsigned Lists;
        const char* Sizes;
        SourceKind Kind;
    } rows[] = {
        {Disk1 | Disk2, "", SourceKind::Installation},  {Disk1 | Lookup, "", SourceKind::Installation},
        {Disk1, "5 disk_1.lst A.EXE\r\n3 disk_2e.lst B.TBL\r\n", SourceKind::Installation},
        {Disk1, "5 disk_1.lst A.EXE\r\n", SourceKind::Update}, {Disk1, "", SourceKind::Update},
        {0, "", SourceKind::Installation},
    };
    for (const auto& row : rows) {
        SetSizes sizes;
        ASSERT_TRUE(ReadSizeList(row.Sizes, std::strlen(row.Sizes), sizes)) << row.Sizes;
        EXPECT_EQ(row.Kind, KindOfSource(row.Lists, sizes)) << row.Lists << " " << row.Sizes;
    }
}
