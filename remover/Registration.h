#pragma once

enum class RegistrationState {
    Ours,     // the Uninstall key starts this program
    Absent,   // there is none
    Another,  // it starts another installation's removal program
};

// Whose the Uninstall key Tessaryn 3.0 is: a later installation into another
// folder takes it over, and with it the program group.
RegistrationState RegistrationOf(const char* ownPath);

// Deletes the Uninstall key; false where it cannot (no rights).
bool DeleteRegistration();
