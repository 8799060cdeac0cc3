// What the parts of the command share: the options, the function table as
// read from the library, and the writing of results and messages.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "command.h"
#include "../host/host_calls.h"
#include "../host/match_calls.h"
#include "options.h"
#include "../records/record_reader.h"
#include "../records/streams.h"

struct CommandContext {
    const Library& library;
    Console& console;
    Options options;
    std::vector<FunctionRow> table;
    std::vector<std::string> arguments;  // as given, without the program name
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();

    // The command line as a shell would take it back: "ovrin group --csv 'a b.csv'".
    std::string commandLine() const;
    // Seconds since the command started.
    double seconds() const;
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
    // The functions the matching calls, the encoder that `key` names among
    // them; false with `problem` set when one is missing or takes other
    // parameters.
    bool findMatchFunctions(KeyKind key, MatchFunctions* functions, std::string* problem) const;
    // The library's error answer that stopped the matching, with
    // "; stopped", and EXIT_FAULTS to return.
    int stopped(const std::string& libraryError) const;
    // The text of a library string (Windows-1252) for the console.
    std::string toConsole(const std::string& libraryText) const;
};

// "ovGuthMatch takes a string, a string and an integer"
std::string takesText(const FunctionRow& row);
// "ovGuthMatch(name1, name2, mode)"
std::string callFormText(const FunctionRow& row);
// "ovrin guthmatch NAME1 NAME2 MODE"
std::string commandFormText(const FunctionRow& row);
// The command word of a function: its name without "ov", lower case.
std::string commandWord(const FunctionRow& row);

// How map, group and link read their input, as the options say.
TableSettings tableSettings(const Options& options, const std::vector<std::string>& selectors);

// Reads a 32-bit integer written in decimal, with an optional sign.
bool parseInt32(const std::string& text, int32_t* value);

int runCall(CommandContext& context, const std::vector<std::string>& words);
int runMap(CommandContext& context, const std::vector<std::string>& words);
int runInfo(CommandContext& context);
int runHelp(CommandContext& context, const std::string& function);
int runGroup(CommandContext& context, const std::vector<std::string>& words);
int runLink(CommandContext& context, const std::vector<std::string>& words);
// The help of map, group or link.
std::string commandHelp(const std::string& command);
