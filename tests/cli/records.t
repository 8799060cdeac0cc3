# What map, group and link all do with the records they read: one reader
# and one writer serve the three, so each shape is tried on each command.

# Line ends: LF, CR LF and a lone CR each end a record, and each record
# keeps its own end; a last record without one takes the end before it.
$ ovrin map soundex 0
<- Meyer\rMaier\r\nMayer\nMeier\rLee
>- Meyer\tM600\rMaier\tM600\r\nMayer\tM600\nMeier\tM600\rLee\tL000\r
$ ovrin group --confirm levenshtein:2 --all
<- Meyer\rMaier\r\nMayer\rSmith\n
>- Meyer\t1\tMR\rMaier\t1\tMR\r\nMayer\t1\tMR\rSmith\t\t\n
! ovrin: 4 records: 3 in 1 group, 1 alone (0 without a name, 0 without a code)
$ ovrin link --confirm levenshtein:2 --best --all - inputs/link_b.txt
<- Meyer\rZzyzx\r\nMayr\r
>- Meyer\tMeyer\t1\t6\tMR\t100\t0\rZzyzx\t\t2\t\t\t\t\r\nMayr\tMair\t3\t3\tMR\t75\t1\r
! ovrin: A: 3 records, 2 matched, 1 not (0 without a name, 0 without a code); B: 6 records (0 without a name, 0 without a code); 2 pairs written
$ ovrin map soundex 0 --csv --field 2
<- 1,"Mey\rer"\r2,Lee\r
>- 1,"Mey\rer",M600\r2,Lee,L000\r
# A header's line end is the end before the first record: under a header
# ended by CR LF, a single record without an end ends with CR LF too.
$ ovrin map soundex 0 --header
< name\r
<- Lee
> name\tsoundex\r
> Lee\tL000\r

# Under a header every line is as wide as the header: a short record is
# filled out with empty fields before the new columns, a long one keeps its
# fields; one warning each, with the count and the first line.
$ ovrin map soundex 0 --csv --field surname
< id,surname,first,city
< 1,Meyer,Anna
< 2,Maier
< 3,Mayer,Eva,Ulm,extra
<
< 4,Meier,Ida,Bonn
> id,surname,first,city,soundex
> 1,Meyer,Anna,,M600
> 2,Maier,,,M600
> 3,Mayer,Eva,Ulm,extra,M600
> ,,,,
> 4,Meier,Ida,Bonn,M600
! ovrin: stdin:5: no field 2; result left empty
! ovrin: stdin:2: 3 records have fewer fields than the header's 4 (the first here); filled out with empty fields
! ovrin: stdin:4: 1 record has more fields than the header's 4 (the first here); the new columns follow the last
! ovrin: 1 of 5 records has an empty result
? 1
$ ovrin group --confirm levenshtein:2 --all --field name
< id\tname\tcity
< 1\tMeyer
< 2\tMaier\tUlm
> id\tname\tcity\tgroup\tkey
> 1\tMeyer\t\t1\tMR
> 2\tMaier\tUlm\t1\tMR
! ovrin: stdin:2: 1 record has fewer fields than the header's 3 (the first here); filled out with empty fields
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name, 0 without a code)
? 1
$ ovrin link --confirm levenshtein:2 --csv --field surname --all - inputs/short_b.csv
< id,surname,city
< 1,Meyer
< 2,Zzyzx,Bonn
> a.id,a.surname,city,b.id,b.surname,line_a,line_b,key,guth_percent,levenshtein
> 1,Meyer,,7,Maier,2,2,MR,40,2
> 1,Meyer,,9,Mayr,2,4,MR,44,2
> 2,Zzyzx,Bonn,,,3,,,,
! ovrin: stdin:2: 1 record has fewer fields than the header's 3 (the first here); filled out with empty fields
! ovrin: inputs/short_b.csv:3: 1 record has fewer fields than the header's 2 (the first here); filled out with empty fields
! ovrin: inputs/short_b.csv:3: no field 2; it is not matched
!~ ovrin: A: 2 records, 1 matched, 1 not *
? 1

# JSON is always UTF-8: Windows-1252 input is converted, names and records
# alike; in UTF-8 a byte that is not UTF-8 becomes U+FFFD with a warning
# that names its line (once a record, however many pairs it is in).
$ ovrin --encoding cp1252 group --confirm levenshtein:2 --all --json
< M\xFCller \x80
> {"group":null,"key":null,"records":[{"line":1,"name":"Müller €","record":"Müller €"}]}
! ovrin: 1 record: 0 in 0 groups, 1 alone (0 without a name, 0 without a code)
$ ovrin --encoding cp1252 link --confirm levenshtein:2 --best --json --field 2,1 - inputs/link_b.txt
< \x93x\x94\tMeyer
> {"a":{"line":1,"name":"Meyer","record":"“x”\\tMeyer"},"b":{"line":6,"name":"Meyer","record":"Meyer"},"key":"MR","guth_percent":100,"levenshtein":0}
!~ ovrin: A: 1 record, 1 matched, *
$ ovrin link --confirm levenshtein:2 --json --field 2,1 - inputs/link_b.txt
< \xFFx\tMayr
>~ {"a":{"line":1,"name":"Mayr","record":"\\ufffdx\\tMayr"},"b":{"line":1,*
>~ {"a":{"line":1,"name":"Mayr","record":"\\ufffdx\\tMayr"},"b":{"line":3,*
>~ {"a":{"line":1,"name":"Mayr","record":"\\ufffdx\\tMayr"},"b":{"line":5,*
>~ {"a":{"line":1,"name":"Mayr","record":"\\ufffdx\\tMayr"},"b":{"line":6,*
! ovrin: stdin:1: invalid UTF-8 in the record; JSON shows U+FFFD for each such byte
!~ ovrin: A: 1 record, 1 matched, *
? 1
