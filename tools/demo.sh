#!/bin/sh
# Builds ovrin.dll and ovrin.exe for 32-bit Windows and runs the functions
# through the real DLL with the ovrin command: the library's description and
# function table, a few calls of every function, and map over the sample
# files in data/. Under Wine where this machine runs 32-bit programs;
# elsewhere (or with OVRIN_DLL_EMULATOR=1) the native ovrin calls the same
# ovrin.dll in the x86 emulator. Every call's exit status is checked: the
# demo fails when one is not what it means to show. Installs what is missing
# first.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
export WINEDEBUG=-all

build() {
  log=$(mktemp)
  if ! { cmake --preset "$1" && cmake --build --preset "$1" -j2; } >"$log" 2>&1; then
    cat "$log"
    rm -f "$log"
    echo "tools/demo.sh: the $1 build failed" >&2
    exit 1
  fi
  rm -f "$log"
}

echo "== Building ovrin.dll and ovrin.exe (cmake preset mingw32)"
build mingw32
ls -l build/mingw32/ovrin.dll build/mingw32/ovrin.exe
if reason=$(tools/probe_wine.sh); then
  run_ovrin() { wine build/mingw32/ovrin.exe "$@"; }
  echo "The calls below run through ovrin.exe and ovrin.dll under Wine."
else
  echo "Wine cannot run here ($reason): the calls below run through the native ovrin calling ovrin.dll in the x86 emulator."
  echo "== Building the native ovrin against the emulated DLL (cmake preset emulated)"
  build emulated
  run_ovrin() { build/emulated/ovrin_emulated "$@"; }
fi

failures=""
# Shows a command as it would be typed, then runs it. The exit status must
# be `expect` (0 unless the call means to show an error answer).
expect=0
ovrin() {
  printf '\n$ ovrin'
  for a in "$@"; do
    case $a in
      *[[:space:]\'\"\(\)\$\;\&\|\<\>\*\?\`\\]* | '') printf " '%s'" "$a" ;;
      *) printf ' %s' "$a" ;;
    esac
  done
  printf '\n'
  status=0
  run_ovrin "$@" || status=$?
  [ $status -eq 0 ] || echo "(exit status $status)"
  if [ $status -ne $expect ]; then
    failures="$failures
  ovrin $* (exit status $status, expected $expect)"
  fi
  expect=0
}

echo
echo "== The library as the script host sees it"
ovrin info

echo
echo "== One call at a time"
ovrin extenderinfo 0
ovrin soundex Robert 0
ovrin ovSoundex Robert 1
ovrin soundex Müller 0
ovrin 'ovSoundex("Ñúñez", 0)'
ovrin metaphone Thomas 4
ovrin metaphone Schmidt 8
ovrin phonex Robert
ovrin phonex Knight
ovrin doublemetaphone Smith 4
ovrin 'ovDoubleMetaphone("Schmidt", 8)'
ovrin doublemetaphone Çelik 4
ovrin guthmatch Smith Smyth 3
ovrin guthmatch Meyer Maier 1
ovrin levenshtein Robert Rupert
ovrin levenshtein Müller Muller
ovrin isabbrev Robert Rob 0
ovrin isconsonant Robert 1
ovrin isvowel Yvonne 1 1
ovrin isvowel Yvonne 1 0
expect=1; ovrin extenderinfo 3       # message 101: an error answer on purpose
expect=2; ovrin soundex Robert         # a missing argument: a usage error on purpose

echo
echo "== Over files: data/sample.txt (one name a line), data/sample_pairs.tsv (two names and a header)"
ovrin map soundex 0 data/sample.txt
ovrin map doublemetaphone 8 data/sample.txt
ovrin map guthmatch 3 data/sample_pairs.tsv --header
ovrin map levenshtein data/sample_pairs.tsv --header

echo
echo "== Finding the same person: data/sample_persons.csv, 30 records of 16 people, some spelled several ways"
mkdir -p build/demo
ovrin group --csv --field given,surname --with dob --truth person --report build/demo/report.html \
  data/sample_persons.csv
echo
echo "One record against the list, its best pair explained comparison by comparison:"
printf 'given,surname,dob\nKathryn,Johanson,1979-04-12\n' >build/demo/one.csv
ovrin link --csv --best --explain --field given,surname --with dob build/demo/one.csv data/sample_persons.csv
echo
echo "The report of the grouping, to open in a browser: $PWD/build/demo/report.html"
echo
if [ -n "$failures" ]; then
  echo "tools/demo.sh: FAILED: these calls did not answer as expected:$failures" >&2
  exit 1
fi
echo "tools/demo.sh: done, every call answered as expected; see ovrin --help for more"
