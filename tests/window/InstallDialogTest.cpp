// The installation dialog, local (3048) and network (3049), run modally as
// the install command runs it, with a watcher thread filling its fields and
// pressing its buttons.
#include "dialogs/InstallDialog.h"
#include "tests/kit/BoxWatcher.h"
#include "tests/kit/PrivateDesktop.h"
#include "tests/kit/GuiDriver.h"
#include "tests/kit/HelpViewerStandIn.h"
#include "tests/window/InstallerFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>


namespace {
const char* const LocalTitle = "Tessaryn 3.0 Local Drive Installation";
const char* const NetworkTitle = "Tessaryn 3.0 Network Drive Installation";
const char* const DirectoryNotValid = "Installation Error|Install to Directory Not Valid";
const char* const DriveNotValid = "Installation Error|Install from Drive Not Valid";
const int ComponentIds[] = {105, 106, 107, 108, 109};

struct Variant {
    int Resource;
    const char* Title;
    bool IsNetwork;
};
const Variant Local = {DlgLocalInstall, LocalTitle, false};
const Variant Network = {DlgNetworkInstall, NetworkTitle, true};

class InstallDialog : public DialogTest {
protected:
    int Run(const Variant& variant)
    {
        TInstall_Dlg dialog(Window, variant.Resource, variant.IsNetwork);
        return dialog.Execute();
    }

    std::array<int, 5> Flags() const
    {
        std::array<int, 5> flags;
        for (int i = 0; i < 5; ++i) flags[i] = Settings.Flags[i];
        return flags;
    }
};

// What the dialog showed when it opened.
struct Shown {
    HWND Dialog = nullptr;
    std::string Drive;
    std::string Directory;
    std::array<bool, 5> Checks = {};
    LRESULT DriveLimit = 0;
    LRESULT DirectoryLimit = 0;
    bool Centred = false;
};

std::function<void(HWND)> Record(Shown& shown)
{
    return [&shown](HWND dialog) {
        shown.Dialog = dialog;
        shown.Drive = ControlText(dialog, IdSourceDrive);
        shown.Directory = ControlText(dialog, IdTargetDirectory);
        for (int i = 0; i < 5; ++i) shown.Checks[i] = IsChecked(dialog, ComponentIds[i]);
        shown.DriveLimit = ::SendDlgItemMessageA(dialog, IdSourceDrive, EM_GETLIMITTEXT, 0, 0);
        shown.DirectoryLimit = ::SendDlgItemMessageA(dialog, IdTargetDirectory, EM_GETLIMITTEXT, 0, 0);
        shown.Centred = CentredOnScreen(dialog);
    };
}

std::function<void(HWND)> Enter(const char* drive, const char* directory)
{
    return [drive, directory](HWND dialog) {
        SetControlText(dialog, IdSourceDrive, drive);
        SetControlText(dialog, IdTargetDirectory, directory);
    };
}

TEST_F(InstallDialog, OpensWithTheSourceDriveTheDefaultDirectoryAndEveryComponentCentredOnTheScreen)
{
    for (const Variant& variant : {Local, Network}) {
        BoxWatcher boxes;
        Shown shown;
        boxes.Expect(variant.Title, IDCANCEL, Record(shown));

        EXPECT_EQ(IDCANCEL, Run(variant));

        EXPECT_EQ("A", shown.Drive) << variant.Title;
        EXPECT_EQ("C:\\TSW30", shown.Directory);
        EXPECT_EQ((std::array<bool, 5>{true, true, true, true, true}), shown.Checks);
        EXPECT_EQ(1, shown.DriveLimit);
        EXPECT_EQ(80, shown.DirectoryLimit);
        EXPECT_TRUE(shown.Centred);
        EXPECT_EQ(0u, boxes.PendingAnswers());
    }
}

TEST_F(InstallDialog, OpensWithTheSettingsAsTheyStand)
{
    std::strcpy(Settings.TargetDirectory, "D:\\APPS\\TSW");
    const std::uint8_t flags[5] = {1, 0, 1, 0, 0};
    std::memcpy(Settings.Flags, flags, 5);
    SourceDrive[0] = 'B';
    BoxWatcher boxes;
    Shown shown;
    boxes.Expect(LocalTitle, IDCANCEL, Record(shown));

    EXPECT_EQ(IDCANCEL, Run(Local));

    EXPECT_EQ("B", shown.Drive);
    EXPECT_EQ("D:\\APPS\\TSW", shown.Directory);
    EXPECT_EQ((std::array<bool, 5>{true, false, true, false, false}), shown.Checks);
}

// Each refusal is one box owned by the dialog, which stays open with the
// entries as they were typed; the next press takes the next entry.
TEST_F(InstallDialog, RefusesEveryDirectoryThatIsNoTargetDriveAndStaysOpen)
{
    const char* const refused[] = {"A:\\TSW30", "B:\\TSW30", "3:\\X", "\\\\SERVER\\SHARE\\TSW", "TSW30",
                                   "c:\\ts\"w"};
    BoxWatcher boxes;
    HWND dialog = nullptr;
    std::vector<HWND> owners;
    std::vector<std::string> afterRefusal;
    for (const char* directory : refused) {
        boxes.Expect(LocalTitle, IDOK, [&dialog, directory](HWND window) {
            dialog = window;
            SetControlText(window, IdTargetDirectory, directory);
        });
        boxes.Expect("Installation Error", IDOK, [&](HWND box) {
            owners.push_back(::GetWindow(box, GW_OWNER));
            afterRefusal.push_back(ControlText(dialog, IdTargetDirectory));
        });
    }
    boxes.Expect(LocalTitle, IDCANCEL);

    EXPECT_EQ(IDCANCEL, Run(Local));

    EXPECT_EQ(std::vector<std::string>(6, DirectoryNotValid), MessageBoxes(boxes));
    EXPECT_EQ(std::vector<HWND>(6, dialog), owners);
    std::vector<std::string> typed(std::begin(refused), std::end(refused));
    EXPECT_EQ(typed, afterRefusal) << "the dialog clears no control";
    // The last refused entry was stored, upper-cased, before it was checked.
    EXPECT_STREQ("C:\\TS\"W", Settings.TargetDirectory);
    EXPECT_EQ((std::array<int, 5>{1, 1, 1, 1, 1}), Flags());
}

TEST_F(InstallDialog, ABlankDriveIsRefusedBeforeTheDirectoryIsRead)
{
    BoxWatcher boxes;
    boxes.Expect(NetworkTitle, IDOK, Enter("", ""));
    boxes.Expect("Installation Error", IDOK);
    boxes.Expect(NetworkTitle, IDOK, Enter(" ", "D:\\OTHER"));
    boxes.Expect("Installation Error", IDOK);
    boxes.Expect(NetworkTitle, IDCANCEL);

    EXPECT_EQ(IDCANCEL, Run(Network));

    std::vector<std::string> expected = {DriveNotValid, DriveNotValid};
    EXPECT_EQ(expected, MessageBoxes(boxes));
    EXPECT_STREQ("", SourceDrive);
    EXPECT_STREQ("C:\\TSW30", Settings.TargetDirectory);
}

TEST_F(InstallDialog, StoresTheEntriesTrimmedAndUpperCasedWithTheComponentChoice)
{
    BoxWatcher boxes;
    boxes.Expect(LocalTitle, IDOK, [](HWND dialog) {
        SetControlText(dialog, IdSourceDrive, "d");
        SetControlText(dialog, IdTargetDirectory, " c:\\apps\\tsw ");
        SetCheck(dialog, 106, false);
        SetCheck(dialog, 108, false);
    });

    EXPECT_EQ(IDOK, Run(Local));

    EXPECT_STREQ("D", SourceDrive);
    EXPECT_STREQ("C:\\APPS\\TSW", Settings.TargetDirectory);
    EXPECT_EQ((std::array<int, 5>{1, 0, 1, 0, 1}), Flags());
    EXPECT_TRUE(MessageBoxes(boxes).empty());
}

TEST_F(InstallDialog, TakesADigitAsDriveAndADriveAloneAsDirectory)
{
    BoxWatcher boxes;
    boxes.Expect(NetworkTitle, IDOK, Enter("3", "z:"));

    EXPECT_EQ(IDOK, Run(Network));

    EXPECT_STREQ("3", SourceDrive);
    EXPECT_STREQ("Z:", Settings.TargetDirectory);
}

TEST_F(InstallDialog, AllComponentsClearedStillInstallsWithFiveZeroFlags)
{
    BoxWatcher boxes;
    boxes.Expect(LocalTitle, IDOK, [](HWND dialog) {
        for (int id : ComponentIds) SetCheck(dialog, id, false);
    });

    EXPECT_EQ(IDOK, Run(Local));

    EXPECT_EQ((std::array<int, 5>{0, 0, 0, 0, 0}), Flags());
    EXPECT_TRUE(MessageBoxes(boxes).empty());
}

TEST_F(InstallDialog, ARefusedDirectoryThenCancelIsWhatTheNextDialogShows)
{
    BoxWatcher boxes;
    boxes.Expect(LocalTitle, IDOK, [](HWND dialog) {
        SetControlText(dialog, IdSourceDrive, "e");
        SetControlText(dialog, IdTargetDirectory, "a:\\tsw30");
        SetCheck(dialog, 105, false);
    });
    boxes.Expect("Installation Error", IDOK);
    boxes.Expect(LocalTitle, IDCANCEL);
    EXPECT_EQ(IDCANCEL, Run(Local));

    EXPECT_STREQ("E", SourceDrive);
    EXPECT_STREQ("A:\\TSW30", Settings.TargetDirectory);
    EXPECT_EQ((std::array<int, 5>{1, 1, 1, 1, 1}), Flags()) << "only Install stores the flags";

    Shown next;
    boxes.Expect(NetworkTitle, IDCANCEL, Record(next));
    EXPECT_EQ(IDCANCEL, Run(Network));
    EXPECT_EQ("E", next.Drive);
    EXPECT_EQ("A:\\TSW30", next.Directory);
    EXPECT_EQ((std::array<bool, 5>{true, true, true, true, true}), next.Checks);
}

TEST_F(InstallDialog, CancelAndTheCloseBoxChangeNothing)
{
    BoxWatcher boxes;
    auto changeEverything = [](HWND dialog) {
        SetControlText(dialog, IdSourceDrive, "q");
        SetControlText(dialog, IdTargetDirectory, "Q:\\ELSEWHERE");
        for (int id : ComponentIds) SetCheck(dialog, id, false);
    };
    boxes.Expect(LocalTitle, IDCANCEL, changeEverything);
    EXPECT_EQ(IDCANCEL, Run(Local));
    // Button 0 is no command of the dialog: only the close box ends it.
    boxes.Expect(NetworkTitle, 0, [&](HWND dialog) {
        changeEverything(dialog);
        SetControlText(dialog, IdSourceDrive, "");
        ::PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, Run(Network));

    EXPECT_STREQ("A", SourceDrive);
    EXPECT_STREQ("C:\\TSW30", Settings.TargetDirectory);
    EXPECT_EQ((std::array<int, 5>{1, 1, 1, 1, 1}), Flags());
    EXPECT_TRUE(MessageBoxes(boxes).empty()) << "no check runs on Cancel or close";
}

// A directory longer than 79 characters, typed up to the field's limit of 80
// or restored whole from the options file, is refused, never cut to another.
TEST_F(InstallDialog, TypingStopsAtOneDriveLetterAndEightyCharactersAndALongerDirectoryIsRefusedWhole)
{
    const std::string restored = "C:\\" + std::string(120, 'R');
    CopyBounded(Settings.TargetDirectory, sizeof Settings.TargetDirectory, restored.c_str());
    const std::string longDirectory = "C:\\" + std::string(90, 'A');
    std::string shown;
    std::string drive;
    std::string typed;
    BoxWatcher boxes;
    boxes.Expect(LocalTitle, IDOK, [&](HWND dialog) { shown = ControlText(dialog, IdTargetDirectory); });
    boxes.Expect("Installation Error", IDOK);
    boxes.Expect(LocalTitle, IDOK, [&](HWND dialog) {
        SetControlText(dialog, IdSourceDrive, "");
        TypeInto(dialog, IdSourceDrive, "xyz");
        drive = ControlText(dialog, IdSourceDrive);
        SetControlText(dialog, IdTargetDirectory, "");
        TypeInto(dialog, IdTargetDirectory, longDirectory);
        typed = ControlText(dialog, IdTargetDirectory);
    });
    boxes.Expect("Installation Error", IDOK);
    boxes.Expect(LocalTitle, IDOK, [&](HWND dialog) {
        SetControlText(dialog, IdTargetDirectory, longDirectory.substr(0, 79).c_str());
    });

    EXPECT_EQ(IDOK, Run(Local));

    EXPECT_EQ(restored, shown);
    EXPECT_EQ((std::vector<std::string>{DirectoryNotValid, DirectoryNotValid}), MessageBoxes(boxes));
    EXPECT_EQ("x", drive);
    EXPECT_EQ(longDirectory.substr(0, 80), typed);
    EXPECT_STREQ("X", SourceDrive);
    EXPECT_EQ(longDirectory.substr(0, 79), Settings.TargetDirectory);
}

// ---------------------------------------------------------------------------
// The templates.

struct Control {
    int Id;
    std::string Class;
    std::string Text;
    LONG_PTR Style;  // the kind and role bits that matter
};

std::vector<Control> Controls(HWND dialog)
{
    std::vector<Control> controls;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        Control control;
        control.Id = static_cast<short>(::GetDlgCtrlID(child));
        control.Class = WindowClassName(child);
        control.Text = WindowText(child);
        LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
        LONG_PTR kind = control.Class == "Edit" ? (style & ES_AUTOHSCROLL) : (style & 0x1F);
        control.Style = kind | (style & (WS_TABSTOP | WS_GROUP | WS_BORDER));
        // Wine draws a bordered edit field of a dialog with a client edge instead.
        if (::GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) control.Style |= WS_BORDER;
        controls.push_back(control);
    }
    return controls;
}

bool operator==(const Control& a, const Control& b)
{
    return a.Id == b.Id && a.Class == b.Class && a.Text == b.Text && a.Style == b.Style;
}

void PrintTo(const Control& c, std::ostream* os)
{
    *os << "{" << c.Id << ", " << c.Class << ", \"" << c.Text << "\", 0x" << std::hex << c.Style << std::dec << "}";
}

std::vector<Control> ExpectedControls(bool defaultInstall)
{
    const LONG_PTR checkBox = BS_AUTOCHECKBOX;
    return {
        {-1, "Static", "Install From Drive", SS_RIGHT},
        {IdSourceDrive, "Edit", "A", WS_BORDER | WS_TABSTOP},
        {-1, "Static", "Install to Directory", SS_RIGHT},
        {IdTargetDirectory, "Edit", "C:\\TSW30", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {-1, "Button", "Install", BS_GROUPBOX},
        {105, "Button", "Tessaryn Program", checkBox | WS_GROUP | WS_TABSTOP},
        {106, "Button", "Crane Rain Files", checkBox},
        {107, "Button", "CCIR Rain Files", checkBox},
        {108, "Button", "Canadian Rain Files", checkBox},
        {109, "Button", "Example Files", checkBox},
        {IDOK, "Button", "Install", (defaultInstall ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_GROUP | WS_TABSTOP},
        {IDCANCEL, "Button", "Cancel", BS_PUSHBUTTON | WS_TABSTOP},
        {IdHelpButton, "Button", "Help", BS_PUSHBUTTON | WS_TABSTOP},
    };
}

struct Layout {
    std::vector<Control> Controls;
    std::vector<int> TabOrder;
    std::string Font;
    int FontPoints = 0;
    RECT Client = {};
    RECT TemplateSize = {};
    std::vector<RECT> Boxes;
    RECT SourceField = {};
    RECT DirectoryField = {};
    LONG_PTR Style = 0;
};

Layout ReadLayout(HWND dialog)
{
    Layout layout;
    layout.Controls = Controls(dialog);
    layout.TabOrder = TabOrder(dialog, IdSourceDrive);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    LOGFONTA description = {};
    ::GetObjectA(font, sizeof description, &description);
    layout.Font = description.lfFaceName;
    HDC screen = ::GetDC(nullptr);
    layout.FontPoints = ::MulDiv(-description.lfHeight, 72, ::GetDeviceCaps(screen, LOGPIXELSY));
    ::ReleaseDC(nullptr, screen);
    ::GetClientRect(dialog, &layout.Client);
    layout.TemplateSize = DialogUnits(dialog, 0, 0, 221, 167);
    for (int id : ComponentIds) layout.Boxes.push_back(ControlRect(dialog, id));
    layout.SourceField = ControlRect(dialog, IdSourceDrive);
    layout.DirectoryField = ControlRect(dialog, IdTargetDirectory);
    layout.Style = ::GetWindowLongPtrA(dialog, GWL_STYLE);
    return layout;
}

TEST_F(InstallDialog, TheTemplatesHoldTheControlsStylesAndTabOrderOfTheResource)
{
    for (const Variant& variant : {Local, Network}) {
        BoxWatcher boxes;
        Layout layout;
        std::string title;
        boxes.Expect(variant.Title, IDCANCEL, [&](HWND dialog) {
            layout = ReadLayout(dialog);
            title = WindowText(dialog);
        });
        ASSERT_EQ(IDCANCEL, Run(variant));

        SCOPED_TRACE(variant.Title);
        EXPECT_EQ(variant.Title, title);
        EXPECT_EQ(ExpectedControls(!variant.IsNetwork), layout.Controls);
        EXPECT_EQ((std::vector<int>{IdSourceDrive, IdTargetDirectory, 105, IDOK, IDCANCEL, IdHelpButton}),
                  layout.TabOrder);
        EXPECT_EQ("MS Sans Serif", layout.Font);
        EXPECT_EQ(8, layout.FontPoints);
        EXPECT_EQ(layout.TemplateSize.right, layout.Client.right);
        EXPECT_EQ(layout.TemplateSize.bottom, layout.Client.bottom);
        EXPECT_EQ(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                  layout.Style & (DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU));
        EXPECT_EQ(layout.SourceField.left, layout.DirectoryField.left) << "both fields start at the same x";
        EXPECT_LT(layout.SourceField.top, layout.DirectoryField.top);
        const std::vector<RECT>& box = layout.Boxes;
        if (!variant.IsNetwork) {
            // One column, 105 to 109 top to bottom.
            for (int i = 1; i < 5; ++i) {
                EXPECT_EQ(box[0].left, box[i].left);
                EXPECT_LT(box[i - 1].top, box[i].top);
            }
        } else {
            // Two columns: 105, 107, 109 on the left, 106 and 108 on the right, row by row.
            EXPECT_EQ(box[0].left, box[2].left);
            EXPECT_EQ(box[0].left, box[4].left);
            EXPECT_EQ(box[1].left, box[3].left);
            EXPECT_LT(box[0].left, box[1].left);
            EXPECT_EQ(box[0].top, box[1].top);
            EXPECT_EQ(box[2].top, box[3].top);
            EXPECT_LT(box[0].top, box[2].top);
            EXPECT_LT(box[2].top, box[4].top);
        }
    }
}

// ---------------------------------------------------------------------------
// Help. Wine's WinHelpA hands the request to the help viewer's window; a
// stand-in for it on the test's own desktop takes the request, so no viewer
// is started and nothing can hang.

TEST_F(InstallDialog, HelpAsksForTheTopicOfEachVariantAndTheDialogStaysOpen)
{
    TSTESTKIT_RUN_ON_PRIVATE_DESKTOP();
    HelpViewerStandIn viewer;
    ASSERT_TRUE(viewer.IsTheViewer());
    for (const Variant& variant : {Local, Network}) {
        BoxWatcher boxes;
        HWND dialog = nullptr;
        bool openAfterHelp = false;
        boxes.Expect(variant.Title, IdHelpButton, [&](HWND window) { dialog = window; });
        boxes.Expect(variant.Title, IDCANCEL, [&](HWND window) { openAfterHelp = window == dialog; });

        EXPECT_EQ(IDCANCEL, Run(variant));

        EXPECT_TRUE(openAfterHelp);
        EXPECT_TRUE(MessageBoxes(boxes).empty());
    }
    ASSERT_EQ(2u, viewer.Requests.size());
    EXPECT_EQ(static_cast<unsigned>(HELP_CONTEXT), viewer.Requests[0].Command);
    EXPECT_EQ(4097, viewer.Requests[0].Context);
    EXPECT_EQ("tsw_inst.hlp", viewer.Requests[0].File);
    EXPECT_EQ(static_cast<unsigned>(HELP_CONTEXT), viewer.Requests[1].Command);
    EXPECT_EQ(4098, viewer.Requests[1].Context);
    EXPECT_EQ("tsw_inst.hlp", viewer.Requests[1].File);
    // In the main window's name, which says HELP_QUIT as it goes.
    EXPECT_EQ(Window->GetHandle(), viewer.Requests[0].Caller);
    EXPECT_EQ(Window->GetHandle(), viewer.Requests[1].Caller);
}
}
