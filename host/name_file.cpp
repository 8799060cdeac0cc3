#include "name_file.h"

#include <fstream>

std::vector<std::string> loadNameFile(const char* path) {
    std::vector<std::string> names;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::string name;
        bool ok = true;
        for (size_t i = 0; i < line.size() && ok; ++i) {
            unsigned char c = static_cast<unsigned char>(line[i]);
            if (c < 0x80) {
                if (c != '\r') name += static_cast<char>(c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < line.size()) {
                // U+0080 to U+00FF: Windows-1252 holds U+00A0 to U+00FF at the same values.
                unsigned value = ((c & 0x1F) << 6) | (static_cast<unsigned char>(line[++i]) & 0x3F);
                ok = value >= 0xA0;
                name += static_cast<char>(value);
            } else {
                ok = false;
            }
        }
        if (ok && !name.empty() && name.size() < 256) names.push_back(name);
    }
    return names;
}
