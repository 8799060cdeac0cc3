#!/bin/sh
# Speed of `ovrin group` and `ovrin link` natively in a Release build, over
# lists drawn with a fixed seed from data/names.txt (the same files on every
# run): names picked with a 1/rank spread (a few names very common, most
# rare; which name is common is a fixed shuffle, not the alphabet), one in
# ten with a spelling variant (a vowel changed, a letter doubled, dropped or
# swapped with the next, or the whole name upper-cased). A harder list has
# two chances in two of a variant, so that most names are distinct. The
# best of three runs, with the peak memory, output to a file. Not part of
# the tests.
#   tools/bench_group.sh [COUNT [LINK_A_COUNT]]   (1000000 and 100000 by default)
set -eu
cd "$(dirname "$0")/.."
count=${1:-1000000}
acount=${2:-100000}
build=build/bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DOVRIN_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target ovrin_command >/dev/null
ovrin=$build/ovrin

# Park-Miller draws, exact in awk's doubles, so the files do not depend on
# the awk at hand; bytes, not characters (LC_ALL=C), and only ASCII letters
# are edited, so every name stays valid UTF-8.
# make_list COUNT SEED RATE: each name gets a variant with chance RATE,
# and then another with chance RATE2.
make_list() {
  LC_ALL=C awk -v count="$1" -v seed="$2" -v rate="$3" -v rate2="$4" '
    function rnd() { seed = (seed * 16807) % 2147483647; return seed / 2147483647 }
    function rint(n) { seed = (seed * 16807) % 2147483647; return seed % n }
    function vowel() { return substr("aeiouy", rint(6) + 1, 1) }
    function variant(s,   n, p, c, d, op) {
      n = length(s)
      if (n < 3) return s
      p = 2 + rint(n - 1)
      c = substr(s, p, 1)
      if (c !~ /[a-z]/) return s
      op = rint(5)
      if (op == 0 && c ~ /[aeiouy]/) return substr(s, 1, p - 1) vowel() substr(s, p + 1)
      if (op == 1) return substr(s, 1, p) c substr(s, p + 1)
      if (op == 2) return substr(s, 1, p - 1) substr(s, p + 1)
      d = substr(s, p + 1, 1)
      if (op == 3 && d ~ /[a-z]/) return substr(s, 1, p - 1) d c substr(s, p + 2)
      if (op == 4) return toupper(s)
      return substr(s, 1, p - 1) vowel() substr(s, p + 1)
    }
    { list[n++] = $0 }
    END {
      shuffle = 20031108
      for (i = n - 1; i > 0; i--) {
        shuffle = (shuffle * 16807) % 2147483647
        j = shuffle % (i + 1); t = list[i]; list[i] = list[j]; list[j] = t
      }
      top = log(n + 1)
      for (i = 0; i < count; i++) {
        r = int(exp(rnd() * top)) - 1
        if (r >= n) r = n - 1
        s = list[r]
        if (rnd() < rate) s = variant(s)
        if (rnd() < rate2) s = variant(s)
        print s
      }
    }' data/names.txt
}
list=$build/group_$count.txt
hard=$build/group_hard_$count.txt
alist=$build/link_a_$acount.txt
[ -s "$list" ] || make_list "$count" 19700101 0.1 0 > "$list"
[ -s "$hard" ] || make_list "$count" 19700101 0.5 0.5 > "$hard"
[ -s "$alist" ] || make_list "$acount" 20240229 0.1 0 > "$alist"
for f in "$list" "$hard" "$alist"; do
  printf '%s: %s names, %s distinct, %s bytes\n' "$f" "$(wc -l < "$f")" "$(sort -u "$f" | wc -l)" "$(wc -c < "$f")"
done

# Seconds and peak resident memory of the best of three runs.
bench() {
  label=$1
  shift
  best=""
  for run in 1 2 3; do
    /usr/bin/time -f '%e %M' -o "$build/time.txt" "$ovrin" "$@" > "$build/out.txt" 2>"$build/err.txt" || true
    # The last line holds the figures (a failed status adds one before it).
    this=$(tail -1 "$build/time.txt")
    best=$(echo "$this" | awk -v best="$best" '{ split(best, b, " "); if (best == "" || $1 < b[1] + 0) print $0; else print best }')
  done
  echo "$best" | awk -v label="$label" -v lines="$(wc -l < "$build/out.txt")" \
    '{ printf "%-40s %6.2f s %6.0f MiB %9d lines out\n", label, $1, $2 / 1024, lines }'
  tail -1 "$build/err.txt"
}

bench "group (dmetaphone, levenshtein:2)" group --confirm levenshtein:2 "$list"
bench "group --all" group --confirm levenshtein:2 --all "$list"
bench "group --json" group --confirm levenshtein:2 --json "$list"
bench "group --confirm guth" group --confirm guth "$list"
bench "group --confirm none" group --confirm none "$list"
bench "group --key soundex" group --key soundex "$list"
bench "group --key soundex5" group --key soundex5 "$list"
bench "group --key metaphone" group --key metaphone "$list"
bench "group --key phonex" group --key phonex "$list"
bench "hard: group" group --confirm levenshtein:2 "$hard"
bench "hard: group --confirm guth" group --confirm guth "$hard"
bench "hard: group --key soundex" group --key soundex "$hard"
bench "hard: group --key phonex" group --key phonex "$hard"
bench "link --best (A $acount, B $count)" link --confirm levenshtein:2 --best "$alist" "$list"
bench "link --best --confirm guth" link --best --confirm guth "$alist" "$list"
bench "link --best --key phonex" link --best --key phonex "$alist" "$list"
bench "hard: link --best (A $acount)" link --confirm levenshtein:2 --best "$alist" "$hard"
# Every pair: one line for each record of A and each record of B it matches,
# so the output grows with the product of the repeats (a name that is 1% of
# both lists gives 1,000 x 10,000 lines); shown for the first thousand of A.
head -1000 "$alist" > "$build/link_a_1000.txt"
bench "link, every pair (A 1000, B $count)" link --confirm levenshtein:2 "$build/link_a_1000.txt" "$list"
