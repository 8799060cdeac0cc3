# ovrin map: every record is written out as it came, with the result
# appended as new columns; a record without a usable name keeps its place
# with empty columns, and a warning names its line.

# One name per line, from stdin or from a file.
$ ovrin map soundex 0
< Robert
< Lee
> Robert\tR163
> Lee\tL000
$ ovrin map soundex 0 inputs/names.txt
> Robert\tR163
> Müller\tM460
> Ñúñez\tÑ200
> Lee\tL000
$ ovrin map soundex 0 -
< Lee
> Lee\tL000

# Line ends: a last line without one gets one; CR LF stays CR LF.
$ ovrin map soundex 0
< Robert
<- Lee
> Robert\tR163
> Lee\tL000
$ ovrin map soundex 0 inputs/crlf.txt
> Robert\tR163\r
> Lee\tL000\r
$ ovrin map soundex 0
< Robert\r
<- Lee
> Robert\tR163\r
> Lee\tL000\r
$ ovrin map soundex 0

# Empty names and missing fields keep their rows.
$ ovrin map soundex 0
< Robert
<
< Lee
> Robert\tR163
> \t
> Lee\tL000
! ovrin: stdin:2: empty name in field 1; result left empty
! ovrin: 1 of 3 records has an empty result
? 1
$ ovrin map soundex 0 --field 2
< 1\tRobert\tx
< 2\tLee
< 3
< 4\t
> 1\tRobert\tx\tR163
> 2\tLee\tL000
> 3\t
> 4\t\t
! ovrin: stdin:3: no field 2; result left empty
! ovrin: stdin:4: empty name in field 2; result left empty
! ovrin: 2 of 4 records have an empty result
? 1

# Warnings stop after the hundredth; a line after the last tells how many
# more there were and the total.
$ ovrin map soundex 0 inputs/blank_lines.txt
>...
! ovrin: inputs/blank_lines.txt:1: empty name in field 1; result left empty
!...
! ovrin: inputs/blank_lines.txt:100: empty name in field 1; result left empty
! ovrin: ... and 2 more warnings (102 in all)
! ovrin: 102 of 102 records have an empty result
? 1

# A progress bar when asked for (or when stderr is a terminal and the input
# a file): a bar for a file, a count for a pipe, redrawn at most four times
# a second, so a short run shows only the final line.
$ ovrin map soundex 0 --progress inputs/names.txt
>...
!~ \r4 records in * s, * records/s
$ ovrin map soundex 0 --progress
< Lee
> Lee\tL000
!~ \r1 record in * s, * records/s
$ ovrin map soundex 0 --no-progress inputs/names.txt
>...

# A header: the names of the new columns are appended to it.
$ ovrin map soundex 1 --field Surname
< id\tsurname
< 1\tJackson
> id\tsurname\tsoundex
> 1\tJackson\tJ3338
$ ovrin map soundex 0 --header --field 2
< id\tname
< 1\tLee
> id\tname\tsoundex
> 1\tLee\tL000
$ ovrin map soundex 0 --header
$ ovrin map soundex 0 --field name
< \xEF\xBB\xBFname
< Lee
> \xEF\xBB\xBFname\tsoundex
> Lee\tL000
$ ovrin map soundex 0 --field surname
< id\tname
< 1\tLee
! ovrin: no column named "surname" in the header (id, name)
? 2
$ ovrin map soundex 0 --field surname
! ovrin: the input is empty: no header to find "surname" in
? 2

# CSV: quoted fields, quotes doubled, line ends inside quotes; results
# quoted when they need it.
$ ovrin map --csv soundex 0 --field 2
< 1,Robert
< 2,"Lee, Jr."
< 3,"Say ""hi""",x
< 4,"multi
< line",y
< 5,
< 6,"""Quote"""
< 7,",Robert"
> 1,Robert,R163
> 2,"Lee, Jr.",L260
> 3,"Say ""hi""",x,S000
> 4,"multi
> line",y,M434
> 5,,
> 6,"""Quote""","""230"
> 7,",Robert",",616"
! ovrin: stdin:6: empty name in field 2; result left empty
! ovrin: 1 of 7 records has an empty result
? 1
$ ovrin map --csv soundex 0 --field surname inputs/people.csv
> id,surname,given,soundex
> 1,Jackson,Andrew,J222
> 2,"Lee, Jr.",Robert,L260
# A quote never closed runs to the end of the input; the writer closes it,
# so that the result is a column of its own.
$ ovrin map --csv soundex 0
< "open
< Lee
! ovrin: stdin:1: a quote is not closed before the end of the input
> "open
> Lee",O154
? 1
# A quote inside an unquoted field is a plain character, as the fields are
# read: the line end after it ends the record.
$ ovrin map --csv soundex 0 --field 2
< 1,Ma"ier
< 2,Lee
> 1,Ma"ier,M600
> 2,Lee,L000
$ ovrin map --tsv soundex 0
< "Lee, Jr."
> "Lee, Jr."\t"426

# Double Metaphone fills two columns, primary and secondary code; Guth
# match fills two in mode 3 (and above), one otherwise.
$ ovrin map doublemetaphone 8
< Schmidt
<
< Smith
>~ Schmidt\t*\t*
> \t\t
>~ Smith\t*\t*
! ovrin: stdin:2: empty name in field 1; result left empty
! ovrin: 1 of 3 records has an empty result
? 1
$ ovrin map doublemetaphone 4 --header --csv
< name
< Schmidt
> name,dm_primary,dm_secondary
>~ Schmidt,*,*
$ ovrin map guthmatch 3 --header
< a\tb
< Smith\tSmyth
< Smith
> a\tb\tguth_match\tguth_percent
>~ Smith\tSmyth\t*\t*
> Smith\t\t\t
! ovrin: stdin:3: no field 2; result left empty
! ovrin: stdin:3: 1 record has fewer fields than the header's 2 (the first here); filled out with empty fields
! ovrin: 1 of 2 records has an empty result
? 1
$ ovrin map guthmatch 7 --header
< a\tb
> a\tb\tguth_match\tguth_percent
$ ovrin map guthmatch 1 --header
< a\tb
< Smith\tSmyth
> a\tb\tguth_match
>~ Smith\tSmyth\t*
$ ovrin map guthmatch -4 --header
< a\tb
> a\tb\tguth_match
$ ovrin map guthmatch 2 --header
< a\tb
< Smith\tSmyth
> a\tb\tguth_percent
>~ Smith\tSmyth\t*

# Functions of two names read two fields, in the order given.
$ ovrin map levenshtein
< Robert\tRupert
< Robert\t
< Robert
>~ Robert\tRupert\t*
> Robert\t\t
> Robert\t
! ovrin: stdin:2: empty name in field 2; result left empty
! ovrin: stdin:3: no field 2; result left empty
! ovrin: 2 of 3 records have an empty result
? 1
$ ovrin map levenshtein --field 3,1 --header
< a\tb\tc
< Robert\tx\tRupert
> a\tb\tc\tlevenshtein
>~ Robert\tx\tRupert\t*
$ ovrin map isabbrev 0 --field c --field a
< a\tb\tc
< Robert\tx\tRob
> a\tb\tc\tisabbrev
>~ Robert\tx\tRob\t*
$ ovrin map isvowel 1 1
< Yvonne
>~ Yvonne\t*

# What cannot be mapped, and files that cannot be read.
$ ovrin map
! ovrin: map needs a function: ovrin map FUNCTION [INTEGER...] [FILE]
? 2
$ ovrin map soundex
! ovrin: ovSoundex takes a string and an integer; map reads the string from the input and needs 1 integer argument before the file
! ovrin: usage: ovrin map soundex MODE [FILE]
? 2
$ ovrin map isvowel 1 1 inputs/names.txt extra
! ovrin: ovIsVowel takes a string, an integer and an integer; map reads the string from the input and needs 2 integer arguments before the file
! ovrin: usage: ovrin map isvowel POSITION YISVOWEL [FILE]
? 2
$ ovrin map soundex x
! ovrin: argument 2 of ovSoundex (mode) must be a 32-bit integer, not "x"
? 2
$ ovrin map soundx 0
! ovrin: no function named "soundx"; ovrin info lists them
? 2
$ ovrin map extenderinfo 0
! ovrin: ovExtenderInfo takes an integer: no name to read from the input
? 2
$ ovrin map levenshtein --field 1
! ovrin: ovLevenshtein reads two fields, --field gives 1
? 2
$ ovrin map soundex 0 --field 1,2
! ovrin: ovSoundex reads one field, --field gives 2
? 2
$ ovrin map soundex 0 --field 0
! ovrin: field numbers count from 1 (--field 0)
? 2
$ ovrin map soundex 0 --field 1,
! ovrin: ovSoundex reads one field, --field gives 2
? 2
$ ovrin map soundex 0 inputs/missing.txt
! ovrin: cannot read inputs/missing.txt: No such file or directory
? 2
$ ovrin map soundex 0 inputs
!~ ovrin: cannot read inputs: *
? 2
