#!/bin/sh
# Speed of every function, natively and through ovrin.dll under Wine, and
# beside its fastest peers: builds the native preset (the library at -O3 as
# one unit) and the mingw32 DLL, runs each benchmark BENCH_RUNS times (3 by
# default), each native run followed by the PHP peers (bench/peers.php),
# keeps the outputs in bench/results/, and rewrites the chart
# bench/speed.svg and the two tables of bench/README.md. The
# machine should be otherwise idle; each run's load average is written
# beside its figures.
#
# BENCH_DLL=0 leaves out the DLL (for a machine that cannot run 32-bit
# Windows programs): the native runs and the peers only, and only the
# peers table is rewritten.
#
# PHP runs with its opcache and tracing JIT on, its fastest setting: the
# peer at its best. php-cli comes from Debian (apt-get install php-cli).
set -eu
cd "$(dirname "$0")/.."
runs=${BENCH_RUNS:-3}
dll=${BENCH_DLL:-1}
export WINEDEBUG=-all
php_fastest="-d opcache.enable_cli=1 -d opcache.jit=tracing -d opcache.jit_buffer_size=64M"

command -v php >/dev/null || { echo "bench.sh: php is missing (apt-get install php-cli)" >&2; exit 1; }
cmake --preset native >/dev/null
cmake --build build/native -j2 --target bench_functions
if [ "$dll" = 1 ]; then
  cmake --preset mingw32 >/dev/null
  cmake --build build/mingw32 -j2 --target ovrin bench_dll
fi

mkdir -p bench/results
: >bench/results/native.txt
: >bench/results/peers.txt
[ "$dll" = 1 ] && : >bench/results/dll.txt
run=1
while [ "$run" -le "$runs" ]; do
  echo "== run $run of $runs"
  echo "# run $run, load average $(cut -d' ' -f1-3 /proc/loadavg)" >>bench/results/native.txt
  build/native/bench_functions 2>/dev/null | sed -n '/^function /,$p' >>bench/results/native.txt
  echo "# run $run, load average $(cut -d' ' -f1-3 /proc/loadavg)" >>bench/results/peers.txt
  # shellcheck disable=SC2086
  php $php_fastest bench/peers.php data/names.txt >>bench/results/peers.txt
  if [ "$dll" = 1 ]; then
    echo "# run $run, load average $(cut -d' ' -f1-3 /proc/loadavg)" >>bench/results/dll.txt
    wine build/mingw32/bench_dll.exe build/mingw32/ovrin.dll data/names.txt >>bench/results/dll.txt
    # Wine's server outlives the program for a while; the next native run
    # must not share the processor with it.
    wineserver -w
  fi
  run=$((run + 1))
done

python3 tools/bench_chart.py --peers bench/results/native.txt bench/results/peers.txt --readme bench/README.md
if [ "$dll" = 1 ]; then
  python3 tools/bench_chart.py bench/results/native.txt bench/results/dll.txt --svg bench/speed.svg --readme bench/README.md
  python3 tools/bench_chart.py bench/results/native.txt bench/results/dll.txt
fi
python3 tools/bench_chart.py --peers bench/results/native.txt bench/results/peers.txt
