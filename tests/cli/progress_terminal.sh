#!/bin/sh
# The progress bar as a person sees it, in a real terminal (a tmux pane):
# with the output going to a file the bar stays on screen while map runs,
# and the run ends with one line of records, seconds and records per
# second; with the output on the same terminal the bar never mixes into
# an output line. Skipped (status 77) only where tmux is missing.
#   progress_terminal.sh PATH_TO_OVRIN SOURCE_DIR
set -u
ovrin=$1
source_dir=$2
command -v tmux >/dev/null 2>&1 || { echo "tmux is not installed"; exit 77; }

work=$(mktemp -d)
socket=""
cleanup() {
  [ -n "$socket" ] && tmux -L "$socket" kill-server 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

# Three million names: long enough for several redraws in any build.
awk 'NR == FNR { name[n++] = $0; next } END { for (i = 0; i < 3000000; i++) print name[(i * 7919) % n] }' \
  "$source_dir/data/names.txt" "$source_dir/data/names.txt" > "$work/names.txt"

# Runs a shell command line in a new pane 100 columns wide, on a server of
# its own; the pane stays after it ends, with "status N" below its output.
run_in_pane() {
  [ -n "$socket" ] && tmux -L "$socket" kill-server 2>/dev/null
  socket="ovrin_progress_$$_$1"
  tmux -L "$socket" -f /dev/null new-session -d -x 100 -y 20 "$2; echo status \$?; sleep 120" ||
    fail "tmux cannot start"
  deadline=$(($(date +%s) + 120))
}
pane() {
  tmux -L "$socket" capture-pane -p -t 0 || fail "the pane is gone"
  [ "$(date +%s)" -lt "$deadline" ] || fail "no end after two minutes"
}

# Output to a file: from its first drawing (after a quarter of a second)
# to the end of the run, nearly every look at the pane shows the bar: it is
# not blanked as soon as it is drawn.
run_in_pane file "'$ovrin' map doublemetaphone 8 '$work/names.txt' > '$work/out.tsv'"
started=$(date +%s%N)
looks=0
bars=0
while :; do
  screen=$(pane) || exit 1
  case "$screen" in *"status "*) break ;; esac
  if [ $(( ($(date +%s%N) - started) / 1000000 )) -ge 400 ]; then
    looks=$((looks + 1))
    case "$screen" in *"["*"#"*"] "*"% "*" records "*"records/s"*) bars=$((bars + 1)) ;; esac
  fi
  sleep 0.05
done
screen=$(pane)
echo "$screen" | grep -q "status 0" || fail "map did not succeed: $screen"
echo "$screen" | grep -Eq '^3000000 records in [0-9.]+ s, [0-9]+ records/s *$' || fail "no final line: $screen"
[ "$looks" -ge 2 ] || fail "the bar was seen $looks times"
[ $((bars * 10)) -ge $((looks * 9)) ] || fail "the bar was blank in $((looks - bars)) of $looks looks"
[ "$(wc -l < "$work/out.tsv")" -eq 3000000 ] || fail "output lost"

# Output to the same terminal: every line on screen is an output line, the
# final line or the status; the bar is taken off before output comes and
# no piece of it is left in an output line.
head -n 300000 "$work/names.txt" > "$work/some.txt"
run_in_pane shared "'$ovrin' map soundex 0 --progress '$work/some.txt'"
while :; do
  screen=$(pane) || exit 1
  case "$screen" in *"status "*) break ;; esac
  sleep 0.1
done
screen=$(pane)
echo "$screen" | grep -q "status 0" || fail "map did not succeed: $screen"
echo "$screen" | grep -Eq '^300000 records in [0-9.]+ s, [0-9]+ records/s *$' || fail "no final line: $screen"
# tmux shows TABs as blanks: an output line is a name and its code.
odd=$(echo "$screen" | grep -v -E '[^ ][0-9]{3} *$|^300000 records in [0-9.]+ s, [0-9]+ records/s *$|^status 0$|^$' | head -3)
[ -z "$odd" ] || fail "lines that are neither output nor the final line: $odd"
echo "bar seen in $bars of $looks looks; final lines right"
