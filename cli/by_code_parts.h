// What group and link share when they group single names by a shared
// code (--confirm, --key, --limit): their settings, the records they read,
// and the warnings about records that take no part.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_parts.h"
#include "name_list.h"
#include "../matching/by_code.h"
#include "../records/warnings.h"

// Reads --key, --limit and --confirm from the options; EXIT_USAGE after a
// message when one is wrong.
int readMatchSettings(const CommandContext& context, MatchSettings* settings);

// The settings, the name field of each of `lists` lists (--field gives
// one for each, or one for all), and the library's functions for them;
// EXIT_USAGE after a message when one is wrong or missing.
struct Prepared {
    MatchSettings settings;
    std::vector<std::string> selectors;
    MatchFunctions functions;
};
int prepare(CommandContext& context, size_t lists, Prepared* prepared);

// Each record's distinct name, or kNoName.
std::vector<uint32_t> recordNames(const NameList& list);

// The width problems of a whole list.
void reportWidths(const NameList& list, Warnings& warnings);

// Reports the records that take no part, in record order: those without a
// usable name, and those whose name the encoder gives no code.
void reportRecords(const CommandContext& context, const NameList& list, const ClassList& classes, KeyKind key,
                   const std::string& consequence, Warnings& warnings);

uint64_t countWithoutCode(const NameList& list, const ClassList& classes);
