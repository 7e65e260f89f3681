#include "shell/HelpTopics.h"

namespace {
// Whether this process asked the viewer for a topic; a viewer that another
// program opened is none of the installer's business.
bool HelpOpened = false;
}

void ShowHelpTopic(HWND owner, HelpTopic topic)
{
    HelpOpened = true;
    ::WinHelpA(owner, HelpFileName, HELP_CONTEXT, topic);
}

void QuitHelp(HWND main)
{
    if (!HelpOpened) return;
    HelpOpened = false;
    ::WinHelpA(main, HelpFileName, HELP_QUIT, 0);
}
