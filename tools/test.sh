#!/bin/sh
# Every test: native, under AddressSanitizer + UndefinedBehaviorSanitizer,
# through the real ovrin.dll (under Wine where this machine runs 32-bit
# programs, and always in the x86 emulator), and a bounded libFuzzer run
# (OVRIN_FUZZ_SECONDS, 120 by default), then the packages of tools/package.sh.
# Installs what is missing.
# OVRIN_DLL_EMULATOR=1 leaves Wine out even where it runs.
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh
export WINEDEBUG=-all
if reason=$(tools/probe_wine.sh); then
  how="ovrin.dll: under Wine, and under the x86 emulator"
elif [ "${OVRIN_DLL_EMULATOR:-0}" = 1 ]; then
  how="ovrin.dll: under the x86 emulator ($reason)"
else
  how="ovrin.dll: under the x86 emulator (this machine cannot run 32-bit programs: $reason)"
fi
echo "$how"
status=0
for preset in native asan mingw32 emulated fuzz; do
  echo "== $preset"
  cmake --workflow --preset "$preset" || status=1
done
echo "== package"
sh tests/package/package_test.sh || status=1
# The fuzz run's own figures.
grep -h -E 'stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)' \
  build/fuzz/Testing/Temporary/LastTest.log 2>/dev/null | sed 's/^/fuzz: /' || true
grep -h -E 'emulated calls:' build/emulated/Testing/Temporary/LastTest.log 2>/dev/null | sed 's/^/emulator: /' || true
echo "$how"
if [ $status -eq 0 ]; then echo "tools/test.sh: all configurations passed"; else echo "tools/test.sh: FAILED"; fi
exit $status
