// Warnings about single records, on stderr as "ovrin: FILE:LINE: what". The
// first hundred are shown, then one line says that the rest are not; all
// are counted, since any of them makes the exit status 1.
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
    uint64_t count() const { return count_; }

    // Runs before each line is written: a progress bar leaves the line.
    std::function<void()> beforeMessage;

private:
    ByteSink& err_;
    std::string program_;
    uint64_t shown_;
    uint64_t count_ = 0;
};
