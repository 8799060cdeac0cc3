// Warnings about single records, on stderr as "ovrin: FILE:LINE: what". The
// first hundred are shown; all are counted, since any of them makes the exit
// status 1, and once the last has been given, one line tells how many were
// not shown and the total: "ovrin: ... and 2 more warnings (102 in all)".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "streams.h"

class Warnings {
public:
    static const uint64_t kShown = 100;

    Warnings(ByteSink& err, std::string program, uint64_t shown = kShown)
        : err_(err), program_(std::move(program)), shown_(shown) {}

    void warn(const std::string& where, uint64_t line, const std::string& what);
    // Counts `n` warnings that are past the ones shown and were not kept
    // (a list keeps the problems of its first records only).
    void countNotShown(uint64_t n) { count_ += n; }
    // After the last warning: the line with the number not shown and the
    // total, when some were not shown.
    void finish();
    uint64_t count() const { return count_; }

    // Runs before each line is written: a progress bar leaves the line.
    std::function<void()> beforeMessage;

private:
    void write(const std::string& text);

    ByteSink& err_;
    std::string program_;
    uint64_t shown_;
    uint64_t count_ = 0;
    bool finished_ = false;
};
