#pragma once

// What became of the program group Tessaryn 3.0.
enum class GroupFate {
    Removed,  // gone (also where Program Manager had no such group any more)
    Shared,   // it holds another installation's items: it stays with that one
    Left,     // Program Manager did not remove it (refused, did not answer, or
              // could not list its items where that was needed): the next removal tries again
};

// Removes the group, personal or common, over DDE. Where this program's
// Uninstall entry names it (`registered`), the group is this installation's
// and goes whole. Without an entry (NT 3.51, or one another installation's
// removal took away) the group may hold another installation's items too:
// it goes only where each of its items has a command line that names a path
// in `folder`. Program Manager deletes an
// item by its title, and two installations' items have the same titles: an
// item of this one is never deleted alone.
GroupFate RemoveProgramGroup(bool common, bool registered, const char* folder);
