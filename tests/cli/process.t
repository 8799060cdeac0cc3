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
$ ovrin soundex 李 0
! ovrin: argument 1 of ovSoundex (name): U+674E has no Windows-1252 form (--encoding cp1252 passes bytes as they are)
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
