# ovrin link --confirm (or --key, --limit): for every record of A, the
# records of B whose names share a code and are confirmed: both records,
# their lines, the key, the Guth percentage (A's name first) and the
# Levenshtein distance. Matching people, the default, is in people.t.

# The example of docs/grouping-by-code.md: the best match of each name of a roll in the list.
$ ovrin link --confirm levenshtein:2 --best ../../data/sample_group_b.txt ../../data/sample_group.txt
> Meier\tMeier\t1\t10\tMR\t100\t0
> Smythe\tSmyth\t2\t11\tSM0\t90\t1
> Jonsen\tJonson\t4\t9\tJNSN\t83\t1
> Catharine\tCatherine\t5\t13\tK0RN\t88\t1
> Tomas\tThomas\t6\t18\tTMS\t90\t1
> Mueller\tMueller\t7\t16\tMLR\t100\t0
! ovrin: A: 7 records, 6 matched, 1 not (0 without a name, 0 without a code); B: 18 records (0 without a name, 0 without a code); 6 pairs written

# Every pair, A in input order and B in input order for each record of A.
# Moore shares MR with Meyer but is four edits away: no pair. Records of A
# without a name or a code take no part.
$ ovrin link --confirm levenshtein:2 inputs/link_a.txt inputs/link_b.txt
> Maer\tMare\t1\t1\tMR\t75\t2
> Maer\tMair\t1\t3\tMR\t75\t1
> Maer\tMair\t1\t5\tMR\t75\t1
> Maer\tMeyer\t1\t6\tMR\t66\t2
> Smith\tSmyth\t2\t2\tSM0\t80\t1
> Smith\tSmith\t2\t4\tSM0\t100\t0
> Mair\tMare\t3\t1\tMR\t50\t2
> Mair\tMair\t3\t3\tMR\t100\t0
> Mair\tMair\t3\t5\tMR\t100\t0
> Moore\tMare\t4\t1\tMR\t66\t2
! ovrin: inputs/link_a.txt:5: empty name in field 1; it is not matched
! ovrin: inputs/link_a.txt:6: "123" has no Double Metaphone code; it is not matched
! ovrin: A: 6 records, 4 matched, 2 not (1 without a name, 1 without a code); B: 6 records (0 without a name, 0 without a code); 10 pairs written
? 1
$ ovrin link --confirm none inputs/link_a.txt inputs/link_b.txt
>...
> Moore\tMare\t4\t1\tMR\t66\t2
> Moore\tMair\t4\t3\tMR\t44\t3
> Moore\tMair\t4\t5\tMR\t44\t3
> Moore\tMeyer\t4\t6\tMR\t40\t4
!...
! ovrin: A: 6 records, 4 matched, 2 not (1 without a name, 1 without a code); B: 6 records (0 without a name, 0 without a code); 14 pairs written
? 1
# The best: the highest percentage (Smith before Smyth), then the lowest
# distance (Mair before Mare for Maer), then the first in B (Mair of line 3).
# --all keeps the records of A without a match.
$ ovrin link --confirm levenshtein:2 --best --all inputs/link_a.txt inputs/link_b.txt
> Maer\tMair\t1\t3\tMR\t75\t1
> Smith\tSmith\t2\t4\tSM0\t100\t0
> Mair\tMair\t3\t3\tMR\t100\t0
> Moore\tMare\t4\t1\tMR\t66\t2
> \t\t5\t\t\t\t
> 123\t\t6\t\t\t\t
!...
! ovrin: A: 6 records, 4 matched, 2 not (1 without a name, 1 without a code); B: 6 records (0 without a name, 0 without a code); 4 pairs written
? 1
$ ovrin link --confirm levenshtein:2 --best --all --json inputs/link_a.txt inputs/link_b.txt
> {"a":{"line":1,"name":"Maer","record":"Maer"},"b":{"line":3,"name":"Mair","record":"Mair"},"key":"MR","guth_percent":75,"levenshtein":1}
> {"a":{"line":2,"name":"Smith","record":"Smith"},"b":{"line":4,"name":"Smith","record":"Smith"},"key":"SM0","guth_percent":100,"levenshtein":0}
> {"a":{"line":3,"name":"Mair","record":"Mair"},"b":{"line":3,"name":"Mair","record":"Mair"},"key":"MR","guth_percent":100,"levenshtein":0}
> {"a":{"line":4,"name":"Moore","record":"Moore"},"b":{"line":1,"name":"Mare","record":"Mare"},"key":"MR","guth_percent":66,"levenshtein":2}
> {"a":{"line":5,"name":null,"record":""},"b":null,"key":null,"guth_percent":null,"levenshtein":null}
> {"a":{"line":6,"name":"123","record":"123"},"b":null,"key":null,"guth_percent":null,"levenshtein":null}
!...
? 1

# The key is the first code of A's name that B's shares: Smit's primary
# is SMT, its secondary XMT is Smith's and Smyth's secondary. A header name
# picks A's field and implies A's header; B's field is a number and B has
# none. A's CR LF stays.
$ ovrin link --confirm levenshtein:2 --field surname,1 inputs/link_a.tsv inputs/link_b.txt
> id\tsurname\t\tline_a\tline_b\tkey\tguth_percent\tlevenshtein\r
> 7\tMeyer\tMeyer\t2\t6\tMR\t100\t0\r
> 8\tSmit\tSmyth\t3\t2\tXMT\t66\t2\r
> 8\tSmit\tSmith\t3\t4\tXMT\t88\t1\r
! ovrin: A: 2 records, 2 matched, 0 not (0 without a name, 0 without a code); B: 6 records (0 without a name, 0 without a code); 3 pairs written
# CSV on both sides, both with a header: the column names they share are
# told apart as a.NAME and b.NAME.
$ ovrin link --confirm levenshtein:2 --csv --header - inputs/link_b.csv
< surname,city
< Meyer,Ulm
< Smit,Bath
> a.surname,a.city,b.surname,b.city,line_a,line_b,key,guth_percent,levenshtein
> Meyer,Ulm,Maier,Ulm,2,2,MR,40,2
> Smit,Bath,Smith,Bath,3,3,XMT,88,1
! ovrin: A: 2 records, 2 matched, 0 not (0 without a name, 0 without a code); B: 2 records (0 without a name, 0 without a code); 2 pairs written
# Guth confirmation asks both ways round: Meyer and Maier share MR but do
# not match, Mayer and Maier do. A record of A without a match gets as many
# empty fields as B's records have (here two).
$ ovrin link --confirm guth --all --csv - inputs/link_b.csv
< Meyer
< Mayer
> Meyer,,,1,,,,
> Mayer,Maier,Ulm,2,2,MR,80,1
! ovrin: A: 2 records, 1 matched, 1 not (0 without a name, 0 without a code); B: 3 records (0 without a name, 0 without a code); 1 pair written
$ ovrin link --key soundex - inputs/link_b.txt
< Mayr
> Mayr\tMare\t1\t1\tM600\t50\t2
> Mayr\tMair\t1\t3\tM600\t75\t1
> Mayr\tMair\t1\t5\tM600\t75\t1
> Mayr\tMeyer\t1\t6\tM600\t66\t2
! ovrin: A: 1 record, 1 matched, 0 not (0 without a name, 0 without a code); B: 6 records (0 without a name, 0 without a code); 4 pairs written
# Records of B without a name are reported too, under B's name.
$ ovrin link --confirm levenshtein:2 inputs/link_b.txt -
< Smith
<
> Smyth\tSmith\t2\t1\tSM0\t80\t1
> Smith\tSmith\t4\t1\tSM0\t100\t0
! ovrin: stdin:2: empty name in field 1; it is not matched
! ovrin: A: 6 records, 2 matched, 4 not (0 without a name, 0 without a code); B: 2 records (1 without a name, 0 without a code); 2 pairs written
? 1

# Usage errors.
$ ovrin link --confirm levenshtein:2 inputs/link_a.txt
! ovrin: link needs two files: ovrin link [options] FILE_A FILE_B
? 2
$ ovrin link --confirm levenshtein:2 - -
! ovrin: only one of the two files can be stdin (-)
? 2
$ ovrin link --confirm levenshtein:2 --field 1,2,3 inputs/link_a.txt inputs/link_b.txt
! ovrin: link reads one field of each file, --field gives 3
? 2
$ ovrin link --confirm levenshtein:2 inputs/link_a.txt inputs/missing.txt
! ovrin: cannot read inputs/missing.txt: No such file or directory
? 2
$ ovrin link --key soundex5 --limit 4 inputs/link_a.txt inputs/link_b.txt
! ovrin: --limit sets the code length of dmetaphone and metaphone only
? 2

# Help.
$ ovrin help link
> ovrin link [OPTION...] FILE_A FILE_B
> For every record of list A, the records of list B that probably stand for
>...
>   --best               only the best match of each record of A: the highest
>...
> Pairing by a code (--confirm, --key, --limit):
>...
$ ovrin link --confirm levenshtein:2 --help
> ovrin link [OPTION...] FILE_A FILE_B
>...

# --truth in link: the true pairs are those of A and B with one entity.
# Meyer of A is person 1, twice in B (Meier, Maier); Smith of A finds
# Smyth of B, who is someone else; Moore has no partner.
$ ovrin link --confirm levenshtein:2 --csv --field name --truth person - inputs/link_truth_b.csv
< name,person
< Meyer,1
< Smith,2
< Moore,4
> a.name,a.person,b.name,b.person,line_a,line_b,key,guth_percent,levenshtein
> Meyer,1,Meier,1,2,2,MR,60,1
> Meyer,1,Maier,1,2,4,MR,40,2
> Smith,2,Smyth,3,3,3,SM0,80,1
! ovrin: A: 3 records, 2 matched, 1 not (0 without a name, 0 without a code); B: 3 records (0 without a name, 0 without a code); 3 pairs written
! ovrin: pairs against the truth: 3 found, 2 true of them, 2 true in all; precision 0.6667, recall 1.0000, F1 0.8000
