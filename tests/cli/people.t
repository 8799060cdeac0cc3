# ovrin group and link matching people (the default; --person says so):
# a name from several fields, other fields that confirm or refute, weights
# measured on the input, groups that do not chain. The fixture is small,
# so its weights are weak; tests/quality measures the matching at size.

# Smith-Jones and Smith Jones meet, as do O'Brien and Obrien; Brien Peter
# meets Peter O'Brien crosswise. Anna Smith shares a part of the surname
# but not the date; without a date, Ana Smyth-Jones has too little. Mary
# is a nickname of Maria, Jon of John.
$ ovrin group --csv --field given,surname --with dob --all inputs/person_records.csv
> id,given,surname,dob,group,score
> 1,Anna,Smith-Jones,1984-03-07,1,0.995
> 3,ANNA,Smith Jones,1984-07-03,1,0.995
> 2,Peter,O'Brien,1950-11-23,2,0.830
> 4,Brien,Peter,1950-11-23,2,0.830
> 7,Peter,Obrien,1950-11-28,2,0.830
> 5,Anna,Smith,1991-05-30,,
> 6,Ana,Smyth-Jones,,,
> 8,Maria,Garcia,1977-01-15,3,0.897
> 11,Mary,Garcia,1977-01-15,3,0.897
> 9,John,Taylor,1962-09-09,4,0.638
> 10,Jon,Tailor,1962-09-09,4,0.638
> 12,Thomas,Wright,1988-02-02,,
! ovrin: --with dob: dates (guessed)
! ovrin: 12 records: 9 in 4 groups, 3 alone (0 without a name); 11 candidate pairs, 6 matched

# A file linked with itself pairs no record with itself; --one-to-one takes
# each record of B once, the heaviest pairs first (Brien Peter takes O'Brien
# before Obrien can); a score is the chance among the record's rivals
# (O'Brien's pair with Brien Peter shares it with Obrien), with the share
# of records that have a partner fitted to the file. --explain shows each
# comparison and its weight (a date's day and month swapped is "alike"),
# and each level's weight with its m and u on stderr.
$ ovrin link --csv --one-to-one --explain --field given,surname --with dob inputs/person_records.csv inputs/person_records.csv
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,score,weight,explain
> 1,Anna,Smith-Jones,1984-03-07,3,ANNA,Smith Jones,1984-07-03,2,4,0.940,7.0,"given exact +2.6, surname exact +2.5, dob alike +1.9 = 7.0"
> 2,Peter,O'Brien,1950-11-23,4,Brien,Peter,1950-11-23,3,5,0.971,6.8,"given close +1.8, surname exact +2.5 (crosswise), dob exact +2.6 = 6.8"
> 3,ANNA,Smith Jones,1984-07-03,1,Anna,Smith-Jones,1984-03-07,4,2,0.940,7.0,"given exact +2.6, surname exact +2.5, dob alike +1.9 = 7.0"
> 4,Brien,Peter,1950-11-23,2,Peter,O'Brien,1950-11-23,5,3,0.963,6.8,"given close +1.8, surname exact +2.5 (crosswise), dob exact +2.6 = 6.8"
> 8,Maria,Garcia,1977-01-15,11,Mary,Garcia,1977-01-15,9,12,0.714,3.9,"given alike -1.3, surname exact +2.7, dob exact +2.6 = 3.9"
> 9,John,Taylor,1962-09-09,10,Jon,Tailor,1962-09-09,10,11,0.529,2.8,"given alike -1.3, surname close +1.5, dob exact +2.6 = 2.8"
> 10,Jon,Tailor,1962-09-09,9,John,Taylor,1962-09-09,11,10,0.529,2.8,"given alike -1.3, surname close +1.5, dob exact +2.6 = 2.8"
> 11,Mary,Garcia,1977-01-15,8,Maria,Garcia,1977-01-15,12,9,0.714,3.9,"given alike -1.3, surname exact +2.7, dob exact +2.6 = 3.9"
! ovrin: --with dob: dates (guessed)
! ovrin: A: 12 records, 8 matched; B: 12 records; 22 candidate pairs, 8 pairs written
! ovrin: weights log2(m/u) (u from random pairs; exact and close names, exact values by their share): given exact +2.9 (m 0.8, u 0.11) alike -1.3 (m 0.01, u 0.025) close -1.3 (m 0.12, u 0.0369) some -1.3 (m 0.05, u 0.119) different -5.1 (m 0.02, u 0.709); surname exact +2.7 (m 0.8, u 0.127) alike +2.7 (m 0.01, u 0.00041) close +1.4 (m 0.12, u 0.0451) some +0.0 (m 0.05, u 0.0492) different -5.3 (m 0.02, u 0.779); dob exact +2.6 (m 0.839, u 0.14) alike +1.9 (m 0.0351, u 0.0092) close +1.1 (m 0.0855, u 0.0394) some -2.5 (m 0.00914, u 0.0526) different -4.6 (m 0.0316, u 0.758); prior 0.083333; share of A with a partner 0.667

# --pairs writes the matched pairs behind the groups above, each with both
# records and the group that holds both, each record's heaviest pairs
# first; Brien Peter and Obrien are in one group without a pair of their own.
$ ovrin group --csv --pairs --field given,surname --with dob inputs/person_records.csv
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,group,score,weight
> 1,Anna,Smith-Jones,1984-03-07,3,ANNA,Smith Jones,1984-07-03,2,4,1,0.995,10.9
> 2,Peter,O'Brien,1950-11-23,4,Brien,Peter,1950-11-23,3,5,2,0.980,9.0
> 2,Peter,O'Brien,1950-11-23,7,Peter,Obrien,1950-11-28,3,8,2,0.951,7.6
> 4,Brien,Peter,1950-11-23,7,Peter,Obrien,1950-11-28,5,8,2,0.830,5.6
> 8,Maria,Garcia,1977-01-15,11,Mary,Garcia,1977-01-15,9,12,3,0.897,6.4
> 9,John,Taylor,1962-09-09,10,Jon,Tailor,1962-09-09,10,11,4,0.638,4.1
! ovrin: --with dob: dates (guessed)
! ovrin: 12 records: 9 in 4 groups, 3 alone (0 without a name); 11 candidate pairs, 6 matched
$ ovrin group --pairs --json
< Smith, John
< John Smith
< Jon Smyth
> {"a":{"line":1,"name":"Smith, John","record":"Smith, John"},"b":{"line":3,"name":"Jon Smyth","record":"Jon Smyth"},"group":1,"score":"0.594","weight":"0.5"}
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
$ ovrin group --pairs --all inputs/person_records.csv
! ovrin: --pairs writes pairs, so --all has no records alone to add: give one of the two
? 2

# One field: "Surname, Given", blanks and case are cleaned away: the three
# are copies of one record, one group with a score of 1.
$ ovrin group --person --all
< Smith, John
< John Smith
<   john   SMITH 
< Jon Smyth
< Jane Brown
> Smith, John\t1\t1.000
> John Smith\t1\t1.000
>   john   SMITH \t1\t1.000
> Jon Smyth\t\t
> Jane Brown\t\t
! ovrin: 5 records: 3 in 1 group, 2 alone (0 without a name); 3 candidate pairs, 0 matched

# An initial agrees a little (some) with a given name of its letter, and is
# no key of its own: J Smith and J Brown share nothing else and never meet.
$ ovrin group --pairs --explain
< John Smith
< J Smith
> John Smith\tJ Smith\t1\t2\t1\t0.868\t2.7\tgiven some -1.4, surname exact +4.1 = 2.7
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
! ovrin: weights log2(m/u) (u from random pairs; exact and close names, exact values by their share): given exact +4.8 (m 0.8, u 0.0287) alike +3.3 (m 0.01, u 0.00099) close +1.3 (m 0.12, u 0.0495) some -1.4 (m 0.05, u 0.129) different -5.3 (m 0.02, u 0.792); surname exact +4.4 (m 0.8, u 0.0386) alike +3.3 (m 0.01, u 0.00099) close +1.3 (m 0.12, u 0.0495) some -1.2 (m 0.05, u 0.119) different -5.3 (m 0.02, u 0.792); prior 0.503623
$ ovrin group
< J Smith
< J Brown
! ovrin: 2 records: 0 in 0 groups, 2 alone (0 without a name); 0 candidate pairs, 0 matched

# A surname of two words is also compared as one: Smith-Jones and
# Smithjones agree exactly.
$ ovrin group --pairs --explain
< Anna Smith-Jones
< Anna Smithjones
> Anna Smith-Jones\tAnna Smithjones\t1\t2\t1\t0.996\t8.1\tgiven exact +4.1, surname exact +4.1 = 8.1
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
! ovrin: weights log2(m/u) (u from random pairs; exact and close names, exact values by their share): given exact +4.4 (m 0.8, u 0.0386) alike +3.3 (m 0.01, u 0.00099) close +1.3 (m 0.12, u 0.0495) some -1.2 (m 0.05, u 0.119) different -5.3 (m 0.02, u 0.792); surname exact +4.4 (m 0.8, u 0.0386) alike +3.3 (m 0.01, u 0.00099) close +1.3 (m 0.12, u 0.0495) some -1.2 (m 0.05, u 0.119) different -5.3 (m 0.02, u 0.792); prior 0.504915

# Smith John meets John Smith crosswise, marked after the surname's
# weight. Of two exact agreements the rarer word counts as the surname,
# and each weighs by its own holders: SMITH, which all five hold, as the
# given name; JOHN, which two hold, as the surname.
$ ovrin group --pairs --explain
< John Smith
< Smith John
< Mary Smith
< Ann Smith
< Eva Smith
> John Smith\tSmith John\t1\t2\t1\t0.959\t6.2\tgiven exact +3.5, surname exact +2.7 (crosswise) = 6.2
! ovrin: 5 records: 2 in 1 group, 3 alone (0 without a name); 10 candidate pairs, 1 matched
! ovrin: weights log2(m/u) (u from random pairs; exact and close names, exact values by their share): given exact +4.5 (m 0.8, u 0.0355) alike +3.5 (m 0.01, u 0.000909) close +1.4 (m 0.12, u 0.0455) some -1.3 (m 0.05, u 0.127) different -5.3 (m 0.02, u 0.791); surname exact +2.8 (m 0.8, u 0.117) alike +2.8 (m 0.01, u 0.000909) close +1.4 (m 0.12, u 0.0455) some -1.1 (m 0.05, u 0.109) different -5.2 (m 0.02, u 0.727); prior 0.246564

# Names spoiled past their codes meet by the first two letters of the
# given name and of the surname, in either order: three names of their own
# sounds that share only Le and Cr make three candidate pairs.
$ ovrin group
< Leslie Cromwood
< Lespie Crokwood
< Crabtree Lenny
> Leslie Cromwood\t1\t0.856
> Lespie Crokwood\t1\t0.856
! ovrin: 3 records: 2 in 1 group, 1 alone (0 without a name); 3 candidate pairs, 1 matched

# People are matched by default. Surnames alone are too little to call two
# records one person; the summary then says what groups look-alike names,
# and --key (or --confirm, --limit) does.
$ ovrin group ../../data/sample_group.txt
! ovrin: 18 records: 0 in 0 groups, 18 alone (0 without a name); 18 candidate pairs, 0 matched
! ovrin: no pair is likely enough one person; to group look-alike names by a shared code instead, give --confirm (ovrin help group)
$ ovrin group --key dmetaphone
< Meyer
< Maier
< Smith
> Meyer\t1\tMR
> Maier\t1\tMR
! ovrin: 3 records: 2 in 1 group, 1 alone (0 without a name, 0 without a code)

# The options of single names do not mix with those of people.
$ ovrin group --person --confirm guth inputs/person_records.csv
! ovrin: --confirm, --key and --limit belong to the matching of single names, not of people
? 2
$ ovrin link --threshold 2 inputs/person_records.csv inputs/person_records.csv
! ovrin: --threshold takes a probability from 0 to 1, not "2"
? 2
# Both ends are probabilities: at 1 only a certainty matches, which names
# alone never are; at 0 every candidate pair does.
$ ovrin group --threshold 1 --pairs
< Smith, John
< John Smith
< Jon Smyth
! ovrin: 3 records: 2 in 1 group, 1 alone (0 without a name); 1 candidate pair, 0 matched
$ ovrin group --threshold 0 --pairs
< Smith, John
< John Smith
< Jon Smyth
> Smith, John\tJon Smyth\t1\t3\t1\t0.594\t0.5
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched

# B may hold one person twice: Anna Smith-Jones (lines 2 and 4 of B) and
# Peter O'Brien (lines 3 and 5) are each other's duplicates, not rivals, so
# the heaviest candidate keeps the chance they share and Ann is linked.
$ ovrin link --csv --best --field given,surname --with dob ../../data/sample_people_b.csv ../../data/sample_people.csv
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,score,weight
> 101,Peter,OBrien,1950-11-23,2,Peter,O'Brien,1950-11-23,2,3,0.999,11.7
> 102,Tom,Wright,1988-02-02,10,Thomas,Wright,1988-02-02,3,11,0.970,6.6
> 103,Maria,Garcia,1977-01-15,6,Maria,Garcia,1977-01-15,4,7,0.999,11.9
> 104,Katharina,Novak,1979-12-01,11,Katarzyna,Nowak,1979-12-01,5,12,0.881,4.4
> 105,Ann,Smith-Jones,1984-03-07,1,Anna,Smith-Jones,1984-03-07,6,2,0.979,6.3
! ovrin: --with dob: dates (guessed)
! ovrin: A: 6 records, 5 matched; B: 12 records; 10 candidate pairs, 5 pairs written

# --best keeps each A record's heaviest pair even when another record of A
# has the same partner: Tom and Thomas Wright both take Thomas Wright of B.
# --one-to-one gives him to the heavier pair only, whichever comes first.
$ ovrin link --csv --best --field given,surname - inputs/person_records.csv
< given,surname
< Tom,Wright
< Thomas,Wright
> a.given,a.surname,id,b.given,b.surname,dob,line_a,line_b,score,weight
> Tom,Wright,12,Thomas,Wright,1988-02-02,2,13,0.996,4.8
> Thomas,Wright,12,Thomas,Wright,1988-02-02,3,13,0.999,7.8
! ovrin: A: 2 records, 2 matched; B: 12 records; 2 candidate pairs, 2 pairs written
$ ovrin link --csv --one-to-one --field given,surname - inputs/person_records.csv
< given,surname
< Tom,Wright
< Thomas,Wright
> a.given,a.surname,id,b.given,b.surname,dob,line_a,line_b,score,weight
> Thomas,Wright,12,Thomas,Wright,1988-02-02,3,13,0.999,7.8
! ovrin: A: 2 records, 1 matched; B: 12 records; 2 candidate pairs, 1 pair written

# Without --with, --best fits m to the candidates as well, round after round
# until it settles: five of the ten people of A are in B under an initial
# and their surname, and each round lifts the weight of a given name that
# agrees only somewhat (an initial) a little further, with their pairs'
# scores and the share of A with a partner.
$ ovrin link --best --explain - inputs/initials_b.txt
< Ella Ozdemir
< Daniel Kowalski
< Zbigniew Ricci
< Giovanna Murphy
< Wojciech Bakker
< Ramazan Lopez
< Jacobus Williams
< Femke Johnson
< Anna Fischer
< Janet Thompson
> Anna Fischer\tAnna Fischer\t9\t6\t0.958\t8.5\tgiven exact +4.7, surname exact +3.8 = 8.5
! ovrin: A: 10 records, 1 matched; B: 6 records; 6 candidate pairs, 1 pair written
! ovrin: weights log2(m/u) (u from random pairs; exact and close names, exact values by their share): given exact +5.0 (m 0.788, u 0.0244) alike +4.0 (m 0.00974, u 0.000625) close +1.9 (m 0.117, u 0.0312) some -0.7 (m 0.0655, u 0.106) different -5.4 (m 0.0195, u 0.838); surname exact +3.9 (m 0.805, u 0.0556) alike +3.9 (m 0.00974, u 0.000625) close +1.9 (m 0.117, u 0.0312) some -1.0 (m 0.0487, u 0.1) different -5.4 (m 0.0195, u 0.812); prior 0.166667; share of A with a partner 0.271

# A side with no records (a header alone) links nothing: B's records are
# not paired among themselves.
$ ovrin link --csv --header --best --all - inputs/person_records.csv
< id,given,surname,dob
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,score,weight
! ovrin: A: 0 records, 0 matched; B: 12 records; 0 candidate pairs, 0 pairs written

# A field that cannot be read counts as missing, with a warning and exit
# status 1; an empty one is just missing.
$ ovrin group --csv --person --field name --with dob
< name,dob
< John Smith,1980-01-01
< \xff\xfeJohn,1980-01-01
< John Smith,\xff
< John Smith,
> name,dob,group,score
> John Smith,1980-01-01,1,0.996
> John Smith,\xff,1,0.996
> John Smith,,1,0.996
! ovrin: --with dob: dates (guessed)
! ovrin: stdin:3: invalid UTF-8 in field 1; it counts as missing
! ovrin: stdin:4: invalid UTF-8 in field 2; it counts as missing
! ovrin: 4 records: 3 in 1 group, 1 alone (1 without a name); 1 candidate pair, 1 matched
? 1

# A name with letters that Windows-1252 lacks is spelled in Latin letters
# and compared whole: Łukasz Wałęsa spelled so is Lukasz Walesa, a copy of
# the same record, and Łucja Nowak is
# no longer a bare Nowak that meets Anna Nowak. A field of which nothing is
# left in Latin letters counts as missing; after the hundredth warning one
# line gives the number not shown and the total.
$ ovrin group --csv --explain --field given,surname --with dob inputs/names_in_scripts.csv
> given,surname,dob,group,score,explain
> Łukasz,Wałęsa,1943-09-29,1,1.000,copies of one record
> Lukasz,Walesa,1943-09-29,1,1.000,copies of one record
! ovrin: --with dob: dates (guessed)
! ovrin: inputs/names_in_scripts.csv:6: U+1F600 has no Latin spelling in field 1; it counts as missing
! ovrin: inputs/names_in_scripts.csv:6: U+2605 has no Latin spelling in field 2; it counts as missing
!...
! ovrin: inputs/names_in_scripts.csv:55: U+2605 has no Latin spelling in field 2; it counts as missing
! ovrin: ... and 2 more warnings (102 in all)
! ovrin: 55 records: 2 in 1 group, 53 alone (51 without a name); 1 candidate pair, 0 matched
!~ ovrin: weights *
? 1
