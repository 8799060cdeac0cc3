// The golden record of the library's answers: every script function called
// over the shipped list of names (and over the pairs name/next for the
// two-name functions) with a few limits and modes each, through WILExtender2
// in-process. For each call it takes in the answer, the flag, the result,
// every argument as it reads afterwards (the whole buffer of each string and
// guard bytes after it) and the heap traffic of the call (the size of every
// GlobalAlloc in order and the order of the releases). Each variant keeps a
// count of calls and an FNV-1a 64 hash of those records.
//
// tests/golden/results.txt pins, for every variant, what a host can observe
// of each call: the answer, the flag, the result, the arguments afterwards
// and the allocations. The golden test recomputes the hashes, so a change
// that alters any of these for any name shows up by variant; a change that
// only makes the work faster leaves the file as it is.
// golden_tool writes the file and dumps one variant's calls as text for a
// diff against an older build.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The calls of a variant in blocks of this many: the running hash at the end
// of each block (its low 32 bits) is kept in tests/golden/blocks.txt, so a
// failure can name the first block, and so the first names, that differ.
enum { GOLDEN_BLOCK_CALLS = 256 };

struct GoldenVariant {
    std::string name;
    uint64_t calls = 0;
    uint64_t hash = 0;
    std::vector<uint32_t> blocks;  // the running hash after each full or last block
};

// Runs every variant over `names`. When `dump` is given, the calls of the
// variant named `dumpVariant` are also written to it, one line each.
std::vector<GoldenVariant> computeGolden(const std::vector<std::string>& names, FILE* dump = nullptr,
                                         const std::string& dumpVariant = "");

// The file format: comment lines start with '#'; each other line is
// "variant calls hash" with the hash in 16 hexadecimal digits.
void writeGoldenFile(FILE* out, const std::vector<GoldenVariant>& variants);
bool readGoldenFile(const char* path, std::vector<GoldenVariant>& variants);

// The block file: "variant" then a blank and 8 hexadecimal digits per block.
void writeGoldenBlocks(FILE* out, const std::vector<GoldenVariant>& variants);
// Fills the blocks of the variants already read, by name.
bool readGoldenBlocks(const char* path, std::vector<GoldenVariant>& variants);

// The first block whose running hash differs between `want` and `got`, or
// -1 when they agree.
long firstDifferingBlock(const GoldenVariant& want, const GoldenVariant& got);
