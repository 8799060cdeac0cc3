# What each function answers, called from the command line as a script
# calls it: one test per line of arguments, the same in-process, through the
# program and through ovrin.dll under Wine. A function's cases go here as it
# lands, in the same form: the command, then what stdout must hold.
# (Format: see run_cli_tests.cpp.)

# ovExtenderInfo: version, number of functions, functions of entry kind 3.
$ ovrin extenderinfo 0
> 34002
$ ovrin extenderinfo 1
> 10
$ ovrin extenderinfo 2
> 0
$ ovrin extenderinfo 3
! ovrin: ovExtenderInfo: 101:  Invalid parameter for retrieving version information.
? 1
$ ovrin extenderinfo -1
! ovrin: ovExtenderInfo: 101:  Invalid parameter for retrieving version information.
? 1

# ovSoundex, modes 0 and 1.
$ ovrin soundex Robert 0
> R163
$ ovrin soundex Robert 1
> R1960
$ ovrin soundex Jackson 0
> J222
$ ovrin soundex Jackson 1
> J3338
$ ovrin soundex Lee 0
> L000
$ ovrin soundex Lee 1
> L0000
$ ovrin soundex Pfister 0
> P123
$ ovrin soundex Tymczak 0
> T522
$ ovrin soundex "  hello world " 0
> H464
$ ovrin soundex 1234 0
> 1000
$ ovrin soundex "o'brien" 0
> O165
$ ovrin soundex Robert -3
> R163
$ ovrin soundex Robert 7
> R1960
$ ovrin soundex "" 0
>
# Names read as UTF-8 and passed in Windows-1252: the first character stays
# as it is, and the accented letters after it are no letters A to Z.
$ ovrin soundex Müller 0
> M460
$ ovrin soundex Ñúñez 0
> Ñ200
$ ovrin soundex Ça 0
> Ç000
$ ovrin soundex ça 0
> ç000

# The same over a file, with the result in a new column.
$ ovrin map soundex 0
< Robert
< Müller
< Ñúñez
< O'Brien
< Schmidt
< Smith
> Robert	R163
> Müller	M460
> Ñúñez	Ñ200
> O'Brien	O165
> Schmidt	S253
> Smith	S530
$ ovrin map soundex 1
< Jackson
< Meyer
< Maier
> Jackson	J3338
> Meyer	M9000
> Maier	M9000
