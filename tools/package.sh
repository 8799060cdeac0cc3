#!/bin/sh
# Builds the packages from this checkout into dist/:
#   ovrin-VERSION-win32.zip   ovrin.dll, ovrin.exe, README.txt, samples/,
#                             NOTICE.txt, LICENSE-nicknames.txt and
#                             SHA256SUMS, for script authors
#   ovrin_VERSION_amd64.deb   the Linux ovrin in /usr/bin, its manual page,
#                             bash completion, and NOTICE and
#                             LICENSE-nicknames in /usr/share/doc/ovrin
# Both commands hold the nickname table of data/nicknames/, so both packages
# carry the top-level NOTICE and the table's licence.
# The version is the version record's (resources/version.h). The zip is
# reproducible: built twice from one commit it has the same bytes (no link
# time in the PE headers, no checkout path in the binaries, every timestamp
# the last commit's, files in sorted order with fixed permissions).
#   tools/package.sh [zip|deb]    one of them; both by default
set -eu
cd "$(dirname "$0")/.."
what=${1:-all}
tools/setup.sh
version=$(sed -n 's/^#define OV_FILE_VERSION_TEXT "\(.*\)"$/\1/p' resources/version.h)
epoch=$(git log -1 --format=%ct 2>/dev/null || echo 946684800)
mkdir -p dist
quiet() {
  log=$(mktemp)
  "$@" >"$log" 2>&1 || { cat "$log"; rm -f "$log"; echo "tools/package.sh: failed: $*" >&2; exit 1; }
  rm -f "$log"
}

# The native command: the .deb's content, and the help texts of README.txt.
native=build/package-native
quiet cmake -S . -B $native -DCMAKE_BUILD_TYPE=Release -DOVRIN_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr
quiet cmake --build $native -j2 --target ovrin_command ovrin_manpage

if [ "$what" != deb ]; then
  windows=build/package-win
  quiet cmake -S . -B $windows --toolchain cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release -DOVRIN_TESTS=OFF
  quiet cmake --build $windows -j2 --target ovrin ovrin_command
  name=ovrin-$version-win32
  stage=$windows/stage
  rm -rf $stage
  mkdir -p $stage/$name/samples
  # strip writes the time into the PE header: the last commit's.
  SOURCE_DATE_EPOCH=$epoch i686-w64-mingw32-strip -o $stage/$name/ovrin.dll $windows/ovrin.dll
  SOURCE_DATE_EPOCH=$epoch i686-w64-mingw32-strip -o $stage/$name/ovrin.exe $windows/ovrin.exe
  # Text for Windows: CR LF line ends.
  {
    cat resources/package_readme.txt
    $native/ovrin info | sed -n 's/^ *[0-9][0-9]*  *\(ov[a-z]*\) .*/\1/p' | while read -r function; do
      echo
      $native/ovrin help "$function"
    done
  } | sed 's/$/\r/' >$stage/$name/README.txt
  for file in examples/*; do sed 's/$/\r/' "$file" >"$stage/$name/samples/$(basename "$file")"; done
  sed 's/$/\r/' NOTICE >$stage/$name/NOTICE.txt
  sed 's/$/\r/' data/nicknames/LICENSE >$stage/$name/LICENSE-nicknames.txt
  (cd $stage/$name && find . -type f | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >../SHA256SUMS)
  mv $stage/SHA256SUMS $stage/$name/
  find $stage -type d -exec chmod 755 {} + && find $stage -type f -exec chmod 644 {} +
  find $stage -exec touch -h -d "@$epoch" {} +
  rm -f dist/$name.zip
  (cd $stage && find $name -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -9 -@ ../../../dist/$name.zip)
  echo "dist/$name.zip"
fi

if [ "$what" != zip ]; then
  rm -rf $native/packages
  quiet sh -c "cd $native && cpack -G DEB"
  mv $native/packages/ovrin_*.deb dist/
  ls dist/ovrin_"$version"_*.deb
fi
