#!/bin/sh
# Throughput of `ovrin map`, function by function, natively in a Release
# build: a file of names drawn from data/names.txt with a fixed seed (the
# same file on every run), mapped to a file; the best of three runs, in
# names per second. Not part of the tests.
#   tools/bench_map.sh [COUNT]      (COUNT names, 1000000 by default)
set -eu
cd "$(dirname "$0")/.."
count=${1:-1000000}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOVRIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target ovrin_command >/dev/null
ovrin=$build/ovrin

# Names drawn with replacement by a Park-Miller generator, exact in awk's
# doubles, so the files do not depend on the awk at hand.
names=$build/names_$count.txt
pairs=$build/pairs_$count.tsv
if [ ! -s "$names" ] || [ ! -s "$pairs" ]; then
  awk -v count="$count" -v names="$names" -v pairs="$pairs" '
    { list[n++] = $0 }
    function draw() { seed = (seed * 16807) % 2147483647; return list[seed % n] }
    END {
      seed = 20031108
      for (i = 0; i < count; i++) print draw() > names
      for (i = 0; i < count; i++) print draw() "\t" draw() > pairs
    }' data/names.txt
fi
printf '%s names, %s bytes; pairs %s bytes\n' "$count" "$(wc -c < "$names")" "$(wc -c < "$pairs")"

now() { date +%s.%N; }
bench() {
  label=$1
  shift
  best=""
  for run in 1 2 3; do
    start=$(now)
    "$ovrin" map "$@" > "$build/out.tsv" 2>"$build/err.txt" || true
    end=$(now)
    best=$(awk -v a="$start" -v b="$end" -v best="$best" 'BEGIN { t = b - a; if (best == "" || t < best) best = t; print best }')
  done
  awk -v label="$label" -v t="$best" -v n="$count" 'BEGIN { printf "%-34s %8.3f s %12.0f names/s\n", label, t, n / t }'
  if [ -s "$build/err.txt" ]; then head -3 "$build/err.txt"; fi
}

bench "soundex 0" soundex 0 "$names"
bench "soundex 1" soundex 1 "$names"
bench "metaphone 8" metaphone 8 "$names"
bench "phonex" phonex "$names"
bench "doublemetaphone 8" doublemetaphone 8 "$names"
bench "doublemetaphone 8 --csv" doublemetaphone 8 --csv "$names"
bench "isconsonant 1" isconsonant 1 "$names"
bench "isvowel 1 1" isvowel 1 1 "$names"
bench "guthmatch 3 (pairs)" guthmatch 3 "$pairs"
bench "levenshtein (pairs)" levenshtein "$pairs"
bench "isabbrev 0 (pairs)" isabbrev 0 "$pairs"
