# ovrin group and link matching people (the default; --person says so):
# a name from several fields, other fields that confirm or refute, weights
# measured on the input, groups that do not chain. The fixture is small,
# so its weights are weak; tests/quality measures the matching at size.

# Smith-Jones and Smith Jones meet, as do O'Brien and Obrien; Brien Peter
# meets Peter O'Brien crosswise. Anna Smith shares a part of the surname
# but not the date; without a date, Ana Smyth-Jones has too little.
$ ovrin group --csv --field given,surname --with dob --all inputs/person_records.csv
> id,given,surname,dob,group,score
> 1,Anna,Smith-Jones,1984-03-07,1,0.883
> 3,ANNA,Smith Jones,1984-07-03,1,0.883
> 2,Peter,O'Brien,1950-11-23,2,0.733
> 4,Brien,Peter,1950-11-23,2,0.733
> 7,Peter,Obrien,1950-11-28,2,0.733
> 5,Anna,Smith,1991-05-30,,
> 6,Ana,Smyth-Jones,,,
> 8,Maria,Garcia,1977-01-15,3,0.745
> 11,Mary,Garcia,1977-01-15,3,0.745
> 9,John,Taylor,1962-09-09,4,0.578
> 10,Jon,Tailor,1962-09-09,4,0.578
> 12,Thomas,Wright,1988-02-02,,
! ovrin: 12 records: 9 in 4 groups, 3 alone (0 without a name); 11 candidate pairs, 5 matched

# A file linked with itself pairs no record with itself; --one-to-one takes
# each record of B once, the heaviest pairs first (Obrien takes O'Brien
# before Brien Peter can); a score is the chance among the record's rivals
# (O'Brien's pair with Obrien shares it with Brien Peter), with the share
# of records that have a partner fitted to the file: here most have one, so
# even Anna Smith and Ana Smyth-Jones pass, on little evidence in a file so
# small. --explain shows each comparison and its weight, and the weights
# on stderr.
$ ovrin link --csv --one-to-one --explain --field given,surname --with dob inputs/person_records.csv inputs/person_records.csv
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,score,weight,explain
> 1,Anna,Smith-Jones,1984-03-07,3,ANNA,Smith Jones,1984-07-03,2,4,0.839,5.6,"given exact +2.4, surname exact +2.7, dob close +0.5 = 5.6"
> 2,Peter,O'Brien,1950-11-23,7,Peter,Obrien,1950-11-28,3,8,0.569,5.6,"given exact +2.4, surname exact +2.7, dob close +0.5 = 5.6"
> 3,ANNA,Smith Jones,1984-07-03,1,Anna,Smith-Jones,1984-03-07,4,2,0.839,5.6,"given exact +2.4, surname exact +2.7, dob close +0.5 = 5.6"
> 5,Anna,Smith,1991-05-30,6,Ana,Smyth-Jones,,6,7,0.512,2.5,"given close -0.2, surname close +2.7, dob missing 0 = 2.5"
> 7,Peter,Obrien,1950-11-28,2,Peter,O'Brien,1950-11-23,8,3,0.969,5.6,"given exact +2.4, surname exact +2.7, dob close +0.5 = 5.6"
> 8,Maria,Garcia,1977-01-15,11,Mary,Garcia,1977-01-15,9,12,0.949,5.1,"given close +0.1, surname exact +2.7, dob exact +2.4 = 5.1"
> 9,John,Taylor,1962-09-09,10,Jon,Tailor,1962-09-09,10,11,0.949,5.1,"given close +0.1, surname close +2.7, dob exact +2.4 = 5.1"
> 10,Jon,Tailor,1962-09-09,9,John,Taylor,1962-09-09,11,10,0.949,5.1,"given close +0.1, surname close +2.7, dob exact +2.4 = 5.1"
> 11,Mary,Garcia,1977-01-15,8,Maria,Garcia,1977-01-15,12,9,0.949,5.1,"given close +0.1, surname exact +2.7, dob exact +2.4 = 5.1"
! ovrin: A: 12 records, 9 matched; B: 12 records; 22 candidate pairs, 9 pairs written
! ovrin: weights (u from random pairs; exact and close names by their share): given exact +2.6 close -0.0 some -1.4 different -4.4; surname exact +2.7 close +2.7 some +2.7 different -4.6; dob exact +2.4 close +0.5 different -4.3; prior 0.083333; share of A with a partner 0.864

# --pairs writes the matched pairs behind the groups above, each with both
# records and the group that holds both, each record's heaviest pairs
# first; Brien Peter and Obrien are in one group without a pair of their own.
$ ovrin group --csv --pairs --field given,surname --with dob inputs/person_records.csv
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,group,score,weight
> 1,Anna,Smith-Jones,1984-03-07,3,ANNA,Smith Jones,1984-07-03,2,4,1,0.883,6.2
> 2,Peter,O'Brien,1950-11-23,7,Peter,Obrien,1950-11-28,3,8,2,0.890,6.3
> 2,Peter,O'Brien,1950-11-23,4,Brien,Peter,1950-11-23,3,5,2,0.733,4.8
> 8,Maria,Garcia,1977-01-15,11,Mary,Garcia,1977-01-15,9,12,3,0.745,4.9
> 9,John,Taylor,1962-09-09,10,Jon,Tailor,1962-09-09,10,11,4,0.578,3.8
! ovrin: 12 records: 9 in 4 groups, 3 alone (0 without a name); 11 candidate pairs, 5 matched
$ ovrin group --pairs --json
< Smith, John
< John Smith
< Jon Smyth
> {"a":{"line":1,"name":"Smith, John","record":"Smith, John"},"b":{"line":2,"name":"John Smith","record":"John Smith"},"group":1,"score":"0.998","weight":"9.2"}
! ovrin: 3 records: 2 in 1 group, 1 alone (0 without a name); 3 candidate pairs, 1 matched
$ ovrin group --pairs --all inputs/person_records.csv
! ovrin: --pairs writes pairs, so --all has no records alone to add: give one of the two
? 2

# One field: "Surname, Given", blanks and case are cleaned away.
$ ovrin group --person --all
< Smith, John
< John Smith
<   john   SMITH 
< Jon Smyth
< Jane Smith
> Smith, John\t1\t0.769
> John Smith\t1\t0.769
>   john   SMITH \t1\t0.769
> Jon Smyth\t\t
> Jane Smith\t\t
! ovrin: 5 records: 3 in 1 group, 2 alone (0 without a name); 10 candidate pairs, 3 matched

# An initial agrees a little (some) with a given name of its letter, and is
# no key of its own: J Smith and J Brown share nothing else and never meet.
$ ovrin group --pairs --explain
< John Smith
< J Smith
> John Smith\tJ Smith\t1\t2\t1\t0.612\t0.7\tgiven some -2.0, surname exact +2.7 = 0.7
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
! ovrin: weights (u from random pairs; exact and close names by their share): given exact +4.9 close +1.4 some -2.0 different -4.6; surname exact +2.8 close +1.4 some -1.1 different -4.6; prior 0.500000
$ ovrin group
< J Smith
< J Brown
! ovrin: 2 records: 0 in 0 groups, 2 alone (0 without a name); 0 candidate pairs, 0 matched

# A surname of two words is also compared as one: Smith-Jones and
# Smithjones agree exactly.
$ ovrin group --pairs --explain
< Anna Smith-Jones
< Anna Smithjones
> Anna Smith-Jones\tAnna Smithjones\t1\t2\t1\t0.975\t5.3\tgiven exact +2.7, surname exact +2.7 = 5.3
! ovrin: 2 records: 2 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
! ovrin: weights (u from random pairs; exact and close names by their share): given exact +2.8 close +1.4 some -1.1 different -4.6; surname exact +2.8 close +1.4 some -1.1 different -4.6; prior 0.500000

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
> John Smith\tSmith John\t1\t2\t1\t0.927\t5.2\tgiven exact +3.0, surname exact +2.3 (crosswise) = 5.2
! ovrin: 5 records: 2 in 1 group, 3 alone (0 without a name); 10 candidate pairs, 1 matched
! ovrin: weights (u from random pairs; exact and close names by their share): given exact +3.6 close +2.3 some -2.4 different -4.4; surname exact +2.3 close +2.3 some -0.3 different -3.7; prior 0.250000

# Names spoiled past their codes meet by the first two letters of the
# given name and of the surname, in either order: three names of their own
# sounds that share only Le and Cr make three candidate pairs.
$ ovrin group
< Leslie Cromwood
< Lespie Crokwood
< Crabtree Lenny
> Leslie Cromwood\t1\t0.907
> Lespie Crokwood\t1\t0.907
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
! ovrin: 3 records: 0 in 0 groups, 3 alone (0 without a name); 3 candidate pairs, 0 matched
! ovrin: no pair is likely enough one person; to group look-alike names by a shared code instead, give --confirm (ovrin help group)
$ ovrin group --threshold 0 --pairs
< Smith, John
< John Smith
< Jon Smyth
> Smith, John\tJohn Smith\t1\t2\t1\t0.998\t9.2
> Smith, John\tJon Smyth\t1\t3\t1\t0.227\t-1.8
> John Smith\tJon Smyth\t2\t3\t1\t0.227\t-1.8
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name); 3 candidate pairs, 3 matched

# B may hold one person twice: Anna Smith-Jones (lines 2 and 4 of B) and
# Peter O'Brien (lines 3 and 5) are each other's duplicates, not rivals, so
# the heaviest candidate keeps the chance they share and Ann is linked.
$ ovrin link --csv --best --field given,surname --with dob ../../data/sample_people_b.csv ../../data/sample_people.csv
> a.id,a.given,a.surname,a.dob,b.id,b.given,b.surname,b.dob,line_a,line_b,score,weight
> 101,Peter,OBrien,1950-11-23,2,Peter,O'Brien,1950-11-23,2,3,0.999,12.0
> 102,Tom,Wright,1988-02-02,10,Thomas,Wright,1988-02-02,3,11,0.985,7.3
> 103,Maria,Garcia,1977-01-15,6,Maria,Garcia,1977-01-15,4,7,1.000,12.3
> 104,Katharina,Novak,1979-12-01,11,Katarzyna,Nowak,1979-12-01,5,12,0.968,6.3
> 105,Ann,Smith-Jones,1984-03-07,1,Anna,Smith-Jones,1984-03-07,6,2,0.997,8.6
! ovrin: A: 6 records, 5 matched; B: 12 records; 10 candidate pairs, 5 pairs written

# --best keeps each A record's heaviest pair even when another record of A
# has the same partner: Tom and Thomas Wright both take Thomas Wright of B.
# --one-to-one gives him to the heavier pair only, whichever comes first.
$ ovrin link --csv --best --field given,surname - inputs/person_records.csv
< given,surname
< Tom,Wright
< Thomas,Wright
> a.given,a.surname,id,b.given,b.surname,dob,line_a,line_b,score,weight
> Tom,Wright,12,Thomas,Wright,1988-02-02,2,13,0.998,5.7
> Thomas,Wright,12,Thomas,Wright,1988-02-02,3,13,1.000,10.6
! ovrin: A: 2 records, 2 matched; B: 12 records; 2 candidate pairs, 2 pairs written
$ ovrin link --csv --one-to-one --field given,surname - inputs/person_records.csv
< given,surname
< Tom,Wright
< Thomas,Wright
> a.given,a.surname,id,b.given,b.surname,dob,line_a,line_b,score,weight
> Thomas,Wright,12,Thomas,Wright,1988-02-02,3,13,1.000,10.6
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
> Daniel Kowalski\tD Kowalski\t2\t1\t0.716\t4.2\tgiven some +0.1, surname exact +4.0 = 4.2
> Zbigniew Ricci\tZ Ricci\t3\t2\t0.716\t4.2\tgiven some +0.1, surname exact +4.0 = 4.2
> Wojciech Bakker\tW Bakker\t5\t3\t0.716\t4.2\tgiven some +0.1, surname exact +4.0 = 4.2
> Ramazan Lopez\tR Lopez\t6\t4\t0.716\t4.2\tgiven some +0.1, surname exact +4.0 = 4.2
> Femke Johnson\tF Johnson\t8\t5\t0.716\t4.2\tgiven some +0.1, surname exact +4.0 = 4.2
> Anna Fischer\tAnna Fischer\t9\t6\t0.993\t10.0\tgiven exact +6.0, surname exact +4.0 = 10.0
! ovrin: A: 10 records, 6 matched; B: 6 records; 6 candidate pairs, 6 pairs written
! ovrin: weights (u from random pairs; exact and close names by their share): given exact +7.5 close +4.0 some +0.1 different -5.0; surname exact +4.1 close +4.0 some -0.3 different -4.9; prior 0.166667; share of A with a partner 0.457

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
> John Smith,1980-01-01,1,0.993
> John Smith,\xff,1,0.993
> John Smith,,1,0.993
! ovrin: stdin:3: invalid UTF-8 in field 1; it counts as missing
! ovrin: stdin:4: invalid UTF-8 in field 2; it counts as missing
! ovrin: 4 records: 3 in 1 group, 1 alone (1 without a name); 3 candidate pairs, 3 matched
? 1

# A name with letters that Windows-1252 lacks is spelled in Latin letters
# and compared whole: Łukasz Wałęsa meets Lukasz Walesa, and Łucja Nowak is
# no longer a bare Nowak that meets Anna Nowak. A field of which nothing is
# left in Latin letters counts as missing; after the hundredth warning one
# line gives the number not shown and the total.
$ ovrin group --csv --explain --field given,surname --with dob inputs/names_in_scripts.csv
> given,surname,dob,group,score,explain
> Łukasz,Wałęsa,1943-09-29,1,0.896,"weakest pair: lines 2 and 3: given exact +3.9, surname exact +2.7, dob exact +2.3 = 8.8"
> Lukasz,Walesa,1943-09-29,1,0.896,"weakest pair: lines 2 and 3: given exact +3.9, surname exact +2.7, dob exact +2.3 = 8.8"
! ovrin: inputs/names_in_scripts.csv:6: U+1F600 has no Latin spelling in field 1; it counts as missing
! ovrin: inputs/names_in_scripts.csv:6: U+2605 has no Latin spelling in field 2; it counts as missing
!...
! ovrin: inputs/names_in_scripts.csv:55: U+2605 has no Latin spelling in field 2; it counts as missing
! ovrin: ... and 2 more warnings (102 in all)
! ovrin: 55 records: 2 in 1 group, 53 alone (51 without a name); 2 candidate pairs, 1 matched
!~ ovrin: weights *
? 1
