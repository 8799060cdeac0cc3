// The nickname table the command ships: data/nicknames/names.csv, the one
// copy, whose bytes the build writes into a source of its own
// (cmake/embed_text.cmake), so that the command reads no file for it.
#pragma once

#include <string_view>

#include "../matching/nicknames.h"

// The CSV text, byte for byte as the file holds it.
std::string_view shippedNicknameCsv();

// That text loaded, on the first call.
const NicknameTable& shippedNicknames();
