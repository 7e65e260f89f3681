#pragma once
#include <windows.h>

#include <cstddef>

// One entry field of the installation and update dialogs, read the way both
// store their entries: the whole text (never cut to another entry), trimmed
// and upper-cased, stored in its setting before it is checked. A refused
// entry is reported under the dialog's title with the field's message, and
// the dialog stays open.
struct EntryField {
    int Id;
    char* Setting;
    std::size_t Size;
    bool (*Acceptable)(const char* entry);
    int Message;
};

bool AcceptEntryField(HWND dialog, int title, const EntryField& field);
