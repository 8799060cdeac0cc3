#!/bin/sh
# How well group and link find the same person on generated lists of
# several kinds (tests/quality/people_generator.h): the group and link
# lists of make_people, an export of a customer list of ~16,000 and
# ~100,000 records (make_people export: nicknames, titles, married names,
# names in their own script or in Latin letters, towns spelled another
# way, copies imported again, near namesakes), and a link of names in
# their own script against the same people in Latin letters (make_people
# scripts). Each run takes ovrin's defaults and only says which fields to
# compare; the table gives pairwise precision, recall and F1 against the
# truth column, as `ovrin ... --truth truth` prints them on its last line.
# A measuring tool, not a test: it builds nothing and fails on no figure
# (tests/quality/people_quality.sh holds the floors).
#   tools/quality.sh [--mix NAME] [--seeds "1 2"] MAKE_PEOPLE OVRIN
# The mix (make_people's: default, heavy-typo, many-copies, many-namesakes,
# sparse) applies to the export and scripts lists; group and link have one.
set -eu
mix=default
seeds="1 2"
while [ $# -gt 2 ]; do
  case $1 in
    --mix) mix=$2; shift 2 ;;
    --seeds) seeds=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -ne 2 ]; then
  echo "usage: tools/quality.sh [--mix NAME] [--seeds \"1 2\"] MAKE_PEOPLE OVRIN" >&2
  exit 2
fi
make_people=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
ovrin=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

records() { echo $(($(wc -l < "$1") - 1)); }

# row SEED LIST RECORDS WHAT ovrin-ARGS...: one line of the table. ovrin's
# exit status is not looked at: names it cannot read make it warn and
# end with 1, and the figures still come.
row() {
  seed=$1 list=$2 size=$3 what=$4
  shift 4
  "$ovrin" "$@" --truth truth >/dev/null 2>err || true
  line=$(tail -n 1 err)
  precision=$(figure precision "$line")
  recall=$(figure recall "$line")
  f1=$(figure F1 "$line")
  printf '| %-4s | %-14s | %15s | %-44s | %9s | %6s | %6s |\n' "$seed" "$list" "$size" "$what" "$precision" "$recall" "$f1"
}

# figure NAME LINE: the number after NAME in ovrin's truth line, or "-".
figure() {
  value=$(echo "$2" | sed -n "s/.*pairs against the truth:.* $1 \([0-9.]*\).*/\1/p")
  echo "${value:--}"
}

echo "mix of export and scripts: $mix"
printf '| %-4s | %-14s | %15s | %-44s | %9s | %6s | %6s |\n' seed list records command precision recall F1
echo "|------|----------------|-----------------|----------------------------------------------|-----------|--------|--------|"
for seed in $seeds; do
  "$make_people" link "$seed" 10000 a.csv b.csv
  size="$(records a.csv) / $(records b.csv)"
  row "$seed" link "$size" "link --best, given surname" link --csv --best --field given,surname a.csv b.csv
  row "$seed" link "$size" "link --best, given surname, dob" link --csv --best --field given,surname --with dob a.csv b.csv

  "$make_people" group "$seed" 5500 group.csv
  row "$seed" group "$(records group.csv)" "group, given surname, dob" group --csv --field given,surname --with dob group.csv

  for n in 16000 100000; do
    "$make_people" --mix "$mix" export "$seed" "$n" export.csv
    row "$seed" "export $n" "$(records export.csv)" "group, first last, birth_year" \
      group --csv --field first,last --with birth_year export.csv
    row "$seed" "export $n" "$(records export.csv)" "group, first last, birth_year city" \
      group --csv --field first,last --with birth_year,city export.csv
  done

  "$make_people" --mix "$mix" scripts "$seed" 5000 a.csv b.csv
  size="$(records a.csv) / $(records b.csv)"
  row "$seed" scripts "$size" "link --best, given surname, dob" link --csv --best --field given,surname --with dob a.csv b.csv
done
