#!/bin/sh
# Speed of every function, natively and through ovrin.dll under Wine: builds
# the native preset (the library at -O3 as one unit) and the mingw32 DLL,
# runs each benchmark BENCH_RUNS times (3 by default), keeps the outputs in
# bench/results/, and rewrites the chart bench/speed.svg and the table in
# README.md's Speed section. The machine should be otherwise idle; each run's
# load average is written beside its figures.
set -eu
cd "$(dirname "$0")/.."
runs=${BENCH_RUNS:-3}
export WINEDEBUG=-all

cmake --preset native >/dev/null
cmake --build build/native -j2 --target bench_functions
cmake --preset mingw32 >/dev/null
cmake --build build/mingw32 -j2 --target ovrin bench_dll

mkdir -p bench/results
: >bench/results/native.txt
: >bench/results/dll.txt
run=1
while [ "$run" -le "$runs" ]; do
  echo "== run $run of $runs"
  echo "# run $run, load average $(cut -d' ' -f1-3 /proc/loadavg)" >>bench/results/native.txt
  build/native/bench_functions 2>/dev/null | sed -n '/^function /,$p' >>bench/results/native.txt
  echo "# run $run, load average $(cut -d' ' -f1-3 /proc/loadavg)" >>bench/results/dll.txt
  wine build/mingw32/bench_dll.exe build/mingw32/ovrin.dll data/names.txt >>bench/results/dll.txt
  # Wine's server outlives the program for a while; the next native run
  # must not share the processor with it.
  wineserver -w
  run=$((run + 1))
done

python3 tools/bench_chart.py bench/results/native.txt bench/results/dll.txt --svg bench/speed.svg --readme README.md
python3 tools/bench_chart.py bench/results/native.txt bench/results/dll.txt
