#!/bin/sh
# Builds ovrin.dll and ovrin.exe for 32-bit Windows and runs the functions
# through the real DLL under Wine with the ovrin command: the library's
# description and function table, a few calls of every function, and map
# over the sample files in data/. Installs what is missing first.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
export WINEDEBUG=-all

echo "== Building ovrin.dll and ovrin.exe (cmake preset mingw32)"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! { cmake --preset mingw32 && cmake --build --preset mingw32 -j2; } >"$log" 2>&1; then
  cat "$log"
  echo "tools/demo.sh: the build failed" >&2
  exit 1
fi
ls -l build/mingw32/ovrin.dll build/mingw32/ovrin.exe

# Shows a command as it would be typed, then runs it through Wine; an error
# answer shows its exit status and the demo goes on.
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
  wine build/mingw32/ovrin.exe "$@" || status=$?
  [ $status -eq 0 ] || echo "(exit status $status)"
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
ovrin extenderinfo 3
ovrin soundex Robert

echo
echo "== Over files: data/sample.txt (one name a line), data/sample_pairs.tsv (two names and a header)"
ovrin map soundex 0 data/sample.txt
ovrin map doublemetaphone 8 data/sample.txt
ovrin map guthmatch 3 data/sample_pairs.tsv --header
ovrin map levenshtein data/sample_pairs.tsv --header
echo
echo "tools/demo.sh: done; see ovrin --help (wine build/mingw32/ovrin.exe --help) for more"
