#include "progress.h"

#include <cstdio>
#include <cstring>

Progress::Progress(ByteSink& err, bool enabled, int64_t totalBytes)
    : err_(err), enabled_(enabled), total_(totalBytes), start_(std::chrono::steady_clock::now()), last_(start_) {}

void Progress::redraw(uint64_t bytes, uint64_t records, bool force) {
    auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(100)) return;
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
        n = std::snprintf(line, sizeof line, "\r[%s] %3d%%  %llu names  %.0f names/s ", bar,
                          static_cast<int>(share * 100), static_cast<unsigned long long>(records), rate);
    } else {
        n = std::snprintf(line, sizeof line, "\r%llu names  %.0f names/s ", static_cast<unsigned long long>(records),
                          rate);
    }
    err_.write(line, static_cast<size_t>(n));
    shown_ = true;
}

void Progress::clear() {
    if (!shown_) return;
    static const char blank[] = "\r                                                                              \r";
    err_.write(blank, sizeof blank - 1);
    shown_ = false;
}

void Progress::finish(uint64_t bytes, uint64_t records) {
    if (!enabled_) return;
    redraw(bytes, records, true);
    err_.write("\n", 1);
    shown_ = false;
}
