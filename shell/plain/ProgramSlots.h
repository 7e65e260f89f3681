#pragma once

// Program items one run keeps for its Program Manager group: the first six
// titled programs of its lists.
constexpr int kProgramSlots = 6;
