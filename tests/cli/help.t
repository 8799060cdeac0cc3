# ovrin info shows the library as the script host sees it: the answers of
# WILExtenderQuery and the function table read row by row.
$ ovrin info
> Ovrin Name Matching Functions Extender for WinBatch
> version 34002, interface level 2, 10 functions
>
> number  name                 parameters                call
>     10  ovextenderinfo       integer                   ovExtenderInfo(mode)
>     51  ovsoundex            string, integer           ovSoundex(name, mode)
>     52  ovmetaphone          string, integer           ovMetaphone(name, maxlength)
>     53  ovphonex             string                    ovPhonex(name)
>     54  ovguthmatch          string, string, integer   ovGuthMatch(name1, name2, mode)
>     55  ovlevenshtein        string, string            ovLevenshtein(name1, name2)
>     56  ovdoublemetaphone    string, integer           ovDoubleMetaphone(name, maxlength)
>     61  ovisabbrev           string, string, integer   ovIsAbbrev(word, abbreviation, length)
>     62  ovisconsonant        string, integer           ovIsConsonant(name, position)
>     63  ovisvowel            string, integer, integer  ovIsVowel(name, position, yIsVowel)

# ovrin help FUNCTION, also written as ovrin FUNCTION --help.
$ ovrin help soundex
> ovSoundex(name, mode), function number 51
> The Soundex code of a name: its first character, then digits for the consonants.
>
> Parameters: string, integer
>   name  the name; blanks and tabs around it are ignored, and its first character
>         stays as it is
>   mode  0 (or less): three digits 1 to 6; 1 (or more): four digits 1 to 9, with
>         a finer split of the consonants
>
> Returns:
>   a string of 4 characters (mode 0) or 5 (mode 1), filled up with 0; empty for
>   an empty name
>
> Usage:
>   ovrin soundex NAME MODE
>   ovrin 'ovSoundex(name, mode)'
>   ovrin map soundex MODE [FILE]
>
> Example:
>   $ ovrin soundex Robert 0
>   R163
$ ovrin SOUNDEX --help
> ovSoundex(name, mode), function number 51
>...
$ ovrin map soundex --help
> ovSoundex(name, mode), function number 51
>...
$ ovrin help guthmatch
> ovGuthMatch(name1, name2, mode), function number 54
>...
>   ovrin map guthmatch MODE [FILE]
>
> Example:
>   $ ovrin guthmatch Smith Smyth 3
>   1\t80
$ ovrin help nosuch
! ovrin: no function named "nosuch"; ovrin info lists them
? 2
$ ovrin help soundex phonex
! ovrin: help takes one function or command name at most
? 2
# A function that reads no name from a file has no map line.
$ ovrin help extenderinfo
>...
> Usage:
>   ovrin extenderinfo MODE
>   ovrin 'ovExtenderInfo(mode)'
>
> Example:
>   $ ovrin extenderinfo 0
>   34002

# ovrin --help: the command, then every function of the table.
$ ovrin --help
> ovrin: the Ovrin name-matching functions from the command line, called through
>...
> Functions (ovrin help FUNCTION tells more):
>   ovExtenderInfo(mode)                   Facts about the library.
>...
>   ovIsVowel(name, position, yIsVowel)    Whether the character at a position is
>                                          a vowel, A E I O U (and Y on request).
$ ovrin -h
> ovrin: the Ovrin name-matching functions from the command line, called through
>...
$ ovrin help
> ovrin: the Ovrin name-matching functions from the command line, called through
>...
$ ovrin info --help
> ovrin: the Ovrin name-matching functions from the command line, called through
>...

# The help of map, group and link: what they do with records, and their
# options, from the one table of options that parsing reads too.
$ ovrin help map
> ovrin map FUNCTION [INTEGER...] [FILE]
>...
> Records: one name a line, or TSV or CSV fields. LF, CR LF and a lone CR each
>...
>   --progress           a progress bar on stderr (by default when stderr is a
>...
$ ovrin map --help
> ovrin map FUNCTION [INTEGER...] [FILE]
>...
$ ovrin help group
> ovrin group [OPTION...] [FILE]
>...
>   --all                also write the records that stand alone, with the added
>...
$ ovrin help link
> ovrin link [OPTION...] FILE_A FILE_B
>...
>   --all                also write the records of A without a match: as many
>...
# The overview names every command whole, and every option once, after the
# commands that take it; an option worded for each command shows every
# wording (the manual page's OPTIONS is made from this list), and the exit
# statuses close it.
$ ovrin --help
>...
>   ovrin link [OPTION...] FILE_A FILE_B
>                                      for each record of A, the records of B
>                                      that probably stand for the same person
>...
>   --field N|NAME[,N|NAME]
>                        map: the fields that hold the names: numbers from 1, or
>                          names from the header (default 1, or 1,2 for a function
>                          of two names)
>                        group: the fields whose words make the name, given names
>                          first and the surname last: numbers from 1, or names
>                          from the header (default 1); by a code, the one field
>                          that holds the name
>                        link: the fields whose words make the name in both files,
>                          as for group (default 1); by a code, A's field and B's
>                          (one serves both)
>   --header             map and group: the first record is a header (implied by a
>                          field name); it gets the names of the new columns, and
>                          every line is filled out to its width
>                        link: the first records of both files are headers and
>                          make the output's header; a column name that both have
>                          becomes a.NAME and b.NAME
>   --csv                map, group and link: CSV records: fields split at commas,
>...
>   --all                group: also write the records that stand alone, with the
>                          added columns left empty
>                        link: also write the records of A without a match: as
>                          many empty fields as B's records have, and the columns
>                          of the pair left empty
>   --json               group: one JSON object a line for each group, in UTF-8:
>...
>   --field-b N|NAME[,N|NAME]
>                        link: B's name fields when they differ from A's
>...
>   --encoding utf-8|cp1252
>                        text is UTF-8, converted to and from Windows-1252 around
>                        each call (the default); or the bytes pass as they are,
>                        in the library's own code page
>   -h, --help           the command's overview: its usage, options and functions;
>                        after a function, map, group or link, that one's own help
>
> Exit status:
>   0  done
>   1  the library answered an error, or map, group or link warned about a
>      record
>   2  a usage error, an unreadable file, or lost output (a write that failed)
>
> Functions (ovrin help FUNCTION tells more):
>...
# An unknown option points to the help that lists the command's options.
$ ovrin group --nosuch
! ovrin: unknown option --nosuch (ovrin help group lists the options of group)
? 2
$ ovrin --nosuch map soundex 0
! ovrin: unknown option --nosuch (ovrin help map lists the options of map)
? 2
$ ovrin map soundex 0 --header=yes
! ovrin: --header takes no value
? 2
