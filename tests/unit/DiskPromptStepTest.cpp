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

// What SETUP.EXE /Q's source root holds decides between an installation and
// an update: disk 1 and an update set hold the same list, only disk 2's
// lists (in the root or in the sizes list) tell them apart.
TEST(KindOfSource, OnlyTheUpdatesListAloneIsAnUpdate)
{
    constexpr unsigned Disk1 = 1u << ListDisk1, Disk2 = 1u << ListDisk2, Lookup = 1u << ListLookup;
    const struct {
        const char* Case;
        unsigned Lists;
        const char* Sizes;  // null: no SIZES.LST
        SourceKind Kind;
    } rows[] = {
        {"installation point", Disk1 | Disk2 | Lookup, "5 disk_1.lst TSW.EXE\r\n7 disk_2.lst A.DLL\r\n",
         SourceKind::Installation},
        {"point of data lists only", Disk1 | Lookup, nullptr, SourceKind::Installation},
        {"disk 1", Disk1, "5 disk_1.lst TSW.EXE\r\n3 disk_2e.lst ITU.TBL\r\n", SourceKind::Installation},
        {"update set", Disk1, "5 disk_1.lst TSW.EXE\r\n", SourceKind::Update},
        {"update set before sizes lists", Disk1, nullptr, SourceKind::Update},
        {"no list at all", 0, nullptr, SourceKind::Installation},
    };
    for (const auto& row : rows) {
        SetSizes sizes;
        if (row.Sizes) ASSERT_TRUE(ReadSizeList(row.Sizes, std::strlen(row.Sizes), sizes)) << row.Case;
        EXPECT_EQ(row.Kind, KindOfSource(row.Lists, sizes)) << row.Case;
    }
}
