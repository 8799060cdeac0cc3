#!/bin/sh
# Installs what the builds and tests need on Debian 12, skipping what is
# already there: the native toolchain and test libraries, clang for the
# fuzzer, mingw-w64 for the 32-bit DLL, 32-bit Wine to run it, tmux, the
# real terminal in which the progress bar is tested, and Python for the
# check of messy records.
set -eu

need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in g++ cmake make libgtest-dev libbenchmark-dev clang libclang-rt-14-dev valgrind \
           g++-mingw-w64-i686 wine wine32:i386 tmux python3; do
  have "$pkg" || need="$need $pkg"
done
[ -z "$need" ] && exit 0

if [ "$(id -u)" != 0 ]; then
  echo "setup: missing packages:$need (run as root to install them)" >&2
  exit 1
fi
echo "setup: installing$need" >&2
case "$need" in *:i386*) dpkg --add-architecture i386 ;; esac
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $need >/dev/null
