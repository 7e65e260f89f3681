#pragma once

// Asks Program Manager over DDE to delete the group Tessaryn 3.0, personal
// or common. True when it took the command, or refused it because it has no
// such group (a removal taken up again after the group went); false when
// Program Manager did not answer.
bool DeleteProgramGroup(bool common);
