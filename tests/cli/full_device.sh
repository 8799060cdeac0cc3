#!/bin/sh
# The program's own check of a lost output: each command writing to
# /dev/full exits with status 2 and says so, the final flush included.
#   full_device.sh PATH_TO_OVRIN SOURCE_DIR
ovrin=$1
data=$2/data
[ -w /dev/full ] || { echo "no /dev/full here"; exit 77; }
status=0
check() {
  err=$("$@" 2>&1 >/dev/full </dev/null)
  code=$?
  case "$code:$err" in
    "2:"*"cannot write the output: No space left on device"*) ;;
    *) echo "FAIL: $* > /dev/full: exit $code: $err"; status=1 ;;
  esac
}
check "$ovrin" soundex Robert 0
check "$ovrin" info
check "$ovrin" help
check "$ovrin" help map
check "$ovrin" map soundex 0 "$data/sample.txt"
check "$ovrin" group --confirm levenshtein:2 "$data/sample_group.txt"
check "$ovrin" link --confirm levenshtein:2 --json "$data/sample_group_b.txt" "$data/sample_group.txt"
check "$ovrin" group --csv --field given,surname --with dob "$data/sample_people.csv"
check "$ovrin" link --csv --best --field given,surname --with dob "$data/sample_people_b.csv" "$data/sample_people.csv"
exit $status
