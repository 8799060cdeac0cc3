# What each function answers, called from the command line as a script
# calls it: the same in-process, through the program and through ovrin.dll
# under Wine. New cases go here in the same form: the command, then what
# stdout must hold. (Format: see run_cli_tests.cpp.)

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

# ovMetaphone: at most maxlength code characters; below 4 counts as 4.
$ ovrin metaphone Thomas 4
> 0MS
$ ovrin metaphone smith 4
> SM0
$ ovrin metaphone Knight 4
> NT
$ ovrin metaphone Xavier 4
> SFR
$ ovrin metaphone Church 4
> XRX
$ ovrin metaphone Schmidt 4
> SKMT
$ ovrin metaphone Schmidt 8
> SKMTT
$ ovrin metaphone Bertax 5
> BRTKS
$ ovrin 'ovMetaphone("Mc Donald", 8)'
> MKTNLT
$ ovrin metaphone Thomas 0
> 0MS
$ ovrin metaphone 1234 4
>

# ovPhonex: a letter and three digits.
$ ovrin phonex Robert
> R130
$ ovrin phonex Jackson
> G250
$ ovrin phonex Knight
> N230
$ ovrin phonex Phillips
> F410
$ ovrin phonex Harry
> A600
$ ovrin phonex Mills
> M400
$ ovrin phonex Tchaikovsky
> T212
$ ovrin phonex "  smith  "
> S530
$ ovrin phonex SSS
>

# ovDoubleMetaphone: primary code, TAB, secondary code.
$ ovrin doublemetaphone Smith 4
> SM0\tXMT
$ ovrin doublemetaphone Thomas 4
> TMS\tTMS
$ ovrin doublemetaphone Jose 4
> HS\tHS
$ ovrin doublemetaphone Olivier 4
> ALF\tALFR
$ ovrin doublemetaphone Schenker 4
> XNKR\tSKNKR
$ ovrin doublemetaphone Szymanski 12
> SMNSK\tXMNSK
$ ovrin doublemetaphone a 1
> A\tA
$ ovrin doublemetaphone X 4
> S\tS
$ ovrin doublemetaphone 123 4
> \t
$ ovrin doublemetaphone Smith 0
>
# Accented letters in Windows-1252: ñ and ç are upper-cased to Ñ and Ç.
$ ovrin doublemetaphone año 4
> AN\tAN
$ ovrin doublemetaphone Ç 4
> S\tS
$ ovrin doublemetaphone ç 4
> S\tS

# ovGuthMatch: mode 1 the flag, 2 the percentage, 3 both.
$ ovrin guthmatch Smith SMITH 1
> 1
$ ovrin guthmatch Smith SMITH 2
> 100
$ ovrin guthmatch Smith SMITH 3
> 1\t100
$ ovrin guthmatch SMITH SMYTH 3
> 1\t80
$ ovrin guthmatch MEYER MAIER 3
> 0\t40
$ ovrin guthmatch CATHERINE KATHERINE 2
> 88
$ ovrin guthmatch MCDONALD MACDONALD 2
> 94
$ ovrin guthmatch "O'Brien" OBRIEN 3
> 1\t100
$ ovrin guthmatch "" Smith 3
> 0\t0
$ ovrin guthmatch 123 456 3
> 1\t100
$ ovrin guthmatch A B 3
> 1\t0
$ ovrin guthmatch MEYER MAIER 0
> 0
$ ovrin guthmatch SMITH SMYTH 7
> 1\t80

# ovLevenshtein: the edit distance of the letters A to Z.
$ ovrin levenshtein flaw lawn
> 2
$ ovrin levenshtein Robert Rupert
> 2
$ ovrin levenshtein ROBERT robert
> 0
$ ovrin levenshtein "" ""
> 0
$ ovrin levenshtein "" "O'Neil"
> 6
$ ovrin levenshtein X 123
> 1
$ ovrin levenshtein a-b AB
> 0
$ ovrin levenshtein Müller Muller
> 1

# ovIsAbbrev: the abbreviation begins the word, or their first bytes agree.
$ ovrin isabbrev Robert Rob 0
> 1
$ ovrin isabbrev Robert rob 0
> 0
$ ovrin isabbrev Robert "" 0
> 1
$ ovrin isabbrev Rob Robert 0
> 0
$ ovrin isabbrev Robert Rob 3
> 1
$ ovrin isabbrev Robert Rob 4
> 0
$ ovrin isabbrev Robert Robinson 3
> 1
$ ovrin isabbrev Robert Rob -2
> 1

# ovIsConsonant and ovIsVowel: the character at a position from 1.
$ ovrin isconsonant Robert 1
> 1
$ ovrin isconsonant Robert 2
> 0
$ ovrin isconsonant Robert 0
> 0
$ ovrin isconsonant Robert 7
> 0
$ ovrin isconsonant robert 1
> 1
$ ovrin isconsonant Yves 1
> 0
$ ovrin isconsonant "" 1
> 0
$ ovrin isvowel Yvonne 1 0
> 0
$ ovrin isvowel Yvonne 1 -1
> 0
$ ovrin isvowel Yvonne 1 1
> 1
$ ovrin isvowel Yvonne 1 5
> 1
$ ovrin isvowel Robert 2 0
> 1
$ ovrin isvowel Émile 1 1
> 0
$ ovrin isconsonant Ñúñez 1
> 0

# The functions over a file: one result column each, two for Double
# Metaphone and for Guth match in mode 3.
$ ovrin map metaphone 4
< Thomas
< Knight
< Xavier
> Thomas\t0MS
> Knight\tNT
> Xavier\tSFR
$ ovrin map phonex
< Robert
< Harry
< SSS
> Robert\tR130
> Harry\tA600
> SSS\t
$ ovrin map doublemetaphone 4
< Smith
< Olivier
< 123
< año
> Smith\tSM0\tXMT
> Olivier\tALF\tALFR
> 123\t\t
> año\tAN\tAN
$ ovrin map --csv doublemetaphone 4
< Schenker
> Schenker,XNKR,SKNKR
$ ovrin map guthmatch 3
< Smith\tSmyth
< Meyer\tMaier
> Smith\tSmyth\t1\t80
> Meyer\tMaier\t0\t40
$ ovrin map guthmatch 2 --field 2,1
< Catherine\tKatherine
> Catherine\tKatherine\t88
$ ovrin map levenshtein
< flaw\tlawn
< Müller\tMuller
> flaw\tlawn\t2
> Müller\tMuller\t1
$ ovrin map isabbrev 0 --field 2,1
< Rob\tRobert
< Robert\tRob
> Rob\tRobert\t1
> Robert\tRob\t0
$ ovrin map isconsonant 1
< Robert
< Yves
> Robert\t1
> Yves\t0
$ ovrin map isvowel 1 1
< Yvonne
< Robert
> Yvonne\t1
> Robert\t0
