#include "shell/ReportMessage.h"
#include "shell/plain/MessageTable.h"
#include "tests/kit/BoxWatcher.h"

#include <gtest/gtest.h>

TEST(ReportMessage, ShowsTitleAndTextFromTheTable)
{
    BoxWatcher boxes;
    boxes.Expect("Installation Error", IDOK);
    EXPECT_EQ(IDOK, ReportMessage(nullptr, MsgInstallationError, MsgUseSetup));
    boxes.Expect("Installation Error", IDOK);
    ReportMessage(nullptr, MsgInstallationError, MsgDirectoryCreationError, "C:\\TSW30\\LOOKUP");
    boxes.Expect("Update Error", IDOK);
    ReportMessage(nullptr, MsgUpdateError, MsgFileNotFound, "TSW.EX_");
    std::vector<std::string> expected = {
        "Installation Error|Install Tessaryn with SETUP.EXE",
        "Installation Error|Directory Creation Error C:\\TSW30\\LOOKUP",
        "Update Error|File Not Found TSW.EX_",
    };
    EXPECT_EQ(expected, boxes.Transcript());
}
