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
for text in \
  '100, "100:  Ovrin Extender: Unknown Function. (Module BigSwitch)"' \
  '101, "101:  Invalid parameter for retrieving version information."' \
  '913, "913:  Unable to allocate memory."' \
  '915, "915:  Unable to allocate memory: Allocated too many buffers."' \
  '1000, "Ovrin Name Matching Functions Extender for WinBatch"' \
  '1001, "34002"' \
  'FILEVERSION 34002, 0, 0, 0' \
  'PRODUCTVERSION 10002, 0, 0, 0' \
  'VALUE "ProductVersion", "10002.20031108"' \
  'VALUE "Translation", 0x409, 1252'; do
  echo "$resources" | grep -qF "$text" || no "resources lack: $text"
done
echo "$resources" | grep -q 'LANGUAGE 9, 1' || no "string table is not US English"

[ $fail -eq 0 ] && echo "ovrin.dll image: exports, imports and resources as expected"
exit $fail
