// The library's faster paths (word-at-a-time upper-casing, the bit-parallel
// distance, Metaphone's table of settled codes) each stand beside a plain
// path that does the same work step by step as the rules say it. A build
// with OVRIN_PLAIN_PATHS takes the plain paths only, so that the tests can
// hold both against the same cases and the same golden record. The switch
// is a constant: the shipped build carries no test of it.
#pragma once

#ifdef OVRIN_PLAIN_PATHS
constexpr bool kFastPaths = false;
#else
constexpr bool kFastPaths = true;
#endif
