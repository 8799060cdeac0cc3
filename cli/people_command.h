// group and link when they match people: names of several fields, other
// fields that confirm or refute, weights fitted to the data, groups that
// do not chain (matching/engine.h does the work). What the two share.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "command_parts.h"
#include "name_list.h"
#include "person_list.h"
#include "../matching/engine.h"
#include "../records/warnings.h"

// Whether the options ask for the matching of people rather than of
// single names: --person, or an option only it takes.
bool wantsPersonMatching(const Options& options);

// The help's section on the matching of people, for group and link.
extern const std::string kPersonHelp;

int runPersonGroup(CommandContext& context, const std::vector<std::string>& words);
int runPersonLink(CommandContext& context, const std::vector<std::string>& words);

// The options of a run: the name fields of A (and of B), the --with
// fields (without their kinds) and their columns, and the engine's
// settings. engine.nicknames points to the table built in
// (shippedNicknames), to `nicknameFile` (--nicknames FILE), or is null
// (--nicknames none).
struct PersonSettings {
    std::vector<std::string> fieldsA, fieldsB, with;
    std::vector<ValueColumn> withColumns;
    PeopleSettings engine;
    std::shared_ptr<const NicknameTable> nicknameFile;
};

// Reads the --with values of the lists into their kinds' forms and says
// what was guessed of each field and which values did not fit.
void prepareWithValues(const CommandContext& context, const std::vector<PeopleColumns*>& lists,
                       PersonSettings* settings);
// EXIT_USAGE after a message when an option is wrong, or when the table of
// --nicknames FILE cannot be read or is malformed.
int readSettings(const CommandContext& context, PersonSettings* settings);

// A matcher with the library's functions; EXIT_USAGE after a message when
// the library lacks one.
int openPersonMatcher(const CommandContext& context, PersonMatcher* matcher);

// What a report of the run shares for group and link: the command, the
// settings, the match and its picture, the summary line, the warnings.
struct ReportRun;
ReportRun reportRun(const CommandContext& context, const char* command, const PersonSettings& settings,
                    const PeopleMatch& match, const RunPicture& picture, const std::string& summary,
                    uint64_t warnings);

// The width problems of a list, then its fields that could not be read.
void reportProblems(const NameList& list, Warnings& warnings);

// A list of single names (surnames alone, say) rarely holds the evidence
// that two records are one person; where candidates met but none matched,
// says what groups look-alike names instead.
void hintAtCodes(const CommandContext& context, const PersonSettings& settings, uint64_t candidates, size_t matched);
