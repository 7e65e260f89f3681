#include "engine/plain/DiskPromptStep.h"

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
