# --nicknames chooses the table of given names and their nicknames that
# group and link read when they match people: the one built in (the
# default), a FILE of the same form, or none. Each runs as the others.
$ ovrin group --threshold 0 --pairs
< Kowalski, Zbigniew
< Zbigniew Kowalski
< Zbygniew Kovalski
> Kowalski, Zbigniew\tZbygniew Kovalski\t1\t3\t1\t0.764\t1.7
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
$ ovrin group --nicknames none --threshold 0 --pairs
< Kowalski, Zbigniew
< Zbigniew Kowalski
< Zbygniew Kovalski
> Kowalski, Zbigniew\tZbygniew Kovalski\t1\t3\t1\t0.767\t1.7
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
$ ovrin group --nicknames inputs/nicknames.csv --threshold 0 --pairs
< Kowalski, Zbigniew
< Zbigniew Kowalski
< Zbygniew Kovalski
> Kowalski, Zbigniew\tZbygniew Kovalski\t1\t3\t1\t0.764\t1.7
! ovrin: 3 records: 3 in 1 group, 0 alone (0 without a name); 1 candidate pair, 1 matched
$ ovrin link --csv --best --nicknames=inputs/nicknames.csv --field given,surname - inputs/person_records.csv
< given,surname
< Thomas,Wright
> a.given,a.surname,id,b.given,b.surname,dob,line_a,line_b,score,weight
> Thomas,Wright,12,Thomas,Wright,1988-02-02,2,13,1.000,8.6
! ovrin: A: 1 record, 1 matched; B: 12 records; 1 candidate pair, 1 pair written

# A table that cannot be read, or a malformed one, is a usage error, told
# before any record is read: the file, and the line at fault.
$ ovrin group --nicknames inputs/missing.csv inputs/person_records.csv
! ovrin: cannot read the nickname table inputs/missing.csv: No such file or directory
? 2
$ ovrin link --nicknames inputs/missing.csv inputs/person_records.csv inputs/person_records.csv
! ovrin: cannot read the nickname table inputs/missing.csv: No such file or directory
? 2
$ ovrin link --nicknames inputs/nicknames_malformed.csv inputs/person_records.csv inputs/person_records.csv
! ovrin: inputs/nicknames_malformed.csv: line 4: 2 fields where a row has 3: name,has_nickname,nickname
? 2
$ ovrin group --csv --nicknames inputs/person_records.csv inputs/person_records.csv
! ovrin: inputs/person_records.csv: line 1: the table begins with the header name1,relationship,name2, not "id,given,surname,dob"
? 2

# It names a file or none; it belongs to the matching of people.
$ ovrin group --nicknames=
! ovrin: --nicknames needs a file name or none
? 2
$ ovrin map soundex 0 --nicknames none
! ovrin: --nicknames is an option of group and link
? 2
$ ovrin group --nicknames none --confirm guth
! ovrin: --confirm, --key and --limit belong to the matching of single names, not of people
? 2
