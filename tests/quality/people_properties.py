#!/usr/bin/env python3
"""Properties of the matching of people, on a generated list:
- a --with column that tells nothing (random values of 2 or 10 kinds, one
  constant value) changes F1 by at most 0.005 and weighs within half a bit
  of 0 when equal; one that repeats the surname is left out, and changes F1
  as little;
- the order of the records changes no group;
- a list with names in their own scripts groups as its copy spelled in
  Latin letters (as ovrin spells them: --json writes the name as read);
- exact copies of a record (1, 50, 1,000, 100,000) make one group, and in
  link every copy of A meets every copy of B.
   people_properties.py MAKE_PEOPLE OVRIN
"""
import csv
import json
import os
import random
import re
import subprocess
import sys
import tempfile

make_people, ovrin = sys.argv[1], sys.argv[2]
failed = []


def check(ok, what):
    print(("ok " if ok else "FAIL ") + what)
    if not ok:
        failed.append(what)


def run(args):
    done = subprocess.run([ovrin] + args, capture_output=True, encoding="utf-8", errors="replace")
    return done.stdout, done.stderr


def f1(stderr):
    return float(re.search(r"F1 ([0-9.]+)", stderr).group(1))


def equal_weight(stderr, field):
    # "coin exact +0.0 (m 0.513, u 0.503)" in the weights line of --explain
    return float(re.search(field + r" exact ([-+][0-9.]+)", stderr).group(1))


def groups(stdout, key="id"):
    """The groups as sets of ids, from group --csv output."""
    by = {}
    for row in csv.DictReader(stdout.splitlines()):
        if row["group"]:
            by.setdefault(row["group"], set()).add(row[key])
    return sorted(sorted(g) for g in by.values())


with tempfile.TemporaryDirectory() as work:
    people = os.path.join(work, "group.csv")
    subprocess.run([make_people, "group", "7", "2500", people], check=True)
    with open(people, newline="") as f:
        rows = list(csv.DictReader(f))
    fields = list(rows[0].keys())
    chance = random.Random(3)
    for row in rows:
        row["coin"] = chance.choice("AB")
        row["ten"] = "K%d" % chance.randrange(10)
        row["same"] = "X"
        row["again"] = row["surname"]
    wider = os.path.join(work, "wider.csv")
    with open(wider, "w", newline="") as f:
        writer = csv.DictWriter(f, fieldnames=fields + ["coin", "ten", "same", "again"])
        writer.writeheader()
        writer.writerows(rows)

    base = ["group", "--csv", "--field", "given,surname", "--truth", "truth", "--explain"]
    _, err = run(base + ["--with", "dob", wider])
    plain = f1(err)
    for column in ("coin", "ten", "same"):
        _, err = run(base + ["--with", "dob," + column, wider])
        check(abs(f1(err) - plain) <= 0.005, "--with %s: F1 %.4f against %.4f" % (column, f1(err), plain))
        weight = equal_weight(err, column)
        check(abs(weight) <= 0.5, "--with %s: equal weighs %+.1f" % (column, weight))

    _, err = run(base + ["--with", "dob,again", wider])
    check(abs(f1(err) - plain) <= 0.005, "--with again: F1 %.4f against %.4f" % (f1(err), plain))
    check("--with again: text (guessed); repeats the surname" in err, "--with again: left out as the surname")

    # The same records in another order give the same groups.
    out, _ = run(["group", "--csv", "--field", "given,surname", "--with", "dob", people])
    shuffled = rows[:]
    random.Random(5).shuffle(shuffled)
    other = os.path.join(work, "shuffled.csv")
    with open(other, "w", newline="") as f:
        writer = csv.DictWriter(f, fieldnames=fields, extrasaction="ignore")
        writer.writeheader()
        writer.writerows(shuffled)
    out2, _ = run(["group", "--csv", "--field", "given,surname", "--with", "dob", other])
    check(groups(out) == groups(out2), "the order of the records changes no group")

    # Names in their own scripts group as their Latin spelling does.
    export = os.path.join(work, "export.csv")
    subprocess.run([make_people, "export", "7", "3000", export], check=True)
    with open(export, newline="", encoding="utf-8") as f:
        records = list(csv.DictReader(f))
    changed = 0
    for field in ("first", "last", "city"):
        out, _ = run(["group", "--csv", "--json", "--all", "--threshold", "1", "--field", field, export])
        spelled = {}
        for line in out.splitlines():
            for record in json.loads(line)["records"]:
                spelled[record["line"]] = record.get("name", "")
        for number, record in enumerate(records):
            changed += record[field] != spelled.get(number + 2, "")
            record[field] = spelled.get(number + 2, "")
    latin = os.path.join(work, "latin.csv")
    with open(latin, "w", newline="", encoding="utf-8") as f:
        writer = csv.DictWriter(f, fieldnames=list(records[0].keys()))
        writer.writeheader()
        writer.writerows(records)
    check(changed > 100, "%d names and towns spelled in Latin letters" % changed)
    args = ["group", "--csv", "--field", "first,last", "--with", "birth_year,city"]
    check(groups(run(args + [export])[0]) == groups(run(args + [latin])[0]),
          "names in their own scripts group as their Latin spelling")

    # Exact copies of one record are one group, however many.
    for copies in (1, 50, 1000, 100000):
        path = os.path.join(work, "copies.csv")
        with open(path, "w") as f:
            f.write("id,given,surname,dob\n")
            for i in range(copies):
                f.write("%d,John,Smith,1980-01-02\n" % i)
            f.write("a,Mary,Jones,1975-03-04\nb,Peter,Brown,1960-07-08\n")
        out, _ = run(["group", "--csv", "--field", "given,surname", "--with", "dob", path])
        found = groups(out)
        want = [sorted(str(i) for i in range(copies))] if copies > 1 else []
        check(found == want, "%d copies: %d groups, %s records grouped" %
              (copies, len(found), sum(len(g) for g in found)))

    # In link, copies on either side are paired as their firsts are.
    a, b = os.path.join(work, "a.csv"), os.path.join(work, "b.csv")
    with open(a, "w") as f:
        f.write("id,given,surname,dob\n" + "".join("a%d,John,Smith,1980-01-02\n" % i for i in range(3)))
        f.write("am,Mary,Jones,1975-03-04\n")
    with open(b, "w") as f:
        f.write("id,given,surname,dob\n" + "".join("b%d,John,Smith,1980-01-02\n" % i for i in range(200)))
        f.write("bm,Mary,Jones,1975-03-04\nbp,Peter,Brown,1960-07-08\n")
    args = ["link", "--csv", "--field", "given,surname", "--with", "dob"]
    pairs = list(csv.DictReader(run(args + [a, b])[0].splitlines()))
    check(len(pairs) == 3 * 200 + 1, "link: %d pairs of 3 and 200 copies and one of Mary" % len(pairs))
    best = list(csv.DictReader(run(args + ["--best", a, b])[0].splitlines()))
    check(sorted(p["a.id"] for p in best) == ["a0", "a1", "a2", "am"], "link --best: a partner for each copy of A")

sys.exit(1 if failed else 0)
