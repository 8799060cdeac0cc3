// The list of names the benchmarks and the golden record call the library
// with, read as a host passes names: Windows-1252 bytes.
#pragma once

#include <string>
#include <vector>

// Names as Windows-1252 bytes, one per entry, from a UTF-8 file of one name
// per line; characters outside Windows-1252 drop the name, and so does a name
// of 256 bytes or more.
std::vector<std::string> loadNameFile(const char* path);
