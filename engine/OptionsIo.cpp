#include "shell/MainWindow.h"

#include "engine/plain/OptionsFile.h"
#include "framework/UniqueHandle.h"
#include "shell/BuildVariant.h"
#include "shell/plain/FormatText.h"
#include "shell/plain/Settings.h"

BeepFunction OptionsBeep = &::MessageBeep;

namespace {
void OptionsFileName(char (&name)[16])
{
    FormatText(name, sizeof name, "%c:\\INSTALL.OPT", SourceDrive[0]);
}

// Opens INSTALL.OPT on the source drive; the NT build beeps when it cannot.
TFile OpenOptionsFile(DWORD access, DWORD creation)
{
    char name[16];
    OptionsFileName(name);
    // Read, it is shared with other readers: the installations from one
    // installation point read it at once.
    const DWORD share = access == GENERIC_READ ? FILE_SHARE_READ : 0;
    TFile file(::CreateFileA(name, access, share, nullptr, creation, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!file.IsValid() && IsNtBuild && OptionsBeep) OptionsBeep(0);
    return file;
}
}

void TMainWindow::ReadOptions()
{
    TFile file = OpenOptionsFile(GENERIC_READ, OPEN_EXISTING);
    if (!file.IsValid()) return;
    OptionsImage image{};
    DWORD read = 0;
    ::ReadFile(file.Get(), image.data(), static_cast<DWORD>(image.size()), &read, nullptr);
    DecodeOptions(image.data(), read, Settings);
}

bool TMainWindow::WriteOptions()
{
    TFile file = OpenOptionsFile(GENERIC_WRITE, CREATE_ALWAYS);
    if (!file.IsValid()) return false;
    OptionsImage image = EncodeOptions(Settings);
    DWORD written = 0;
    ::WriteFile(file.Get(), image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
    return true;
}
