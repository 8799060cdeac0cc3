#!/bin/sh
# tools/demo.sh must not hide a failure: run against a DLL that writes past
# its arguments, through the emulator, it exits non-zero and names the calls.
set -u
cd "$(dirname "$0")/../.."
out=$(OVRIN_DLL_EMULATOR=1 OVRIN_DLL="$PWD/build/mingw32/ovrin_broken_past_nul.dll" tools/demo.sh 2>&1)
status=$?
if [ $status -eq 0 ]; then
  echo "FAIL tools/demo.sh exited 0 with a broken DLL"
  exit 1
fi
echo "$out" | grep -q 'FAILED: these calls did not answer as expected' || { echo "FAIL no summary of the failed calls:"; echo "$out" | tail -5; exit 1; }
echo "$out" | grep -q 'ovrin isconsonant Robert 1 (exit status 70, expected 0)' || { echo "FAIL the broken call is not named"; exit 1; }
echo "demo_test: 1 passed, 0 failed"
