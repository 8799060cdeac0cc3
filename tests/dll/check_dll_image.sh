#!/bin/sh
# Checks the built ovrin.dll as a file: a PE32 image for i386 that exports
# exactly the two decorated entry points at ordinals 1 and 2, imports only
# system DLLs, and carries the string table and version record.
#   check_dll_image.sh DLL OBJDUMP WINDRES
set -u
dll=$1 objdump=$2 windres=$3
fail=0
no() { echo "FAIL $*"; fail=1; }

headers=$($objdump -p "$dll") || { echo "FAIL cannot read $dll"; exit 1; }
echo "$headers" | grep -q 'file format pei-i386' || no "not a PE32 image for i386"

# The names of the export table: rows "[   0] name", the index counted from
# the ordinal base.
base=$(echo "$headers" | sed -n 's/^Ordinal Base[^0-9]*\([0-9]*\).*/\1/p')
exports=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | grep -E '^\s*\[ *[0-9]+\]' |
  sed -E 's/^\s*\[ *([0-9]+)\] +(.*)/\1 \2/' | while read -r index name; do echo "$((index + base)) $name"; done)
expected=$(printf '1 _WILExtender2@40\n2 _WILExtenderQuery@12')
[ "$exports" = "$expected" ] || no "exports are:
$exports
expected:
$expected"

imports=$(echo "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for name in $imports; do
  case $name in
    kernel32.dll|user32.dll|msvcrt.dll|api-ms-win-*) ;;
    *) no "imports a DLL that is not a system one: $name" ;;
  esac
done

resources=$($windres -i "$dll" -O rc 2>/dev/null) || no "windres cannot read the resources"
# The texts the DLL must carry, read from their sources: the string table
# (strings.def) and the version record (version.h).
resources_dir=$(dirname "$0")/../../resources
define() { sed -n "s/^#define $1 //p" "$resources_dir/version.h"; }
file_version=$(define OV_FILE_VERSION)
product_version=$(define OV_PRODUCT_VERSION)
product_text=$(define OV_PRODUCT_VERSION_TEXT)
file_text=$(define OV_FILE_VERSION_TEXT)
strings=$(sed -n 's/^OV_STRING(\([0-9]*\), \(.*\))$/\1, \2/p' "$resources_dir/strings.def" |
  sed "s/OV_FILE_VERSION_TEXT/$file_text/")
[ -n "$strings" ] || no "no strings read from $resources_dir/strings.def"
echo "$strings
FILEVERSION $file_version
PRODUCTVERSION $product_version
VALUE \"ProductVersion\", $product_text
VALUE \"Translation\", 0x409, 1252" | while IFS= read -r text; do
  echo "$resources" | grep -qF "$text" || echo "FAIL resources lack: $text"
done | grep . && fail=1
echo "$resources" | grep -q 'LANGUAGE 9, 1' || no "string table is not US English"

[ $fail -eq 0 ] && echo "ovrin.dll image: exports, imports and resources as expected"
exit $fail
