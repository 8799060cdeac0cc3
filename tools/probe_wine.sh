#!/bin/sh
# Can this machine run the 32-bit Windows programs (ovrin.dll's test hosts)
# under Wine? Prints "wine" and exits 0, or prints why not and exits 1.
#   tools/probe_wine.sh            the verdict
#   tools/probe_wine.sh --kernel   only whether the kernel runs 32-bit x86 programs
# OVRIN_DLL_EMULATOR=1 answers no, so that the emulator path can be taken
# where Wine works.
set -u

# A 93-byte i386 Linux program that only exits 0: the kernel runs it, or
# answers "Exec format error" where 32-bit programs cannot run at all.
kernel_runs_i386() {
  program=$(mktemp)
  printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' >"$program"
  chmod +x "$program"
  why=$("$program" 2>&1) && status=0 || status=$?
  rm -f "$program"
  if [ "$status" -ne 0 ]; then
    echo "the kernel cannot execute 32-bit x86 programs (${why:-exit status $status})" | sed 's/^.*: *\(Exec format error\)/the kernel cannot execute 32-bit x86 programs (\1/; s/((/(/'
    return 1
  fi
}

if [ "${1:-}" = "--kernel" ]; then
  kernel_runs_i386 >/dev/null || { kernel_runs_i386; exit 1; }
  echo "i386"
  exit 0
fi
if [ "${OVRIN_DLL_EMULATOR:-0}" = 1 ]; then
  echo "the emulator is forced by OVRIN_DLL_EMULATOR=1"
  exit 1
fi
reason=$(kernel_runs_i386) || { echo "$reason"; exit 1; }
if ! command -v wine >/dev/null 2>&1; then
  echo "Wine is not installed"
  exit 1
fi
# The wine command starts the 32-bit loader; it fails here when 32-bit Wine
# is missing or cannot start.
if ! out=$(WINEDEBUG=-all wine --version 2>&1); then
  echo "32-bit Wine cannot start: $(echo "$out" | tail -n 1)"
  exit 1
fi
echo "wine"
