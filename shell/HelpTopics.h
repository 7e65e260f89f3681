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

// Opens a topic of the help file for the window.
inline void ShowHelpTopic(HWND owner, HelpTopic topic)
{
    ::WinHelpA(owner, HelpFileName, HELP_CONTEXT, topic);
}
