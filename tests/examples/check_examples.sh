#!/bin/sh
# Runs every call of the sample scripts through an ovrin command and checks
# the result its line gives after "=>":
#   x = ovSoundex("Robert", 0)           ; => "R163"
#   x = ovSoundex(name, 0)               ; name = "Robert" => "R163"
#   x = ovDoubleMetaphone("Smith", 4)    ; => "SM0" : @TAB : "XMT"
#   x = ovExtenderInfo(3)                ; => error 101
# Variables named before "=>" stand for the strings given; StrCat(v, "")
# (a copy) stands for v. A call line without "=>" is a failure too.
#   check_examples.sh 'OVRIN COMMAND' FILE.wbt...
set -u
ovrin=$1
shift
passed=0
failed=0
fail() {
  echo "FAIL $*"
  failed=$((failed + 1))
}
tab=$(printf '\t')
for file in "$@"; do
  number=0
  while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    code=${line%%;*}
    echo "$code" | grep -q '\bov[A-Z][A-Za-z]*(' || continue
    where="$(basename "$file"):$number"
    case $line in
      *'=>'*) ;;
      *) fail "$where: a call without its result after =>: $line"; continue ;;
    esac
    call=$(echo "$code" | sed 's/^.*\(\bov[A-Z][A-Za-z]*(.*)\)[[:space:]]*$/\1/')
    comment=${line#*;}
    bindings=${comment%%=>*}
    expected=$(echo "${comment#*=>}" | sed 's/^[[:space:]]*//; s/[[:space:]]*$//')
    call=$(echo "$call" | sed 's/StrCat(\([A-Za-z_][A-Za-z0-9_]*\), "")/\1/g')
    # Each binding `v = "text"` replaces the word v in the call.
    rest=$bindings
    while echo "$rest" | grep -q '[A-Za-z_][A-Za-z0-9_]* *= *"[^"]*"'; do
      variable=$(echo "$rest" | sed 's/^[^A-Za-z_]*\([A-Za-z_][A-Za-z0-9_]*\) *= *"[^"]*".*/\1/')
      value=$(echo "$rest" | sed 's/^[^A-Za-z_]*[A-Za-z_][A-Za-z0-9_]* *= *\("[^"]*"\).*/\1/')
      call=$(echo "$call" | sed "s/\\b$variable\\b/$value/g")
      rest=$(echo "$rest" | sed 's/^[^A-Za-z_]*[A-Za-z_][A-Za-z0-9_]* *= *"[^"]*"//')
    done
    err=$(mktemp)
    got=$($ovrin "$call" 2>"$err")
    status=$?
    message=$(cat "$err")
    rm -f "$err"
    case $expected in
      error\ *)
        id=${expected#error }
        if [ $status -ne 1 ] || ! echo "$message" | grep -q ": $id: "; then
          fail "$where: $call gave status $status ($message), expected error $id"
          continue
        fi ;;
      *)
        want=$(echo "$expected" | sed "s/\" *: *@TAB *: *\"/$tab/g; s/^\"//; s/\"\$//")
        if [ $status -ne 0 ] || [ "$got" != "$want" ]; then
          fail "$where: $call gave \"$got\" (status $status $message), expected $expected"
          continue
        fi ;;
    esac
    passed=$((passed + 1))
  done <"$file"
done
echo "check_examples: $passed passed, $failed failed"
[ $failed -eq 0 ] && [ $passed -gt 0 ]
