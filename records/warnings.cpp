#include "warnings.h"

void Warnings::warn(const std::string& where, uint64_t line, const std::string& what) {
    if (++count_ > shown_) return;
    write(where + ":" + std::to_string(line) + ": " + what);
}

void Warnings::finish() {
    if (count_ <= shown_ || finished_) return;
    finished_ = true;
    const uint64_t more = count_ - shown_;
    write("... and " + std::to_string(more) + (more == 1 ? " more warning (" : " more warnings (") +
          std::to_string(count_) + " in all)");
}

void Warnings::write(const std::string& text) {
    if (beforeMessage) beforeMessage();
    std::string line = program_ + ": " + text + "\n";
    err_.write(line.data(), line.size());
}
