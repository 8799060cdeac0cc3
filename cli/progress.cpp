#include "progress.h"

#include <cstdio>
#include <cstring>

namespace {

// More redraws than this only make the terminal busy.
const std::chrono::milliseconds kRedrawEvery(250);

}  // namespace

Progress::Progress(ByteSink& err, bool enabled, int64_t totalBytes)
    : err_(err), enabled_(enabled), total_(totalBytes), start_(std::chrono::steady_clock::now()), last_(start_) {}

void Progress::redraw(uint64_t bytes, uint64_t records) {
    auto now = std::chrono::steady_clock::now();
    if (now - last_ < kRedrawEvery) return;
    last_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    double rate = seconds > 0 ? static_cast<double>(records) / seconds : 0;
    char line[160];
    int n;
    if (total_ > 0) {
        const int width = 30;
        double share = static_cast<double>(bytes) / static_cast<double>(total_);
        if (share > 1) share = 1;
        int filled = static_cast<int>(share * width);
        char bar[width + 1];
        std::memset(bar, '#', static_cast<size_t>(filled));
        std::memset(bar + filled, '.', static_cast<size_t>(width - filled));
        bar[width] = '\0';
        n = std::snprintf(line, sizeof line, "[%s] %3d%%  %llu records  %.0f records/s", bar,
                          static_cast<int>(share * 100), static_cast<unsigned long long>(records), rate);
    } else {
        n = std::snprintf(line, sizeof line, "%llu records  %.0f records/s", static_cast<unsigned long long>(records),
                          rate);
    }
    draw(line, n);
}

// Writes `text` over the line, blanking what is left of a longer one.
void Progress::draw(const char* text, int size) {
    char line[200];
    int width = size > shown_ ? size : shown_;
    if (width > static_cast<int>(sizeof line) - 1) width = static_cast<int>(sizeof line) - 1;
    line[0] = '\r';
    std::memcpy(line + 1, text, static_cast<size_t>(size < width ? size : width));
    for (int i = size; i < width; ++i) line[1 + i] = ' ';
    err_.write(line, static_cast<size_t>(width + 1));
    shown_ = size;
}

void Progress::clear() {
    if (!shown_) return;
    draw("", 0);
    err_.write("\r", 1);
    shown_ = 0;
}

void Progress::finish(uint64_t records) {
    if (!enabled_) return;
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    char line[160];
    int n = std::snprintf(line, sizeof line, "%llu %s in %.2f s, %.0f records/s", static_cast<unsigned long long>(records),
                          records == 1 ? "record" : "records", seconds,
                          seconds > 0 ? static_cast<double>(records) / seconds : 0.0);
    draw(line, n);
    err_.write("\n", 1);
    shown_ = 0;
}
