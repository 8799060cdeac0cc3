#!/bin/sh
# Regenerates data/names.txt: the proper names (capitalised words, no
# possessives) of Debian's American English and Italian word lists, UTF-8,
# sorted bytewise. Needs the packages wamerican-huge and witalian.
set -eu
cd "$(dirname "$0")/.."
grep -h '^[[:upper:]]' /usr/share/dict/american-english-huge /usr/share/dict/italian |
  grep -v "'s\$" | grep -P "^[A-Za-zÀ-ÖØ-öø-ÿ][A-Za-zÀ-ÖØ-öø-ÿ'-]+\$" | LC_ALL=C sort -u > data/names.txt
wc -l data/names.txt
