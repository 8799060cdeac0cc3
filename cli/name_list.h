// A whole input held in memory for group and link: every record as it
// came, and the name in its chosen field in Windows-1252, each distinct name
// stored once. A record whose name cannot be passed to the library keeps
// its place, marked as having no name, and is reported with its line.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "../records/large_vector.h"
#include "../records/string_pool.h"
#include "command_parts.h"

struct NameRecord {
    uint64_t offset = 0;      // of its text in NameList::text
    uint64_t line = 0;        // the number of its first line, from 1
    uint32_t size = 0;        // of its text, without the line end
    uint32_t name = kNoName;  // its distinct name, or kNoName
    uint32_t missing = 0;     // fields it lacks to be as wide as the header
    bool unclosedQuote = false;  // it ends inside a quoted CSV text
    LineEnd end = LineEnd::LF;
};

struct NameList {
    std::string input;  // the file name, or "-"
    std::string where;  // for messages: the file name, or "stdin"
    bool bom = false;   // the input began with a UTF-8 byte order mark (not kept in the text)
    bool hasHeader = false;
    std::string headerText;  // as it came
    LineEnd headerEnd = LineEnd::LF;
    bool headerUnclosedQuote = false;
    std::vector<std::string> headerFields;
    size_t width = 0;  // the header's fields, or without one the first record's
    LargeVector<char> text;
    LargeVector<NameRecord> records;
    StringPool names;  // Windows-1252, in order of first appearance
    uint64_t withoutName = 0;
    // What was wrong with records, in record order: the record's index and
    // the reason (the first hundred and one; later ones are not shown, only
    // counted).
    std::vector<std::pair<size_t, std::string>> problems;
    uint64_t problemsNotKept = 0;
    // Records narrower or wider than the header: one warning each, with a
    // count, at the line of the first.
    std::vector<std::pair<uint64_t, std::string>> widthProblems;

    const char* recordText(const NameRecord& r) const { return text.data() + r.offset; }
};

// Reads every record of `list->input` ("-" for stdin) with its name in the
// field that `selector` names (a number from 1, or a header name, which
// implies a header). A record without a usable name is noted in
// `problems`. Answers EXIT_DONE, or EXIT_USAGE after its message (an
// unreadable file, a record over 16 MiB, no such column).
int readNameList(const CommandContext& context, const std::string& selector, NameList* list);

// What readNameList and the list of people both do with the table they
// read: the header's facts once the table has started; each record kept as
// it came (its name is the caller's to set); and at the end the list's
// width and width warnings, with EXIT_DONE, or EXIT_USAGE after the message
// of a read that failed.
void takeHeader(const TableReader& table, NameList* list);
// Notes a problem of the record being read; only as many are kept as can
// be shown, the rest counted.
void noteProblem(NameList* list, const std::string& problem);
NameRecord keepRecord(const TableRecord& record, NameList* list);
int finishList(const CommandContext& context, const TableReader& table, NameList* list);

// The text of a library string for messages and output: UTF-8 unless the
// command works in Windows-1252.
std::string quotedName(const CommandContext& context, const char* name, size_t size);
