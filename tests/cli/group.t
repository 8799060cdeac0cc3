# ovrin group --confirm (or --key, --limit): the records whose names share a
# code and are confirmed, in groups numbered by their first records, each
# record written as it came with its group and the key that joined the
# group. Matching people, the default, is in people.t.

# The example of docs/grouping-by-code.md: Meyer, Maier, Mayer and Meier share MR and lie
# within two edits; Smith and Smit share only their secondary code XMT, and
# Smit is the first look-alike of Smith, so XMT is the key.
$ ovrin group --confirm levenshtein:2 ../../data/sample_group.txt
> Meyer\t1\tMR
> Maier\t1\tMR
> Mayer\t1\tMR
> Meier\t1\tMR
> Smith\t2\tXMT
> Smit\t2\tXMT
> Smyth\t2\tXMT
> Johnson\t3\tJNSN
> Jonson\t3\tJNSN
> Katherine\t4\tK0RN
> Catherine\t4\tK0RN
> Müller\t5\tMLR
> Mueller\t5\tMLR
> Muller\t5\tMLR
! ovrin: 18 records: 14 in 5 groups, 4 alone (0 without a name, 0 without a code)
# --all keeps the near misses in place: Moore shares MR with Meyer but is
# four edits away, Kathryn shares K0RN with Katherine but is three away,
# Schmidt shares XMT with Smith and Smit but is three away from Smit.
$ ovrin group --confirm levenshtein:2 --all ../../data/sample_group.txt
> Meyer\t1\tMR
> Maier\t1\tMR
> Mayer\t1\tMR
> Meier\t1\tMR
> Smith\t2\tXMT
> Smit\t2\tXMT
> Smyth\t2\tXMT
> Johnson\t3\tJNSN
> Jonson\t3\tJNSN
> Schmidt\t\t
> Moore\t\t
> Katherine\t4\tK0RN
> Catherine\t4\tK0RN
> Kathryn\t\t
> Müller\t5\tMLR
> Mueller\t5\tMLR
> Muller\t5\tMLR
> Thomas\t\t
! ovrin: 18 records: 14 in 5 groups, 4 alone (0 without a name, 0 without a code)

# The key: the code that joined the group's first record to its earliest
# look-alike. Here that is Smit through the secondary code...
$ ovrin group --confirm levenshtein:2
< Smith
< Smit
< Smith
> Smith\t1\tXMT
> Smit\t1\tXMT
> Smith\t1\tXMT
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name, 0 without a code)
# ...and here the same name again, which shares the primary code first.
$ ovrin group --confirm levenshtein:2
< Smith
< Smith
< Smit
> Smith\t1\tSM0
> Smith\t1\tSM0
> Smit\t1\tSM0
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name, 0 without a code)

# Groups are connected sets: Meyer and Maier are two edits apart, each one
# from Mayer, which joins them; Jones waits outside in input order.
$ ovrin group --confirm levenshtein:1 --all
< Meyer
< Maier
< Jones
< Mayer
> Meyer\t1\tMR
> Maier\t1\tMR
> Mayer\t1\tMR
> Jones\t\t
! ovrin: 4 records: 3 in 1 group, 1 alone (0 without a name, 0 without a code)
$ ovrin group --confirm levenshtein:0 --all
< Meyer
< Maier
< Meyer
> Meyer\t1\tMR
> Meyer\t1\tMR
> Maier\t\t
! ovrin: 3 records: 2 in 1 group, 1 alone (0 without a name, 0 without a code)

# Names that read alike once upper-cased and reduced to A to Z are one name.
$ ovrin group --confirm levenshtein:2
< Smith
< SMITH
< smith.
< Jones
< Smith
> Smith\t1\tSM0
> SMITH\t1\tSM0
> smith.\t1\tSM0
> Smith\t1\tSM0
! ovrin: 5 records: 4 in 1 group, 1 alone (0 without a name, 0 without a code)

# Guth confirmation keeps Meyer and Maier apart in either order (the walk
# matches Maier against Meyer but not Meyer against Maier); Maier and Mayer
# match both ways.
$ ovrin group --confirm guth --all
< Maier
< Meyer
< Mayer
< Meier
> Maier\t1\tMR
> Mayer\t1\tMR
> Meyer\t\t
> Meier\t\t
! ovrin: 4 records: 2 in 1 group, 2 alone (0 without a name, 0 without a code)
$ ovrin group --confirm guth --all
< Meyer
< Maier
> Meyer\t\t
> Maier\t\t
! ovrin: 2 records: 0 in 0 groups, 2 alone (0 without a name, 0 without a code)
# No confirmation: every shared code joins.
$ ovrin group --confirm none
< Meyer
< Moore
< Smith
> Meyer\t1\tMR
> Moore\t1\tMR
! ovrin: 3 records: 2 in 1 group, 1 alone (0 without a name, 0 without a code)

# The other codes.
$ ovrin group --key soundex --all
< Robert
< Rubin
< Rupert
< robert
> Robert\t1\tR163
> Rupert\t1\tR163
> robert\t1\tR163
> Rubin\t\t
! ovrin: 4 records: 3 in 1 group, 1 alone (0 without a name, 0 without a code)
$ ovrin group --key soundex5
< Robert
< Rupert
> Robert\t1\tR1960
> Rupert\t1\tR1960
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)
$ ovrin group --key phonex
< Robert
< Rupert
> Robert\t1\tR130
> Rupert\t1\tR130
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)
# Metaphone to 4 letters joins Martins and Martino (MRTN); to 8 their codes
# differ (MRTNS, MRTN).
$ ovrin group --key metaphone
< Martins
< Martino
> Martins\t1\tMRTN
> Martino\t1\tMRTN
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)
$ ovrin group --key metaphone --limit 8
< Martins
< Martino
! ovrin: 2 records: 0 in 0 groups, 2 alone (0 without a name, 0 without a code)
$ ovrin group --key DMetaphone --limit=6
< Schmidtberg
< Schmidtburg
> Schmidtberg\t1\tXMTPRK
> Schmidtburg\t1\tXMTPRK
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)

# Every record is accounted for: no field, an empty name, a name without a
# Windows-1252 form and a name without a code stand alone in place, each
# reported with its line.
$ ovrin group --confirm levenshtein:2 --field 2 --all
< 1\tSmith
< 2
< 3\t
< 4\t李
< 5\t123
< 6\tSmyth
< 7\t123
> 1\tSmith\t1\tSM0
> 6\tSmyth\t1\tSM0
> 2\t\t
> 3\t\t\t
> 4\t李\t\t
> 5\t123\t\t
> 7\t123\t\t
! ovrin: stdin:2: no field 2; it stands alone
! ovrin: stdin:3: empty name in field 2; it stands alone
! ovrin: stdin:4: U+674E has no Windows-1252 form in field 2; it stands alone
! ovrin: stdin:5: "123" has no Double Metaphone code; it stands alone
! ovrin: stdin:7: "123" has no Double Metaphone code; it stands alone
! ovrin: 7 records: 2 in 1 group, 5 alone (3 without a name, 2 without a code)
? 1
# Past the hundredth warning the rest are counted, and one line after the
# last gives their number and the total.
$ ovrin group --confirm levenshtein:2 inputs/blank_lines.txt
! ovrin: inputs/blank_lines.txt:1: empty name in field 1; it stands alone
!...
! ovrin: inputs/blank_lines.txt:100: empty name in field 1; it stands alone
! ovrin: ... and 2 more warnings (102 in all)
! ovrin: 102 records: 0 in 0 groups, 102 alone (102 without a name, 0 without a code)
? 1
# A name over 255 bytes is one that ovLevenshtein does not compare (it
# answers -1): it stands alone even beside itself; Guth takes it.
$ ovrin group --confirm levenshtein:2 inputs/long_names.txt
! ovrin: 3 records: 0 in 0 groups, 3 alone (0 without a name, 0 without a code)
$ ovrin group --confirm guth inputs/long_names.txt
>~ Abbbbbbbbb*\t1\tAPPP
>~ Abbbbbbbbb*\t1\tAPPP
>~ Abbbbbbbbb*c\t1\tAPPP
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name, 0 without a code)
$ ovrin group --confirm levenshtein:2
! ovrin: 0 records: 0 in 0 groups, 0 alone (0 without a name, 0 without a code)

# CSV with a header: the header gets the new columns, quotes stay as they
# came, CR LF stays CR LF.
$ ovrin group --confirm levenshtein:2 --csv --field surname inputs/group_people.csv
> id,surname,given,group,key\r
> 1,Meyer,Anna,1,MR\r
> 3,Maier,"Eva ""Evi""",1,MR\r
! ovrin: inputs/group_people.csv:5: empty name in field 2; it stands alone
! ovrin: 5 records: 2 in 1 group, 3 alone (1 without a name, 0 without a code)
? 1
$ ovrin group --confirm levenshtein:2 --header
< \xEF\xBB\xBFname
< Meyer\r
<- Maier
> \xEF\xBB\xBFname\tgroup\tkey
> Meyer\t1\tMR\r
> Maier\t1\tMR\r
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)

# JSON: one object a line for each group, and with --all for each record
# alone; names and records as JSON strings.
$ ovrin group --confirm levenshtein:2 --csv --field surname --json --all inputs/group_people.csv
> {"group":1,"key":"MR","records":[{"line":2,"name":"Meyer","record":"1,Meyer,Anna"},{"line":4,"name":"Maier","record":"3,Maier,\\"Eva \\"\\"Evi\\"\\"\\""}]}
> {"group":null,"key":null,"records":[{"line":3,"name":"Smith, Jr.","record":"2,\\"Smith, Jr.\\",Tom"}]}
> {"group":null,"key":null,"records":[{"line":5,"name":null,"record":"4,,Paul"}]}
> {"group":null,"key":null,"records":[{"line":6,"name":"Smyth","record":"5,Smyth,Tom"}]}
! ovrin: inputs/group_people.csv:5: empty name in field 2; it stands alone
! ovrin: 5 records: 2 in 1 group, 3 alone (1 without a name, 0 without a code)
? 1
# Control characters are escaped; a byte that is not UTF-8 becomes U+FFFD,
# and the record is warned about: JSON output is always UTF-8.
$ ovrin group --json --key soundex --field 2
< x\x01\tMüller
< \xFF\tMuller
> {"group":1,"key":"M460","records":[{"line":1,"name":"Müller","record":"x\\u0001\\tMüller"},{"line":2,"name":"Muller","record":"\\ufffd\\tMuller"}]}
! ovrin: stdin:2: invalid UTF-8 in the record; JSON shows U+FFFD for each such byte
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)
? 1
# Windows-1252 in and out: a key that begins with the name's own letter.
$ ovrin --encoding cp1252 group --key soundex
< \xD1\xFA\xF1ez
< \xD1u\xF1es
> \xD1\xFA\xF1ez\t1\t\xD1200
> \xD1u\xF1es\t1\t\xD1200
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)

# Usage errors.
$ ovrin group --key nysiis
! ovrin: unknown key "nysiis": dmetaphone, metaphone, soundex, soundex5 or phonex
? 2
$ ovrin group --key soundex --limit 6
! ovrin: --limit sets the code length of dmetaphone and metaphone only
? 2
$ ovrin group --limit 0
! ovrin: --limit takes a code length from 1 to 255, not "0"
? 2
$ ovrin group --confirm levenshtein:-1
! ovrin: levenshtein:K takes a distance of 0 or more, not "levenshtein:-1"
? 2
$ ovrin group --confirm jaro
! ovrin: unknown confirmation "jaro": levenshtein:K, guth or none
? 2
$ ovrin group --confirm
! ovrin: --confirm needs a value: levenshtein:K, guth or none
? 2
$ ovrin group --confirm levenshtein:2 --best
! ovrin: --best is an option of link
? 2
$ ovrin group --confirm levenshtein:2 --progress
! ovrin: --progress is an option of map
? 2
$ ovrin soundex Robert 0 --all
! ovrin: --all is an option of group and link
? 2
$ ovrin group --confirm levenshtein:2 a.txt b.txt
! ovrin: group takes one file at most: ovrin group [options] [FILE]
? 2
$ ovrin group --confirm levenshtein:2 --field 1,2
! ovrin: group reads one field, --field gives 2
? 2
$ ovrin group --confirm levenshtein:2 --field name
< surname
< Meyer
! ovrin: stdin: no column named "name" in the header (surname)
? 2
$ ovrin group --confirm levenshtein:2 inputs/missing.txt
! ovrin: cannot read inputs/missing.txt: No such file or directory
? 2

# Help: ovrin help group, ovrin group --help (and link's, in link.t).
$ ovrin help group
> ovrin group [OPTION...] [FILE]
> The records of a list that probably stand for the same person, in numbered
>...
>   --confirm levenshtein:K|guth|none
>...
> Matching people (the default):
>...
> Grouping by a code (--confirm, --key, --limit):
>...
>   $ ovrin group --confirm levenshtein:2 data/sample_group.txt
>   Meyer\t1\tMR
>   Maier\t1\tMR
>
> Example:
>   $ ovrin group --csv --field given,surname --with dob data/sample_people.csv
>   id,given,surname,dob,group,score
>...
>   ...
$ ovrin group --key soundex --help
> ovrin group [OPTION...] [FILE]
>...

# --truth: the pairs found against a column of true entities. Anna Meyer's two
# records are found; Maier is her too, written without the given name, and
# her code differs; Smith and Smyth are two people that the names join.
$ ovrin group --confirm levenshtein:2 --csv --field name --truth person
< name,person
< Anna Meyer,1
< Smith,2
< Anna Meyer,1
< Smyth,3
< Maier,1
> name,person,group,key
> Anna Meyer,1,1,ANMR
> Anna Meyer,1,1,ANMR
> Smith,2,2,SM0
> Smyth,3,2,SM0
! ovrin: 5 records: 4 in 2 groups, 1 alone (0 without a name, 0 without a code)
! ovrin: pairs against the truth: 2 found, 1 true of them, 3 true in all; precision 0.5000, recall 0.3333, F1 0.4000
$ ovrin group --confirm levenshtein:2 --truth 2
< Smith\t
< Smith\t
> Smith\t\t1\tSM0
> Smith\t\t1\tSM0
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)
! ovrin: pairs against the truth: 1 found, 0 true of them, 0 true in all; precision 0.0000, recall 1.0000, F1 0.0000
# A column named for --truth implies a header, as a name in --field does;
# the first line is not taken for a record.
$ ovrin group --confirm levenshtein:2 --csv --truth person
< name,person
< Smith,1
< Smyth,1
< Smith,2
> name,person,group,key
> Smith,1,1,SM0
> Smyth,1,1,SM0
> Smith,2,1,SM0
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name, 0 without a code)
! ovrin: pairs against the truth: 3 found, 1 true of them, 1 true in all; precision 0.3333, recall 1.0000, F1 0.5000
$ ovrin group --confirm levenshtein:2 --csv --field name --truth id
< name
< Smith
! ovrin: stdin: the header has no column id for --truth
? 2
