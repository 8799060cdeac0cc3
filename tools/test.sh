#!/bin/sh
# Every test: native, under AddressSanitizer + UndefinedBehaviorSanitizer,
# through the real ovrin.dll under 32-bit Wine, and a bounded libFuzzer run
# (OVRIN_FUZZ_SECONDS, 120 by default). Installs what is missing.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
export WINEDEBUG=-all
status=0
for preset in native asan mingw32 fuzz; do
  echo "== $preset"
  cmake --workflow --preset "$preset" || status=1
done
# The fuzz run's own figures.
grep -h -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' \
  build/fuzz/Testing/Temporary/LastTest.log 2>/dev/null | sed 's/^/fuzz: /' || true
if [ $status -eq 0 ]; then echo "tools/test.sh: all configurations passed"; else echo "tools/test.sh: FAILED"; fi
exit $status
