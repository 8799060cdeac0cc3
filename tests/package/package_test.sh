#!/bin/sh
# The packages of tools/package.sh: the zip holds what a script author needs,
# its checksums hold, its DLL exports the two entry points with the version
# of the version record, runs the whole table of cases (in the emulator), and
# a second build from scratch gives the same bytes; the .deb installs a
# working ovrin with a manual page (every section, every option of the help,
# no roff warnings) and completion; both carry NOTICE and the licence of
# the nickname table their ovrin holds.
set -u
cd "$(dirname "$0")/../.."
passed=0
failed=0
check() {  # WHAT, then a command that must succeed
  what=$1
  shift
  if "$@" >/dev/null 2>&1; then passed=$((passed + 1)); else echo "FAIL $what"; failed=$((failed + 1)); fi
}
version=$(sed -n 's/^#define OV_FILE_VERSION_TEXT "\(.*\)"$/\1/p' resources/version.h)
name=ovrin-$version-win32
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

tools/package.sh >/dev/null || { echo "FAIL tools/package.sh"; exit 1; }
check "the zip is named by the version" test -f dist/$name.zip
check "the .deb is named by the version" test -f dist/ovrin_${version}_amd64.deb
cp dist/$name.zip "$scratch/first.zip"

# Its contents.
unzip -q dist/$name.zip -d "$scratch"
(cd "$scratch" && find $name -type f | LC_ALL=C sort) >"$scratch/files"
expected="$name/LICENSE-nicknames.txt $name/NOTICE.txt $name/README.txt $name/SHA256SUMS $name/ovrin.dll $name/ovrin.exe"
for sample in examples/*; do expected="$expected $name/samples/$(basename "$sample")"; done
check "the zip holds $expected" test "$(tr '\n' ' ' <"$scratch/files")" = "$(echo $expected | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')"
check "every checksum of SHA256SUMS holds" sh -c "cd '$scratch/$name' && sha256sum --quiet -c SHA256SUMS"
check "SHA256SUMS lists every other file" test "$(wc -l <"$scratch/$name/SHA256SUMS")" -eq $(($(wc -l <"$scratch/files") - 1))
# The nickname table's notice and licence, with CR LF line ends.
check "NOTICE.txt is NOTICE" sh -c "tr -d '\r' <'$scratch/$name/NOTICE.txt' | cmp -s - NOTICE"
check "LICENSE-nicknames.txt is the nickname table's licence" \
  sh -c "tr -d '\r' <'$scratch/$name/LICENSE-nicknames.txt' | cmp -s - data/nicknames/LICENSE"
check "README.txt tells every function" sh -c "for f in ovSoundex ovMetaphone ovPhonex ovDoubleMetaphone ovGuthMatch ovLevenshtein ovIsAbbrev ovIsConsonant ovIsVowel ovExtenderInfo; do grep -q \"\$f(\" '$scratch/$name/README.txt' || exit 1; done"
check "the DLL's exports, imports, strings and version record" \
  sh tests/dll/check_dll_image.sh "$scratch/$name/ovrin.dll" i686-w64-mingw32-objdump i686-w64-mingw32-windres
if [ -x build/emulated/dll_emulator ]; then
  check "the packaged DLL passes the table of cases" build/emulated/dll_emulator "$scratch/$name/ovrin.dll" tests/cases/*.cases
fi

# A second build from scratch: the same bytes.
rm -rf build/package-win
tools/package.sh zip >/dev/null || { echo "FAIL the second tools/package.sh"; exit 1; }
check "two builds of the zip are byte-identical" cmp "$scratch/first.zip" dist/$name.zip

# The .deb, unpacked into a scratch root.
deb=dist/ovrin_${version}_amd64.deb
check "the .deb is for amd64, version $version" test "$(dpkg-deb -f $deb Package Version Architecture | tr '\n' ' ')" = "Package: ovrin Version: $version Architecture: amd64 "
dpkg -x $deb "$scratch/root"
check "the installed ovrin answers info" sh -c "'$scratch/root/usr/bin/ovrin' info | grep -q 'version $version'"
check "the installed ovrin calls a function" test "$("$scratch/root/usr/bin/ovrin" soundex Robert 0)" = R163
page=$scratch/root/usr/share/man/man1/ovrin.1.gz
check "the manual page renders" sh -c "man -l '$page' 2>/dev/null | grep -q 'ovrin map FUNCTION'"
check "the manual page has no roff warnings" test -z "$(zcat "$page" | groff -man -ww -z 2>&1)"
MANWIDTH=80 man -l "$page" 2>/dev/null >"$scratch/page"
check "the manual page has every section" sh -c "for s in NAME SYNOPSIS DESCRIPTION COMMANDS FUNCTIONS OPTIONS 'EXIT STATUS' ENVIRONMENT EXAMPLES 'SEE ALSO'; do grep -qx \"\$s\" '$scratch/page' || exit 1; done"
# Each option of the installed ovrin's --help heads an entry of OPTIONS.
sed -n '/^OPTIONS$/,/^EXIT STATUS$/p' "$scratch/page" >"$scratch/options"
for option in $("$scratch/root/usr/bin/ovrin" --help | sed -n 's/^  \(-., \)\{0,1\}\(--[a-z0-9-]*\).*/\2/p'); do
  check "the manual page tells $option" grep -Eq "^ {7}(-., )?$option( |$)" "$scratch/options"
done
check "the .deb holds NOTICE" cmp "$scratch/root/usr/share/doc/ovrin/NOTICE" NOTICE
check "the .deb holds the nickname table's licence" \
  cmp "$scratch/root/usr/share/doc/ovrin/LICENSE-nicknames" data/nicknames/LICENSE
check "bash completion is installed" bash -n "$scratch/root/usr/share/bash-completion/completions/ovrin"
echo "package_test: $passed passed, $failed failed"
[ $failed -eq 0 ]
