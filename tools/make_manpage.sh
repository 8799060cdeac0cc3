#!/bin/sh
# The manual page of ovrin, made from the command's own help so that the two
# never say different things: SYNOPSIS and COMMANDS from the usage lines of
# `ovrin --help` and the help of map, group and link; DESCRIPTION from the
# other paragraphs of --help and what the commands do with records; OPTIONS
# from the list of options of --help (every row of the option table: an
# option worded for each command with every wording); EXIT STATUS from its
# exit statuses; FUNCTIONS from `ovrin help FUNCTION`. ENVIRONMENT is written
# here; EXAMPLES are run here and show what they print.
#   tools/make_manpage.sh PATH_TO_OVRIN VERSION > ovrin.1
set -eu
ovrin=$1 version=$2
case $ovrin in /*) ;; *) ovrin=$PWD/$ovrin ;; esac
data=$(cd "$(dirname "$0")/../data" && pwd)
help=$("$ovrin" --help)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# The awk functions every part shares.
lib='
# Text as roff: backslashes escaped, a dash in an option or standing alone a
# minus (\-), one between two letters or digits a hyphen, a line free to
# break after a comma that a quote or a brace follows (as the help breaks
# it), and no line taken for a request.
function esc(s,    out, i, j, n) {
    gsub(/\\/, "\\e", s)
    gsub(/,"/, ",\\:\"", s)
    gsub(/,\{/, ",\\:{", s)
    out = ""
    n = length(s)
    i = 1
    while (i <= n) {
        if (substr(s, i, 1) ~ /[ \t]/) { out = out substr(s, i, 1); i++; continue }
        for (j = i; j <= n && substr(s, j, 1) !~ /[ \t]/; j++) ;
        out = out word(substr(s, i, j - i))
        i = j
    }
    if (out ~ /^[.\047]/) out = "\\&" out
    return out
}
function word(t,    option, r, k, c) {
    option = t ~ /^[^A-Za-z0-9]*-/ || index(t, "--")
    r = ""
    for (k = 1; k <= length(t); k++) {
        c = substr(t, k, 1)
        if (c == "-" && (option || k == 1 || substr(t, k - 1, 1) !~ /[A-Za-z0-9]/ || substr(t, k + 1, 1) !~ /[A-Za-z0-9]/))
            c = "\\-"
        r = r c
    }
    return r
}
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
# Two lines of wrapped text as one: the help breaks a line without a blank
# after a comma that a quote or a brace follows.
function join(a, b) {
    b = trim(b)
    return a ~ /,$/ && b ~ /^["{]/ ? a b : a " " b
}
function indent(s) { match(s, /^ */); return RLENGTH }
# A command line of the usage: command words bold, placeholders italic.
function synopsis(s,    out, c, run) {
    out = ""
    while (s != "") {
        if (match(s, /^[A-Z][A-Z_0-9]+/)) { out = out "\\fI" substr(s, 1, RLENGTH) "\\fR" }
        else if (match(s, /^[a-z]+/)) { out = out "\\fB" substr(s, 1, RLENGTH) "\\fR" }
        else { RLENGTH = 1; c = substr(s, 1, 1); out = out (c == "-" ? "\\-" : c == "\\" ? "\\e" : c) }
        s = substr(s, RLENGTH + 1)
    }
    return out
}
# An option as its list shows it: its names bold, its value italic.
function lead(s,    n, parts, k, out, t) {
    n = split(s, parts, " ")
    out = ""
    for (k = 1; k <= n; k++) {
        t = parts[k]
        if (t ~ /^-/) {
            if (sub(/,$/, "", t)) out = out "\\fB" esc(t) "\\fR, "
            else out = out "\\fB" esc(t) "\\fR "
        } else out = out "\\fI" esc(t) "\\fR "
    }
    return trim(out)
}
# A .TP list of "  TAG  TEXT" lines, their text going on in lines indented
# further; from line i on, while the lines are of the list. Returns the line
# after it.
function list(i, font,    rest, p, tag, body) {
    while (i <= n && line[i] ~ /^  [^ ]/ && match(substr(line[i], 3), /[^ ]  +[^ ]/)) {
        rest = substr(line[i], 3)
        p = match(rest, /  +/)
        tag = substr(rest, 1, p - 1)
        body = substr(rest, p + RLENGTH)
        for (i++; i <= n && line[i] ~ /^   /; i++) body = join(body, line[i])
        print ".TP"
        print "\\f" font esc(tag) "\\fR"
        print esc(body)
    }
    return i
}
# Help text as paragraphs: an unindented short line ending in ":" that opens
# a paragraph is a heading; unindented lines are prose; indented lines that
# begin with "$ " or "ovrin " are shown as they are; "  TAG  TEXT" lines a
# list; other indented lines indented prose. The options of a command are
# named, and told under OPTIONS.
function render(    i, l, text, names, k, parts, m, pp) {
    pp = 1
    i = 1
    while (i <= n) {
        l = line[i]
        if (l == "") { pp = 1; i++; continue }
        if (l ~ /^[^ ].*:$/ && length(l) < 60 && (i == 1 || line[i - 1] == "")) {
            if (l == "Options:" && line[i + 1] ~ /^  -/) {
                names = ""
                for (i++; i <= n && line[i] != ""; i++) {
                    if (line[i] !~ /^  -/) continue
                    m = split(trim(line[i]), parts, " ")
                    for (k = 1; k <= m && parts[k] ~ /^-/; k++) {
                        sub(/,$/, "", parts[k])
                        names = names (names == "" ? "" : ", ") "\\fB" esc(parts[k]) "\\fR"
                    }
                }
                print ".PP"
                print "\\fBOptions:\\fR " names "; each is told under"
                print ".B OPTIONS."
                continue
            }
            if (pp) print ".PP"
            print "\\fB" esc(l) "\\fR"
            print ".br"
            pp = 0
            i++
            continue
        }
        if (l !~ /^ /) {
            text = l
            for (i++; i <= n && line[i] ~ /^[^ ]/; i++) text = join(text, line[i])
            if (pp) print ".PP"
            print esc(text)
            pp = 1
            continue
        }
        if (l ~ /^  (\$ |ovrin )/) {
            print ".RS 4"
            print ".nf"
            for (; i <= n && line[i] ~ /^  /; i++) print esc(substr(line[i], 3))
            print ".fi"
            print ".RE"
            pp = 1
            continue
        }
        if (l ~ /^  [^ ]/ && match(substr(l, 3), /[^ ]  +[^ ]/)) {
            i = list(i, "I")
            pp = 1
            continue
        }
        text = trim(l)
        for (i++; i <= n && line[i] ~ /^  /; i++) text = join(text, line[i])
        print ".RS"
        print esc(text)
        print ".RE"
        pp = 1
    }
}
'

# The paragraphs of the help that begin with $1.
paragraphs() { printf '%s\n' "$help" | awk -v RS= -v ORS='\n\n' -v start="$1" 'index($0, start) == 1'; }
# Text in the form of a help, as man paragraphs.
render() { awk "$lib"'{ line[++n] = $0 } END { render() }'; }
# The usage lines of the help: each command line, a TAB, and what it does,
# which stands in a column of its own (that of its further lines).
usage() {
  paragraphs Usage: | awk "$lib"'
    NR > 1 && $0 != "" { line[++n] = $0; if (!column && indent($0) > 2) column = indent($0) + 1 }
    END {
        for (i = 1; i <= n; i++) {
            l = line[i]
            if (indent(l) > 2) { what[m] = join(what[m], l); continue }
            if (length(l) >= column && substr(l, column - 1, 1) == " ") {
                command[++m] = trim(substr(l, 1, column - 1))
                what[m] = substr(l, column)
            } else command[++m] = trim(l)
        }
        for (i = 1; i <= m; i++) print command[i] "\t" trim(what[i])
    }'
}

cat <<HEAD
.TH OVRIN 1 "" "ovrin $version" "User Commands"
.\" Made by tools/make_manpage.sh from the help of ovrin $version.
.nh
.ad l
.SH NAME
ovrin \\- match personal names by sound and spelling, through the Ovrin library
.SH SYNOPSIS
.nf
HEAD
usage | awk "$lib"'BEGIN { FS = "\t" } { print synopsis($1) }'
printf '.fi\n.SH DESCRIPTION\n'
# The help's paragraphs that are not its usage, options, exit statuses or
# functions, then what map, group and link do with records.
printf '%s\n' "$help" | awk -v RS= -v ORS='\n\n' '!/^(Usage|Options|Exit status|Functions)/' | render
"$ovrin" help map | awk -v RS= -v ORS='\n\n' '/^Records:/' | render

printf '.SH COMMANDS\n'
"$ovrin" help group >"$scratch/group"
usage | while IFS="$(printf '\t')" read -r command what; do
  printf '.SS "%s"\n' "$(printf '%s\n' "$command" | awk "$lib"'{ print esc($0) }')"
  case $command in
    "ovrin map "* | "ovrin group "* | "ovrin link "*)
      name=$(printf '%s\n' "$command" | cut -d' ' -f2)
      # The command's help without its first line (the usage, the title here)
      # and its records (told under DESCRIPTION); in link, what group's help
      # has told already is named by its heading.
      "$ovrin" help "$name" | sed 1d | awk -v RS= -v ORS='\n\n' -v command="$name" '
        FILENAME != "-" { if (command != "group") told[$0] = 1; next }
        /^Records:/ { next }
        $0 in told {
          if (!named && /^[^\n]*:\n/) { sub(/\n.*/, ""); print $0 "\nAs for ovrin group, above."; named = 1 }
          next
        }
        { print }' "$scratch/group" - | render ;;
    *)
      printf '%s\n' "$what" | awk "$lib"'{ print ".PP"; print esc(toupper(substr($0, 1, 1)) substr($0, 2)) }' ;;
  esac
done

printf '.SH FUNCTIONS\n'
"$ovrin" info | sed -n 's/^ *[0-9][0-9]*  *\(ov[a-z]*\) .*/\1/p' | while read -r function; do
  text=$("$ovrin" help "$function")
  printf '.SS "%s"\n' "$(printf '%s\n' "$text" | sed 1q | awk "$lib"'{ print esc($0) }')"
  printf '%s\n' "$text" | sed 1d | render
done

printf '.SH OPTIONS\n'
paragraphs Options: | awk "$lib"'
    # An entry is the option line and the lines after it; a wording of an
    # option worded for each command opens at column 24 and goes on at 26.
    function flush(    k, hanging, para, out) {
        if (tag == "") return
        hanging = 0
        for (k = 1; k <= m; k++) if (indent(rows[k]) >= 25) hanging = 1
        print ".TP"
        print lead(tag)
        para = 0
        for (k = 1; k <= m; k++) {
            if (k == 1 || (hanging && indent(rows[k]) == 23)) {
                if (para) { print wording(out); print ".IP" }
                out = trim(rows[k])
                para = 1
            } else out = join(out, rows[k])
        }
        if (para) print wording(out)
        tag = ""
    }
    function wording(s) {
        if (match(s, /^(a function call|map|group|link|info|help)((, | and )(a function call|map|group|link|info|help))*: /))
            return "\\fI" substr(s, 1, RLENGTH - 1) "\\fR " esc(substr(s, RLENGTH + 1))
        return esc(s)
    }
    NR == 1 || $0 == "" { next }
    /^  -/ {
        flush()
        m = 0
        if (length($0) > 23 && substr($0, 23, 1) == " " && substr($0, 24, 1) != " ") {
            tag = trim(substr($0, 1, 23))
            rows[++m] = sprintf("%23s%s", "", substr($0, 24))
        } else tag = trim($0)
        next
    }
    { rows[++m] = $0 }
    END { flush() }'

printf '.SH EXIT STATUS\n'
paragraphs 'Exit status:' | sed 1d | awk "$lib"'{ line[++n] = $0 } END { list(1, "B") }'

cat <<'ENVIRONMENT'
.SH ENVIRONMENT
None: ovrin reads no environment variable. It asks only whether stderr is a
terminal, for the progress bar of
.B map
(see
.BR \-\-progress ),
and whether stdout is the same terminal, to take the bar off the line before
output. The locale (\fBLANG\fR, \fBLC_ALL\fR) changes nothing: text is UTF-8, or
Windows-1252 with
.BR "\-\-encoding cp1252" .
ENVIRONMENT

printf '.SH EXAMPLES\n'
# Each example is run here, from a folder that holds the sample lists as
# people.csv and people_b.csv, and shows what it writes on stdout.
mkdir "$scratch/bin"
ln -s "$ovrin" "$scratch/bin/ovrin"
cp "$data/sample_people.csv" "$scratch/people.csv"
cp "$data/sample_people_b.csv" "$scratch/people_b.csv"
example() {  # WHAT, then command lines for sh
  printf '%s\n' "$1" | awk "$lib"'{ print ".PP"; print esc($0) }'
  shift
  : >"$scratch/shown"
  for command in "$@"; do
    printf '$ %s\n' "$command" >>"$scratch/shown"
    if ! (cd "$scratch" && PATH=$scratch/bin:$PATH sh -c "$command" >>shown 2>/dev/null); then
      echo "make_manpage.sh: this example failed: $command" >&2
      exit 1
    fi
  done
  printf '.RS 4\n.nf\n'
  awk "$lib"'{ print esc($0) }' "$scratch/shown"
  printf '.fi\n.RE\n'
}
printf 'What the commands write on stderr (summaries, warnings) is left out.\n'
example "A function called once, by its name or written as in a script:" \
  'ovrin soundex Robert 0' "ovrin 'ovDoubleMetaphone(\"Smith\", 4)'" 'ovrin guthmatch Smith Smyth 3'
example "An error answer: its message goes to stderr, and the exit status is 1:" \
  'ovrin extenderinfo 3 2>&1; echo $?'
example "A function over a list, one name a line, from stdin:" \
  "printf 'Meyer\\nSchmidt\\nSmyth\\n' | ovrin map doublemetaphone 4"
example "The same over a CSV column found by its header, which gets the name of the new column:" \
  "printf 'id,surname\\n1,Mueller\\n2,Muller\\n' | ovrin map soundex 0 --csv --field surname"
example "The same person in a list: the records of people.csv in groups, the date of birth for or against each pair:" \
  'ovrin group --csv --field given,surname --with dob people.csv'
example "The people of people_b.csv found in people.csv, the best partner of each:" \
  'ovrin link --csv --best --field given,surname --with dob people_b.csv people.csv'
example "Look-alike names grouped by a shared code and confirmed by Guth match both ways round; --all keeps the names that stand alone:" \
  "printf 'Meyer\\nMaier\\nMayer\\nMeier\\n' | ovrin group --confirm guth --all"

cat <<'TAIL'
.SH SEE ALSO
.B ovrin help
.I FUNCTION
for a function's parameters and results.
The project's README.md, and under docs/ command.md (calls, map and records),
people.md (finding the same person), grouping-by-code.md and library.md (what
the library promises a script); the README.txt and sample WIL scripts of the
Windows package.
TAIL
