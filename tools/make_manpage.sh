#!/bin/sh
# The manual page of ovrin, made from the command's own help (its option table
# and function notes), so that the two never say different things.
#   tools/make_manpage.sh PATH_TO_OVRIN VERSION > ovrin.1
set -eu
ovrin=$1 version=$2
# Help text as roff: backslashes escaped, no line taken for a request.
roff() { sed -e 's/\\/\\e/g' -e 's/^\([.'"'"']\)/\\\&\1/' -e 's/-/\\-/g'; }
section() {  # TITLE, then the command whose help it shows
  title=$1
  shift
  if text=$("$ovrin" "$@" 2>/dev/null); then
    printf '.SS %s\n.nf\n' "$title"
    printf '%s\n' "$text" | roff
    printf '.fi\n'
  fi
}
cat <<HEAD
.TH OVRIN 1 "" "ovrin $version" "User Commands"
.SH NAME
ovrin \\- match personal names by sound and spelling, through the Ovrin library
.SH SYNOPSIS
.B ovrin
.I FUNCTION ARGUMENT...
.br
.B ovrin map
.I FUNCTION
.RI [ INTEGER ...]
.RI [ FILE ]
.br
.B ovrin group
.RI [ OPTION ...]
.RI [ FILE ]
.br
.B ovrin link
.RI [ OPTION ...]
.I FILE_A FILE_B
.br
.B ovrin info
.br
.B ovrin help
.I FUNCTION
.SH DESCRIPTION
.nf
HEAD
"$ovrin" --help | roff
printf '.fi\n.SH COMMANDS\n'
for command in map group link; do section "$command" help "$command"; done
printf '.SH FUNCTIONS\n'
"$ovrin" info | sed -n 's/^ *[0-9][0-9]*  *\(ov[a-z]*\) .*/\1/p' | while read -r function; do
  section "$function" help "$function"
done
cat <<TAIL
.SH SEE ALSO
The README of the project, and the sample WIL scripts of the Windows package.
TAIL
