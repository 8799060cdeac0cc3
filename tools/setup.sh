#!/bin/sh
# Installs what the builds and tests need on Debian 12, skipping what is
# already there.
#   tools/setup.sh          everything: the Linux build and its tests,
#                           ovrin.dll (mingw-w64, the x86 emulator, and
#                           32-bit Wine where this machine can run it) and
#                           the packages' tools (zip, man), and Chromium
#                           for the test of the --report page
#   tools/setup.sh native   only the Linux build and its tests (with tmux,
#                           the real terminal the progress bar is tested in,
#                           and Python for the check of messy records)
set -eu
cd "$(dirname "$0")/.."

packages="g++ cmake make libgtest-dev libbenchmark-dev libicu-dev clang libclang-rt-14-dev valgrind tmux python3"
if [ "${1:-all}" != native ]; then
  packages="$packages g++-mingw-w64-i686 libunicorn-dev zip unzip man-db chromium"
  # 32-bit Wine only where the kernel runs 32-bit programs; elsewhere the
  # DLL runs in the emulator alone.
  if tools/probe_wine.sh --kernel >/dev/null; then
    packages="$packages wine wine32:i386"
  else
    echo "setup: $(tools/probe_wine.sh --kernel): 32-bit Wine left out, ovrin.dll runs in the x86 emulator" >&2
  fi
fi

need=""
have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for pkg in $packages; do
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
