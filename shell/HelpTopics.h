#pragma once
#include <windows.h>

// The installer's help file and the topics its windows open.
extern const char* const HelpFileName;  // "tsw_inst.hlp"

enum HelpTopic : UINT {
    HelpTopicMain = 4096,
    HelpTopicLocalInstall = 4097,
    HelpTopicNetworkInstall = 4098,
    HelpTopicUpdate = 4101,
};

// Opens a topic of the help file for the window, in the name of its
// top-level owner (the main window).
void ShowHelpTopic(HWND owner, HelpTopic topic);

// Tells the help viewer that the installer no longer needs it (HELP_QUIT),
// which the viewer takes as its cue to close; only after the help was
// opened. The main window calls it as it goes.
void QuitHelp(HWND main);
