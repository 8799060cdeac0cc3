// Small text routines the command's parts share.
#pragma once

#include <cstdint>
#include <string>

std::string asciiLower(std::string text);
std::string asciiUpper(std::string text);

// `text` padded with blanks to `width`.
std::string padded(std::string text, size_t width);

// `lead`, then `text` filled into lines of at most 80 characters, the
// following lines indented by `indent`. Lines break at blanks, and after a
// comma that a quote or a brace follows, so that a JSON example breaks too.
std::string wrapped(const std::string& lead, const std::string& text, size_t indent);

// "1 record", "2 records"
std::string counted(uint64_t n, const char* one, const char* many);
