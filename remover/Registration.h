#pragma once

enum class RegistrationState {
    Removed,  // this program's registration was there and is deleted
    Absent,   // none, or another installation's, left as it is
    Left,     // this program's, and it could not be deleted (no rights)
};

// Deletes the Uninstall key Tessaryn 3.0 where its UninstallString starts
// this program (`ownPath`). A later installation into another folder takes
// the key over; this removal then leaves it to that one.
RegistrationState RemoveRegistration(const char* ownPath);
