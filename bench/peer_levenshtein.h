// The peer that ovLevenshtein is measured beside in the native benchmark: a
// plain bit-parallel edit distance doing the same work (both names
// upper-cased and reduced to their letters A to Z in place, then the
// distance; a name longer than 255 bytes gives -1, an empty one the other's
// length), but with no host, no scratch block and no result record.
#pragma once

#include <cstdint>

int peerLevenshtein(char* name1, char* name2);
