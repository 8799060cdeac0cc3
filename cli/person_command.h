// group and link when they match people: names of several fields, other
// fields that confirm or refute, weights fitted to the data, groups that
// do not chain (person_matcher.h and matching/ do the work).
#pragma once

#include <string>
#include <vector>

#include "command_parts.h"

// Whether the options ask for the matching of people rather than of
// single names: --person, or an option only it takes.
bool wantsPersonMatching(const Options& options);

// The help's section on the matching of people, for group and link.
extern const char kPersonHelp[];

int runPersonGroup(CommandContext& context, const std::vector<std::string>& words);
int runPersonLink(CommandContext& context, const std::vector<std::string>& words);
