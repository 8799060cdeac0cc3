// A progress bar on stderr while map reads a file of known size.
#pragma once

#include <chrono>
#include <cstdint>

#include "../records/streams.h"

class Progress {
public:
    // Draws nothing when not `enabled`. `totalBytes` is the input's size, or
    // -1 when unknown (then only the count of records is shown).
    Progress(ByteSink& err, bool enabled, int64_t totalBytes);

    // Cheap enough to call for every record: redraws a few times a second.
    void update(uint64_t bytes, uint64_t records) {
        if (enabled_ && ++calls_ % 4096 == 0) redraw(bytes, records, false);
    }
    // Takes the bar off the line before a message is written.
    void clear();
    // Draws the final state and ends the line.
    void finish(uint64_t bytes, uint64_t records);

private:
    void redraw(uint64_t bytes, uint64_t records, bool force);

    ByteSink& err_;
    bool enabled_;
    int64_t total_;
    uint64_t calls_ = 0;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};
