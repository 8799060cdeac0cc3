#!/bin/sh
# The matching of people at scale, in a Release build on one core: group of
# about 107,000 and 1,065,000 generated records, and link of 100,000 of A
# against 1,000,000 of B. Prints each run's last lines (counts and F1
# against the truth column), its time and its peak memory. Needs about 3 GB
# of disk in a temporary folder and a few minutes; not part of the tests.
#   tools/bench_people_scale.sh [SEED]   (1 by default)
set -eu
cd "$(dirname "$0")/.."
seed=${1:-1}
. tools/people_bench_setup.sh
"$build/make_people" group "$seed" 55000 "$work/group100k.csv"
"$build/make_people" group "$seed" 550000 "$work/group1m.csv"
"$build/make_people" link "$seed" 1000000 "$work/a.csv" "$work/b.csv"
head -n 100001 "$work/a.csv" > "$work/a100k.csv"

# run LABEL ARGS...: the run's summary, F1, time and memory.
run() {
  label=$1
  shift
  /usr/bin/time -f "%e s, %M KiB" -o "$work/time" "$ovrin" "$@" --truth truth >/dev/null 2>"$work/err"
  echo "$label"
  grep -v '^ovrin: pairs against' "$work/err" | sed 's/^/  /'
  echo "  $(tail -n 1 "$work/err" | sed 's/.*; precision/precision/'); $(grep -v exited "$work/time")"
}
cd "$work"
run "group of $(($(wc -l < group100k.csv) - 1)) records" group --csv --field given,surname --with dob group100k.csv
run "group of $(($(wc -l < group1m.csv) - 1)) records" group --csv --field given,surname --with dob group1m.csv
run "link of 100000 against $(($(wc -l < b.csv) - 1))" link --csv --best --field given,surname --with dob a100k.csv b.csv
