# The program itself, run as its own process (also as ovrin.exe under
# Wine): arguments as the system hands them over, standard streams that
# keep every byte, files found from the working folder, exit statuses.
$ ovrin soundex Müller 0
> M460
$ ovrin 'ovSoundex("Ñúñez", 0)'
> Ñ200
$ ovrin "ovSoundex(\"O'Brien \"\"Jr\"\"\", 1)"
> O1984
$ ovrin --encoding cp1252 soundex "\xD1\xFA\xF1ez" 0
> \xD1200
# A character the library cannot read: the hint is another spelling.
$ ovrin soundex 李 0
! ovrin: argument 1 of ovSoundex (name): U+674E has no Windows-1252 form (the library reads only Windows-1252: spell the name in Latin letters)
? 2
$ ovrin extenderinfo 3
! ovrin: ovExtenderInfo: 101:  Invalid parameter for retrieving version information.
? 1
$ ovrin soundx 0
! ovrin: no function named "soundx"; ovrin info lists them
? 2
$ ovrin info
> Ovrin Name Matching Functions Extender for WinBatch
> version 34002, interface level 2, 10 functions
>...
$ ovrin map soundex 0 inputs/crlf.txt
> Robert\tR163\r
> Lee\tL000\r
$ ovrin map soundex 0
< Ñúñez\r
< \r
< Lee
> Ñúñez\tÑ200\r
> \t\r
> Lee\tL000
! ovrin: stdin:2: empty name in field 1; result left empty
! ovrin: 1 of 3 records has an empty result
? 1
$ ovrin map --csv soundex 0 --field surname inputs/people.csv
> id,surname,given,soundex
> 1,Jackson,Andrew,J222
> 2,"Lee, Jr.",Robert,L260
$ ovrin map soundex 0 inputs/missing.txt
! ovrin: cannot read inputs/missing.txt: No such file or directory
? 2
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
$ ovrin group --all --confirm guth
< Maier\r
< 李\r
< Meyer\r
< Mayer\r
> Maier\t1\tMR\r
> Mayer\t1\tMR\r
> 李\t\t\r
> Meyer\t\t\r
! ovrin: stdin:2: U+674E has no Windows-1252 form in field 1; it stands alone
! ovrin: 4 records: 2 in 1 group, 2 alone (1 without a name, 0 without a code)
? 1
$ ovrin link --confirm levenshtein:2 --best --json - ../../data/sample_group.txt
< Smythe
> {"a":{"line":1,"name":"Smythe","record":"Smythe"},"b":{"line":11,"name":"Smyth","record":"Smyth"},"key":"SM0","guth_percent":90,"levenshtein":1}
! ovrin: A: 1 record, 1 matched, 0 not (0 without a name, 0 without a code); B: 18 records (0 without a name, 0 without a code); 1 pair written
