# Calling one function: how the function is found, how its arguments are
# typed from the function table, the script form, and what goes wrong.

# Names in any case, with or without "ov".
$ ovrin ovSoundex Robert 0
> R163
$ ovrin OVSOUNDEX Robert 0
> R163
$ ovrin SoundEx Robert 0
> R163

# The script form: strings in double, single or back quotes, the quote
# doubled inside; blanks around the parts.
$ ovrin 'ovSoundex("Robert", 0)'
> R163
$ ovrin ' soundex ( "Robert" , 1 ) '
> R1960
$ ovrin "ovSoundex('O''Brien', 0)"
> O165
$ ovrin 'ovSoundex(`Robert`, -1)'
> R163
$ ovrin 'ovSoundex("say ""hi""", 0)'
> S000
$ ovrin 'ovExtenderInfo(1)'
> 10

# A string parameter takes the word as it stands, a dash or digits too; an
# integer parameter takes a 32-bit decimal integer.
$ ovrin soundex -5 0
> -000
$ ovrin soundex Robert +1
> R1960
$ ovrin soundex Robert 2147483647
> R1960
$ ovrin soundex Robert -2147483648
> R163
$ ovrin soundex Robert 2147483648
! ovrin: argument 2 of ovSoundex (mode) must be a 32-bit integer, not "2147483648"
? 2
$ ovrin soundex Robert 1.5
! ovrin: argument 2 of ovSoundex (mode) must be a 32-bit integer, not "1.5"
? 2
$ ovrin soundex Robert ""
! ovrin: argument 2 of ovSoundex (mode) must be a 32-bit integer, not ""
? 2
$ ovrin 'ovSoundex("Robert", 99999999999)'
! ovrin: cannot read the call: 99999999999 is neither a string in quotes nor a 32-bit integer at character 21 of ovSoundex("Robert", 99999999999)
? 2

# Wrong numbers and types of arguments name the parameters.
$ ovrin soundex Robert
! ovrin: ovSoundex takes a string and an integer; 1 argument given
! ovrin: usage: ovrin soundex NAME MODE   or   ovrin 'ovSoundex(name, mode)'
? 2
$ ovrin guthmatch Smith Smyth
! ovrin: ovGuthMatch takes a string, a string and an integer; 2 arguments given
! ovrin: usage: ovrin guthmatch NAME1 NAME2 MODE   or   ovrin 'ovGuthMatch(name1, name2, mode)'
? 2
$ ovrin phonex
! ovrin: ovPhonex takes a string; 0 arguments given
! ovrin: usage: ovrin phonex NAME   or   ovrin 'ovPhonex(name)'
? 2
$ ovrin 'ovSoundex("Robert", 0, 1)'
! ovrin: ovSoundex takes a string and an integer; 3 arguments given
! ovrin: usage: ovrin soundex NAME MODE   or   ovrin 'ovSoundex(name, mode)'
? 2
$ ovrin 'ovSoundex(0, 0)'
! ovrin: argument 1 of ovSoundex (name) must be a string in quotes; ovSoundex takes a string and an integer
? 2
$ ovrin 'ovIsVowel("Yvonne", 1, "1")'
! ovrin: argument 3 of ovIsVowel (yIsVowel) must be an integer; ovIsVowel takes a string, an integer and an integer
? 2

# Calls that cannot be read.
$ ovrin 'ovSoundex("Robert", 0'
! ovrin: cannot read the call: "," or ")" is missing at character 22 of ovSoundex("Robert", 0
? 2
$ ovrin 'ovSoundex("Robert, 0)'
! ovrin: cannot read the call: a string is not closed at character 22 of ovSoundex("Robert, 0)
? 2
$ ovrin 'ovSoundex(Robert, 0)'
! ovrin: cannot read the call: Robert is neither a string in quotes nor a 32-bit integer at character 11 of ovSoundex(Robert, 0)
? 2
$ ovrin 'ovSoundex("Robert", 0) + 1'
! ovrin: cannot read the call: unexpected text after the call at character 24 of ovSoundex("Robert", 0) + 1
? 2
$ ovrin 'ovSoundex("Robert",, 0)'
! ovrin: cannot read the call: a string in quotes or an integer is missing at character 20 of ovSoundex("Robert",, 0)
? 2

# Unknown functions and commands.
$ ovrin soundx Robert 0
! ovrin: no function named "soundx"; ovrin info lists them
? 2
$ ovrin 'ovSoundx("Robert", 0)'
! ovrin: no function named "ovSoundx"; ovrin info lists them
? 2
$ ovrin ov
! ovrin: no function named "ov"; ovrin info lists them
? 2
$ ovrin
! ovrin: no command; ovrin --help tells how to use it
? 2

# Raw function numbers reach the library unchecked; only their low 16 bits
# count. Without a table row, a word that reads as an integer is one.
$ ovrin @57 Robert 0
! ovrin: function number 57: 100:  Ovrin Extender: Unknown Function. (Module BigSwitch)
? 1
$ ovrin '@51("Robert", 0)'
> R163
$ ovrin @0x10033 Robert 0
> R163
$ ovrin @51 1234 0
>
$ ovrin '@51(5, 0)'
>
$ ovrin @-1
! ovrin: function number -1 gave no result; the library answered 10
? 1

# Options.
$ ovrin --encoding latin9 soundex Robert 0
! ovrin: unknown encoding "latin9": utf-8 or cp1252
? 2
$ ovrin soundex Robert 0 --encoding
! ovrin: --encoding needs a value: utf-8 or cp1252
? 2
$ ovrin --frobnicate
! ovrin: unknown option --frobnicate (ovrin --help lists them)
? 2
$ ovrin --csv soundex Robert 0
! ovrin: --csv is an option of map, group and link
? 2
$ ovrin --encoding UTF-8 soundex Robert 0
> R163
$ ovrin -- soundex --x 0
> -200
$ ovrin info extra
! ovrin: info takes no argument
? 2
