#include "shell/MainWindow.h"

#include "framework/DeviceContext.h"
#include "shell/BuildVariant.h"
#include "shell/DisplayMetrics.h"
#include "shell/HelpTopics.h"
#include "shell/plain/Settings.h"

const char* const MainWindowTitle = "Tessaryn 3.0 Installation";
const char* const HelpFileName = "tsw_inst.hlp";

namespace {
// Fills an empty source drive from the current directory's drive letter.
void SourceDriveFromCurrentDirectory()
{
    char current[257];
    DWORD length = ::GetCurrentDirectoryA(sizeof current, current);
    // A longer directory does not fit; the letter then stays unknown.
    if (length == 0 || length >= sizeof current) return;
    UpperCaseAscii(current);
    SourceDrive[0] = current[0];
    SourceDrive[1] = '\0';
}
}

TMainWindow::TMainWindow(TWindow* parent, const char* title, bool readOptions)
    : TFrameWindow(parent, title)
{
    AssignMenu("INSTALL_COMMANDS");
    AddCommand(CmHelp, [this] { ShowHelp(); });

    MeasureDisplay();

    Attr.Style = IsNtBuild ? WS_CAPTION : (WS_CAPTION | WS_SYSMENU);
    Attr.X = DisplayMetrics.PixelsPerInchX / 2;
    Attr.Y = DisplayMetrics.PixelsPerInchY / 2;
    Attr.W = ::GetSystemMetrics(SM_CXSCREEN) - DisplayMetrics.PixelsPerInchX;
    Attr.H = ::GetSystemMetrics(SM_CYBORDER) + 10 * DisplayMetrics.CharHeight +
             ::GetSystemMetrics(SM_CYCAPTION) + ::GetSystemMetrics(SM_CYMENU);

    if (SourceDrive[0] == '\0') SourceDriveFromCurrentDirectory();
    if (readOptions) ReadOptions();

    const char* picture = JoinPath(ProgramDirectory, "install.emf", 1);
    if (picture) Picture.Reset(::GetEnhMetaFileA(picture));
}

TMainWindow::~TMainWindow()
{
    // A window still there is destroyed without its WM_DESTROY reaching this object.
    if (GetHandle()) QuitHelp(GetHandle());
}

LRESULT TMainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The viewer would outlive the program its help is about, and keep the
    // launcher's temporary folder (its current directory) from going.
    if (message == WM_DESTROY) QuitHelp(GetHandle());
    return TFrameWindow::HandleMessage(message, wParam, lParam);
}

void TMainWindow::Paint(TDC& dc, bool, const RECT&)
{
    if (!Picture.IsValid()) return;
    RECT client;
    ::GetClientRect(GetHandle(), &client);
    int half = (client.right - client.left) / 2;
    int marginX = DisplayMetrics.PixelsPerInchX / 8;
    int marginY = (IsNtBuild ? DisplayMetrics.PixelsPerInchY : DisplayMetrics.PixelsPerInchX) / 8;
    RECT target = {marginX, marginY, half - marginX, client.bottom - marginY};
    int saved = dc.SaveDC();
    dc.SetBkMode(TRANSPARENT);
    dc.PlayEnhMetaFile(Picture.Get(), target);
    dc.RestoreDC(saved);
}

void TMainWindow::ShowHelp()
{
    ShowHelpTopic(GetHandle(), HelpTopicMain);
}

bool TMainWindow::SaveOptionsOnClose()
{
    WriteOptions();
    return true;
}
