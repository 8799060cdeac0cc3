// What the parts of the command share: the options, the function table as
// read from the library, and the writing of results and messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command.h"
#include "host_calls.h"
#include "../records/record_reader.h"
#include "../records/streams.h"

struct Options {
    bool cp1252 = false;              // --encoding cp1252: bytes pass as they are
    TextFormat format = TextFormat::TSV;
    std::vector<std::string> fields;  // --field, split at commas
    bool header = false;              // --header
    int progress = -1;                // --progress 1, --no-progress 0, else -1 (when useful)
    std::string key;                  // group and link: --key, --limit, --confirm as written
    std::string limit;
    std::string confirm;
    bool all = false;                 // --all
    bool json = false;                // --json
    bool best = false;                // --best
    std::vector<std::string> given;   // the options given that only some commands read
};

struct CommandContext {
    const Library& library;
    Console& console;
    Options options;
    std::vector<FunctionRow> table;

    // "ovrin: TEXT" and a line end on stderr.
    void message(const std::string& text) const;
    // A usage error: the message, and EXIT_USAGE to return.
    int usage(const std::string& text) const;
    // On stdout, as it is; a failed write is remembered and turns the exit
    // status into EXIT_USAGE with a message at the end.
    void print(const std::string& text);
    int outputError = 0;  // the system's error number of the first lost write
    // Output that could not be written: the message, and EXIT_USAGE.
    int lostOutput(const Output& out) const;

    // The function named `word`: any case, "ov" optional; null if none.
    const FunctionRow* findFunction(const std::string& word) const;
    // The text of a library string (Windows-1252) for the console.
    std::string toConsole(const std::string& libraryText) const;
};

// "a string, a string and an integer"
std::string parameterTypesText(const FunctionRow& row);
// "ovGuthMatch takes a string, a string and an integer"
std::string takesText(const FunctionRow& row);
// "ovGuthMatch(name1, name2, mode)"
std::string callFormText(const FunctionRow& row);
// "ovrin guthmatch NAME1 NAME2 MODE"
std::string commandFormText(const FunctionRow& row);
// The command word of a function: its name without "ov", lower case.
std::string commandWord(const FunctionRow& row);

// Reads a 32-bit integer written in decimal, with an optional sign.
bool parseInt32(const std::string& text, int32_t* value);

int runCall(CommandContext& context, const std::vector<std::string>& words);
int runMap(CommandContext& context, const std::vector<std::string>& words);
int runInfo(CommandContext& context);
int runHelp(CommandContext& context, const std::string& function);
int runGroup(CommandContext& context, const std::vector<std::string>& words);
int runLink(CommandContext& context, const std::vector<std::string>& words);
// The help of group or link.
std::string commandHelp(const std::string& command);
