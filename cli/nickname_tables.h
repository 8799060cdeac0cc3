// The nickname tables of the command: the one it ships,
// data/nicknames/names.csv (the one copy), whose bytes the build writes
// into a source of its own (cmake/embed_text.cmake), so that the command
// reads no file for it; and the text of a table as --nicknames FILE gives
// it.
#pragma once

#include <string>
#include <string_view>

#include "../matching/nicknames.h"

// The CSV text built in, byte for byte as the file holds it (UTF-8).
std::string_view shippedNicknameCsv();

// A table's CSV text into `table`: UTF-8 (a byte order mark skipped)
// turned into the matching's Windows-1252, or with `cp1252` taken as it
// is. False with `problem` set ("line 3: invalid UTF-8", or the table's
// own problem, in Windows-1252) when it does not load.
bool loadNicknameText(std::string_view text, bool cp1252, NicknameTable* table, std::string* problem);

// The table built in, loaded on the first call (the tests hold that it
// loads without a problem).
const NicknameTable& shippedNicknames();
