# Text is UTF-8 and crosses to the library in Windows-1252 and back;
# --encoding cp1252 passes the bytes as they are.

# The characters of 0x80 to 0x9F, which Latin-1 lacks, go both ways. (The
# first character of a Soundex code is the name's own.)
$ ovrin soundex €uro 0
> €600
$ ovrin soundex Šimon 0
> Š550
$ ovrin soundex Œuvre 0
> Œ160
$ ovrin soundex Ÿves 0
> Ÿ120
$ ovrin soundex ‘Robert’ 0
> ‘616
# U+0081 stands for the byte 0x81, which the code page leaves undefined.
$ ovrin soundex "\xC2\x81bc" 0
> \xC2\x81120

# Characters with no Windows-1252 byte: the library reads nothing else, so
# the hint is another spelling, the base letter where one is plain (Ł, ő).
# Bytes that are no UTF-8 may be Windows-1252 already.
$ ovrin soundex 李 0
! ovrin: argument 1 of ovSoundex (name): U+674E has no Windows-1252 form (the library reads only Windows-1252: spell the name in Latin letters)
? 2
$ ovrin soundex Łukasz 0
! ovrin: argument 1 of ovSoundex (name): U+0141 has no Windows-1252 form (the library reads only Windows-1252: try "Lukasz")
? 2
$ ovrin 'ovSoundex("Erdős Łódź", 0)'
! ovrin: argument 1 of ovSoundex (name): U+0151 has no Windows-1252 form (the library reads only Windows-1252: try "Erdos Lódz")
? 2
$ ovrin soundex 😀 0
! ovrin: argument 1 of ovSoundex (name): U+1F600 has no Windows-1252 form (the library reads only Windows-1252: spell the name in Latin letters)
? 2
$ ovrin soundex "M\xFCller" 0
! ovrin: argument 1 of ovSoundex (name): invalid UTF-8 (--encoding cp1252 passes bytes as they are)
? 2
$ ovrin soundex "\xC0\xAF" 0
! ovrin: argument 1 of ovSoundex (name): invalid UTF-8 (--encoding cp1252 passes bytes as they are)
? 2
$ ovrin soundex "\xED\xA0\x80" 0
! ovrin: argument 1 of ovSoundex (name): invalid UTF-8 (--encoding cp1252 passes bytes as they are)
? 2
$ ovrin soundex "\xC3" 0
! ovrin: argument 1 of ovSoundex (name): invalid UTF-8 (--encoding cp1252 passes bytes as they are)
? 2

# With --encoding cp1252 the bytes are the library's own, both ways: UTF-8
# bytes are just bytes there.
$ ovrin --encoding cp1252 soundex "\xD1\xFA\xF1ez" 0
> \xD1200
$ ovrin --encoding cp1252 soundex Müller 0
> M460
$ ovrin --encoding cp1252 soundex Ça 0
> \xC3000
$ ovrin --encoding=cp1252 map soundex 0
< \xC7a
< M\xFCller
< \x81bc
> \xC7a\t\xC7000
> M\xFCller\tM460
> \x81bc\t\x81120

# Over files, names in UTF-8 that the code page cannot hold keep their rows.
$ ovrin map soundex 0
< Ñúñez
< 李
< M\xFCller
< Ro\x00bert
< Ça
> Ñúñez\tÑ200
> 李\t
> M\xFCller\t
> Ro\x00bert\t
> Ça\tÇ000
! ovrin: stdin:2: U+674E has no Windows-1252 form in field 1; result left empty
! ovrin: stdin:3: invalid UTF-8 in field 1; result left empty
! ovrin: stdin:4: a NUL byte in field 1; result left empty
! ovrin: 3 of 5 records have an empty result
? 1
$ ovrin --encoding cp1252 map soundex 0
< Ro\x00bert
> Ro\x00bert\t
! ovrin: stdin:1: a NUL byte in field 1; result left empty
! ovrin: 1 of 1 record has an empty result
? 1
