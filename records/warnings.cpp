#include "warnings.h"

void Warnings::warn(const std::string& where, uint64_t line, const std::string& what) {
    ++count_;
    if (count_ > shown_ + 1) return;
    if (beforeMessage) beforeMessage();
    std::string text = program_ + ": " +
                       (count_ > shown_ ? std::string("further warnings are not shown")
                                        : where + ":" + std::to_string(line) + ": " + what) +
                       "\n";
    err_.write(text.data(), text.size());
}
