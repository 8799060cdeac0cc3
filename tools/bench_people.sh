#!/bin/sh
# Quality and speed of the matching of people on generated records (see
# tests/quality/people_generator.h), in a Release build: for group, a list
# of PEOPLE persons with up to four spoiled copies each; for link, A of
# spoiled copies of four in five of LINK_PEOPLE persons (and a fifth more
# of its own) against B of each once. Prints each command's pairwise
# precision, recall and F1 against the truth column, its time and peak
# memory. Not part of the tests (tests/quality/people_quality.sh holds the
# floors on a small list).
#   tools/bench_people.sh [PEOPLE [LINK_PEOPLE [SEED]]]   (5500, 10000 and 1 by default)
set -eu
cd "$(dirname "$0")/.."
people=${1:-5500}
linkPeople=${2:-10000}
seed=${3:-1}
. tools/people_bench_setup.sh
"$build/make_people" group "$seed" "$people" "$work/group.csv"
"$build/make_people" link "$seed" "$linkPeople" "$work/a.csv" "$work/b.csv"
echo "group: $(($(wc -l < "$work/group.csv") - 1)) records; link: $(($(wc -l < "$work/a.csv") - 1)) against $(($(wc -l < "$work/b.csv") - 1))"

# run LABEL ARGS...: the truth line and the time of one run.
run() {
  label=$1
  shift
  /usr/bin/time -f "%e s, %M KiB" -o "$work/time" "$ovrin" "$@" --truth truth >/dev/null 2>"$work/err" || true
  printf '%-58s %s; %s\n' "$label" "$(tail -n 1 "$work/err" | sed 's/.*; precision/precision/')" "$(grep -v exited "$work/time")"
}
cd "$work"
run "link --best --confirm levenshtein:2 --field name" link --csv --best --confirm levenshtein:2 --field name a.csv b.csv
run "link --best --field given,surname --with dob" link --csv --best --field given,surname --with dob a.csv b.csv
run "link --best --person --field given,surname" link --csv --best --person --field given,surname a.csv b.csv
run "link --one-to-one --field name --with dob" link --csv --one-to-one --field name --with dob a.csv b.csv
run "group --confirm levenshtein:2 --field name" group --csv --confirm levenshtein:2 --field name group.csv
run "group --field given,surname --with dob" group --csv --field given,surname --with dob group.csv
run "group --person --field given,surname" group --csv --person --field given,surname group.csv
run "group --field name --with dob,postcode" group --csv --field name --with dob,postcode group.csv
