#include "shell/HelpTopics.h"

namespace {
// Whether this process asked the viewer for a topic; a viewer that another
// program opened is none of the installer's business.
bool HelpOpened = false;
}

void ShowHelpTopic(HWND owner, HelpTopic topic)
{
    // The viewer counts its callers by window and stays open while one has
    // not said HELP_QUIT: a dialog asks in its main window's name, which
    // says HELP_QUIT as it goes.
    while (HWND up = ::GetParent(owner)) owner = up;
    HelpOpened = true;
    ::WinHelpA(owner, HelpFileName, HELP_CONTEXT, topic);
}

void QuitHelp(HWND main)
{
    if (!HelpOpened) return;
    HelpOpened = false;
    ::WinHelpA(main, HelpFileName, HELP_QUIT, 0);
}
