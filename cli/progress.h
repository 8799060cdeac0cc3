// The progress line of map on stderr: a bar while a file of known size is
// read (a count of records for a pipe), redrawn at most four times a second,
// and at the end one line of records, seconds and records per second.
#pragma once

#include <chrono>
#include <cstdint>

#include "../records/streams.h"

class Progress {
public:
    // Draws nothing when not `enabled`. `totalBytes` is the input's size, or
    // -1 when unknown (then only the count of records is shown).
    Progress(ByteSink& err, bool enabled, int64_t totalBytes);

    // Cheap enough to call for every record: looks at the clock only every
    // few thousand records.
    void update(uint64_t bytes, uint64_t records) {
        if (enabled_ && ++calls_ % 4096 == 0) redraw(bytes, records);
    }
    // Takes the bar off the line, before a message or output to the same
    // terminal; the next update draws it again.
    void clear();
    // Replaces the bar with the final line.
    void finish(uint64_t records);

private:
    void redraw(uint64_t bytes, uint64_t records);
    void draw(const char* text, int size);

    ByteSink& err_;
    bool enabled_;
    int64_t total_;
    uint64_t calls_ = 0;
    int shown_ = 0;  // the width of the line on screen, 0 when none
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point last_;
};
