// The maintenance update dialog (3052), run modally as the update command
// runs it, with a watcher thread filling its fields and pressing its buttons.
#include "dialogs/InstallDialog.h"
#include "dialogs/UpdateDialog.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/PrivateDesktop.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/HelpViewerStandIn.h"
#include "tests/window/InstallerFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>


namespace {
const char* const Title = "Maintenance Update";
const char* const DirectoryNotValid = "Update Error|Install to Directory Not Valid";
const char* const SourceNotValid = "Update Error|Install from Drive Not Valid";

class UpdateDialog : public DialogTest {
protected:
    void SetUp() override
    {
        DialogTest::SetUp();
        std::strcpy(UpdateSource, "A");
    }

    int Run()
    {
        TUpdatetsw_Dlg dialog(Window, UpdateSource);
        return dialog.Execute();
    }

    char UpdateSource[kUpdateSourceSize] = {};
};

std::function<void(HWND)> Enter(const char* directory, const char* source)
{
    return [directory, source](HWND dialog) {
        SetControlText(dialog, IdUpdateDirectory, directory);
        SetControlText(dialog, IdUpdateSource, source);
    };
}

TEST_F(UpdateDialog, OpensWithTheDirectoryAndTheSourceCentredOnTheScreen)
{
    std::strcpy(Settings.TargetDirectory, "D:\\APPS\\TSW");
    std::strcpy(UpdateSource, "B");
    BoxWatcher boxes;
    std::string directory, source;
    LRESULT directoryLimit = 0, sourceLimit = 0;
    bool centred = false;
    boxes.Expect(Title, IDCANCEL, [&](HWND dialog) {
        directory = ControlText(dialog, IdUpdateDirectory);
        source = ControlText(dialog, IdUpdateSource);
        directoryLimit = ::SendDlgItemMessageA(dialog, IdUpdateDirectory, EM_GETLIMITTEXT, 0, 0);
        sourceLimit = ::SendDlgItemMessageA(dialog, IdUpdateSource, EM_GETLIMITTEXT, 0, 0);
        centred = CentredOnScreen(dialog);
    });

    EXPECT_EQ(IDCANCEL, Run());

    EXPECT_EQ("D:\\APPS\\TSW", directory);
    EXPECT_EQ("B", source);
    EXPECT_EQ(80, directoryLimit);
    EXPECT_EQ(80, sourceLimit);
    EXPECT_TRUE(centred);
}

TEST_F(UpdateDialog, WithBothFieldsEmptyOnlyTheDirectoryIsReported)
{
    BoxWatcher boxes;
    boxes.Expect(Title, IDOK, Enter("", ""));
    boxes.Expect("Update Error", IDOK);
    boxes.Expect(Title, IDCANCEL);

    EXPECT_EQ(IDCANCEL, Run());

    EXPECT_EQ(std::vector<std::string>{DirectoryNotValid}, MessageBoxes(boxes));
    EXPECT_STREQ("", Settings.TargetDirectory) << "stored before it was checked";
    EXPECT_STREQ("A", UpdateSource) << "the source is not read after a refused directory";
}

TEST_F(UpdateDialog, AnEmptySourceIsReportedAfterTheDirectoryWasStoredUpperCased)
{
    BoxWatcher boxes;
    HWND dialog = nullptr;
    HWND owner = nullptr;
    boxes.Expect(Title, IDOK, [&](HWND window) {
        dialog = window;
        Enter(" c:\\tsw30 ", "   ")(window);
    });
    boxes.Expect("Update Error", IDOK, [&](HWND box) { owner = ::GetWindow(box, GW_OWNER); });
    boxes.Expect(Title, IDCANCEL);

    EXPECT_EQ(IDCANCEL, Run());

    EXPECT_EQ(std::vector<std::string>{SourceNotValid}, MessageBoxes(boxes));
    EXPECT_EQ(dialog, owner);
    EXPECT_STREQ("C:\\TSW30", Settings.TargetDirectory);
    EXPECT_STREQ("", UpdateSource);
}

TEST_F(UpdateDialog, StoresBothEntriesTrimmedAndUpperCasedInAnyForm)
{
    BoxWatcher boxes;
    boxes.Expect(Title, IDOK, Enter(" d:\\apps\\tsw ", " a:\\newfiles "));
    EXPECT_EQ(IDOK, Run());
    EXPECT_STREQ("D:\\APPS\\TSW", Settings.TargetDirectory);
    EXPECT_STREQ("A:\\NEWFILES", UpdateSource);

    // Unlike the installation dialog, any directory form is taken here.
    boxes.Expect(Title, IDOK, Enter("tsw30", "\\\\server\\share\\upd"));
    EXPECT_EQ(IDOK, Run());
    EXPECT_STREQ("TSW30", Settings.TargetDirectory);
    EXPECT_STREQ("\\\\SERVER\\SHARE\\UPD", UpdateSource);
    boxes.Expect(Title, IDOK, Enter("a:\\tsw30", "c"));
    EXPECT_EQ(IDOK, Run());
    EXPECT_STREQ("A:\\TSW30", Settings.TargetDirectory);
    EXPECT_STREQ("C", UpdateSource);
    EXPECT_TRUE(MessageBoxes(boxes).empty());
}

// No Program Manager command could carry a double quote, and the update
// re-creates the group in this directory.
TEST_F(UpdateDialog, ADoubleQuoteInTheDirectoryIsRefused)
{
    BoxWatcher boxes;
    boxes.Expect(Title, IDOK, Enter("c:\\ts\"w", "c:\\upd"));
    boxes.Expect("Update Error", IDOK);
    boxes.Expect(Title, IDCANCEL);

    EXPECT_EQ(IDCANCEL, Run());

    EXPECT_EQ(std::vector<std::string>{DirectoryNotValid}, MessageBoxes(boxes));
    EXPECT_STREQ("A", UpdateSource);
    // Stored like every other entry: trimmed and upper-cased.
    EXPECT_STREQ("C:\\TS\"W", Settings.TargetDirectory);
}

TEST_F(UpdateDialog, CancelAndTheCloseBoxChangeNothing)
{
    BoxWatcher boxes;
    boxes.Expect(Title, IDCANCEL, Enter("q:\\elsewhere", "q"));
    EXPECT_EQ(IDCANCEL, Run());
    boxes.Expect(Title, 0, [](HWND dialog) {
        Enter("", "")(dialog);
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, Run());

    EXPECT_STREQ("C:\\TSW30", Settings.TargetDirectory);
    EXPECT_STREQ("A", UpdateSource);
    EXPECT_TRUE(MessageBoxes(boxes).empty());
}

// The directory field scrolls and takes 80 characters, of which only 79 are
// accepted (a longer directory is refused, never cut); the source field does
// not scroll, so typing stops where the field is full.
TEST_F(UpdateDialog, TypingStopsAtEightyCharactersInTheDirectoryAndAtTheSourceFieldsWidth)
{
    const std::string longText = "C:\\" + std::string(90, 'W');
    std::string directory, source;
    int sourceFieldWidth = 0, typedWidth = 0;
    BoxWatcher boxes;
    boxes.Expect(Title, IDOK, [&](HWND dialog) {
        SetControlText(dialog, IdUpdateDirectory, "");
        TypeInto(dialog, IdUpdateDirectory, longText);
        directory = ControlText(dialog, IdUpdateDirectory);
        SetControlText(dialog, IdUpdateSource, "");
        TypeInto(dialog, IdUpdateSource, longText);
        source = ControlText(dialog, IdUpdateSource);
        HWND field = ::GetDlgItem(dialog, IdUpdateSource);
        RECT format;
        ::SendMessageA(field, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
        sourceFieldWidth = format.right - format.left;
        HDC dc = ::GetDC(field);
        HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(field, WM_GETFONT, 0, 0)));
        SIZE extent;
        ::GetTextExtentPoint32A(dc, source.c_str(), static_cast<int>(source.size()), &extent);
        typedWidth = extent.cx;
        ::SelectObject(dc, old);
        ::ReleaseDC(field, dc);
    });
    boxes.Expect("Update Error", IDOK);
    boxes.Expect(Title, IDOK, [&](HWND dialog) {
        SetControlText(dialog, IdUpdateDirectory, longText.substr(0, 79).c_str());
    });

    EXPECT_EQ(IDOK, Run());

    EXPECT_EQ(std::vector<std::string>{DirectoryNotValid}, MessageBoxes(boxes));
    EXPECT_EQ(longText.substr(0, 80), directory);
    EXPECT_EQ(longText.substr(0, 79), Settings.TargetDirectory);
    ASSERT_FALSE(source.empty());
    EXPECT_LT(source.size(), 80u);
    EXPECT_EQ(longText.substr(0, source.size()), source);
    EXPECT_LE(typedWidth, sourceFieldWidth);
    EXPECT_EQ(source, UpdateSource);
}

struct Placed {
    int Id;
    std::string Class;
    std::string Text;
    RECT Units;  // position and size in dialog units, as left, top, right, bottom
    LONG_PTR Style;
};

TEST_F(UpdateDialog, TheTemplateHoldsTheControlsPositionsStylesAndTabOrderOfTheResource)
{
    std::strcpy(Settings.TargetDirectory, "C:\\TSW30");
    const std::vector<Placed> expected = {
        {IdUpdateDirectory, "Edit", "C:\\TSW30", {8, 25, 138, 37}, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {-1, "Static", "Update Tessaryn Program", {8, 4, 136, 12}, SS_CENTER},
        {-1, "Static", "In Directory", {8, 14, 136, 22}, SS_CENTER},
        {IdUpdateSource, "Edit", "A", {8, 50, 138, 62}, WS_BORDER | WS_TABSTOP},
        {IDOK, "Button", "Ok", {7, 67, 47, 81}, BS_DEFPUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, "Button", "Cancel", {52, 67, 92, 81}, BS_PUSHBUTTON | WS_TABSTOP},
        {IdHelpButton, "Button", "Help", {97, 67, 137, 81}, BS_PUSHBUTTON | WS_TABSTOP},
        {-1, "Static", "Update From Drive-Directory", {8, 39, 136, 47}, SS_CENTER},
    };
    BoxWatcher boxes;
    std::vector<std::string> mismatches;
    std::vector<int> tabOrder;
    std::string title, font;
    bool sizeMatches = false;
    LONG_PTR dialogStyle = 0;
    boxes.Expect(Title, IDCANCEL, [&](HWND dialog) {
        title = WindowText(dialog);
        tabOrder = TabOrder(dialog, IdUpdateDirectory);
        dialogStyle = ::GetWindowLongPtrA(dialog, GWL_STYLE);
        RECT client, size = DialogUnits(dialog, 0, 0, 142, 84);
        ::GetClientRect(dialog, &client);
        sizeMatches = client.right == size.right && client.bottom == size.bottom;
        LOGFONTA description = {};
        ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0)), sizeof description,
                     &description);
        font = description.lfFaceName;
        std::size_t index = 0;
        for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT), ++index) {
            if (index >= expected.size()) {
                mismatches.push_back("an extra control");
                break;
            }
            const Placed& want = expected[index];
            int id = static_cast<short>(::GetDlgCtrlID(child));
            LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
            LONG_PTR kind = want.Class == "Edit" ? (style & ES_AUTOHSCROLL) : (style & 0x1F);
            LONG_PTR seen = kind | (style & (WS_TABSTOP | WS_GROUP | WS_BORDER));
            if (::GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) seen |= WS_BORDER;
            RECT at;
            ::GetWindowRect(child, &at);
            ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
            const RECT& units = want.Units;
            RECT want_at = DialogUnits(dialog, units.left, units.top, units.right - units.left, units.bottom - units.top);
            std::string name = std::to_string(index) + " (" + want.Text + ")";
            if (id != want.Id) mismatches.push_back(name + ": id " + std::to_string(id));
            if (WindowClassName(child) != want.Class) mismatches.push_back(name + ": class " + WindowClassName(child));
            if (WindowText(child) != want.Text) mismatches.push_back(name + ": text " + WindowText(child));
            if (seen != want.Style) mismatches.push_back(name + ": style " + std::to_string(seen));
            if (!::EqualRect(&at, &want_at))
                mismatches.push_back(name + ": at " + std::to_string(at.left) + "," + std::to_string(at.top) + " " +
                                     std::to_string(at.right - at.left) + "x" + std::to_string(at.bottom - at.top));
        }
        if (index < expected.size()) mismatches.push_back("missing controls");
    });

    ASSERT_EQ(IDCANCEL, Run());

    EXPECT_EQ(Title, title);
    EXPECT_EQ(std::vector<std::string>{}, mismatches);
    EXPECT_EQ((std::vector<int>{IdUpdateDirectory, IdUpdateSource, IDOK, IDCANCEL, IdHelpButton}), tabOrder);
    EXPECT_TRUE(sizeMatches);
    EXPECT_EQ("MS Sans Serif", font);
    EXPECT_EQ(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
              dialogStyle & (DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
}

TEST_F(UpdateDialog, HelpAsksForTopic4101AndTheDialogStaysOpen)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    HelpViewerStandIn viewer;
    ASSERT_TRUE(viewer.IsTheViewer());
    BoxWatcher boxes;
    HWND dialog = nullptr;
    bool openAfterHelp = false;
    boxes.Expect(Title, IdHelpButton, [&](HWND window) { dialog = window; });
    boxes.Expect(Title, IDCANCEL, [&](HWND window) { openAfterHelp = window == dialog; });

    EXPECT_EQ(IDCANCEL, Run());

    EXPECT_TRUE(openAfterHelp);
    ASSERT_EQ(1u, viewer.Requests.size());
    EXPECT_EQ(Window->GetHandle(), viewer.Requests[0].Caller) << "asked in the main window's name";
    EXPECT_EQ(static_cast<unsigned>(HELP_CONTEXT), viewer.Requests[0].Command);
    EXPECT_EQ(4101, viewer.Requests[0].Context);
    EXPECT_EQ("tsw_inst.hlp", viewer.Requests[0].File);
    EXPECT_TRUE(MessageBoxes(boxes).empty());
}
}
