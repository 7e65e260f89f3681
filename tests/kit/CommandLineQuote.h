#pragma once
#include <string>
#include <vector>

// Quotes one argument so that the C runtime's command-line splitting (and
// Wine's, for programs of this machine) gives it back unchanged: blanks,
// tabs, double quotes and an empty argument are quoted, backslashes before a
// quote are doubled.
std::string QuoteArgument(const std::string& argument);

// The arguments quoted one by one and joined with single blanks.
std::string JoinArguments(const std::vector<std::string>& arguments);
