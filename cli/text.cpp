#include "text.h"

std::string asciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::string asciiUpper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::string wrapped(const std::string& lead, const std::string& text, size_t indent) {
    std::string out = lead;
    size_t column = lead.size();
    const char* gap = nullptr;  // what joins the next piece to the last: " " or ""
    size_t i = 0;
    while (i < text.size()) {
        size_t j = i;
        while (j < text.size() && text[j] != ' ' &&
               !(text[j] == ',' && j + 1 < text.size() && (text[j + 1] == '"' || text[j + 1] == '{')))
            ++j;
        bool comma = j < text.size() && text[j] == ',';
        std::string piece = text.substr(i, j - i + (comma ? 1 : 0));
        if (gap) {
            size_t gapSize = gap[0] ? 1 : 0;
            if (column + gapSize + piece.size() > 80) {
                out += "\n" + std::string(indent, ' ');
                column = indent;
            } else {
                out += gap;
                column += gapSize;
            }
        }
        out += piece;
        column += piece.size();
        gap = comma ? "" : " ";
        i = j + 1;
    }
    return out + "\n";
}

std::string counted(uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}
