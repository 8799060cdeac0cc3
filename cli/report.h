// --report FILE: one self-contained HTML page of a run of group or link
// (inline SVG and CSS, no script, no network): where the threshold falls
// among the candidates' weights, what each level of each comparison weighs,
// the pairs nearest the threshold and why, the groups' sizes, and with
// --truth precision, recall and F1 against the threshold. Its numbers are
// the run's: those of the summary on stderr and of --explain.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_parts.h"
#include "name_list.h"
#include "../matching/engine.h"

struct ReportRun {
    std::string command;     // "group" or "link"
    std::string commandLine; // as typed, for the page
    const NameList* a = nullptr;
    const NameList* b = nullptr;  // link: B's list; group: null (pairs are of `a`)
    uint32_t split = 0;           // link: B's records follow A's in the pairs
    std::vector<std::string> names;  // the comparisons' names
    const PeopleMatch* match = nullptr;
    const RunPicture* picture = nullptr;
    double threshold = 0.5;
    // The summary line as stderr has it, and what it counts.
    std::string summary;
    uint64_t written = 0;         // pairs written (link) or records in groups (group)
    const PeopleGroups* groups = nullptr;  // group
    uint64_t warnings = 0;
    double seconds = 0;
    bool cp1252 = false;  // the records' text is Windows-1252
    // With --truth: each candidate's truth, the true pairs in all, and the
    // run's own counts (the chosen point).
    bool truth = false;
    std::vector<bool> candidateTrue;
    uint64_t truePairs = 0;
    PairCounts chosen;
};

// The page. Text from the records is escaped: it shows, never runs.
std::string reportPage(const ReportRun& run);

// Writes the page to --report's file: EXIT_DONE, or EXIT_USAGE after a
// message when it cannot be written.
int writeReportFile(const CommandContext& context, const ReportRun& run);

// Each candidate of the picture: whether its two records share a truth
// label (`truthOfB` for link's B, whose records follow A's from `split`).
std::vector<bool> candidatesTrue(const RunPicture& picture, const std::vector<uint32_t>& truthOf,
                                 const std::vector<uint32_t>* truthOfB, uint32_t split);

// The truth of `run`: each candidate's, and the run's own counts.
void setTruth(ReportRun* run, std::vector<bool> candidateTrue, const PairCounts& chosen);

// `text` with &, <, >, " and ' as HTML entities.
std::string htmlEscaped(const std::string& text);
