// A whole input held in memory for the matching of people: every record as
// it came (as NameList keeps it, for the writer) and, per record, its name
// made of the words of several fields and the plain values of the --with
// fields.
#pragma once

#include <string>
#include <vector>

#include "../matching/prepare.h"
#include "command_parts.h"
#include "name_list.h"

struct PersonList {
    // The records; with --json, each one's name is its name fields joined
    // by a blank.
    NameList list;
    PeopleColumns columns;  // per record, its name and --with values as the matching takes them
};

// Reads `people->list.input` with the name fields `nameFields` and the
// --with fields `withFields` (numbers from 1 or header names). A field that
// is empty or cannot be read counts as missing; one that cannot be read is
// noted in `list.problems`. EXIT_DONE, or EXIT_USAGE after its message.
int readPersonList(const CommandContext& context, const std::vector<std::string>& nameFields,
                   const std::vector<std::string>& withFields, PersonList* people);
