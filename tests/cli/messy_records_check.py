#!/usr/bin/env python3
"""Messy exports through map, group --all and link --all --best, matching
people and by a code (--confirm): no record lost, added or shifted.

Generates files of the shapes a customer export comes in (quoted CSV with
line ends inside quotes, CR LF, lone CRs, a byte order mark, NUL bytes,
bytes that are not UTF-8, Latin-1 taken for UTF-8, blank lines, short and
long rows) and random byte soups, runs each command over each in TSV and
CSV, with and without a header, and checks against a plain reader of the
same record rules:
  - as many output records as input records (a header line apart);
  - each output record begins with its input record, byte for byte, each
    ends as its input record did, and map and link keep the input order;
  - under a header every line is as wide as the header line, except a
    record that is itself wider than the header;
  - JSON (group --all --json, link --all --best --json, in UTF-8 and in
    Windows-1252) is valid UTF-8 and valid JSON on every line, with one
    record object for each input record;
  - exit status 0 or 1, and nothing a sanitizer reports.
  messy_records_check.py PATH_TO_OVRIN SOURCE_DIR [COMMAND...]
COMMAND: map, group, link (matching people), "group --confirm", "link
--confirm" (by a code); all of them when none is given.
"""
import json
import os
import random
import subprocess
import sys
import tempfile

OVRIN, SOURCE = sys.argv[1], sys.argv[2]
COMMANDS = sys.argv[3:] or ["map", "group", "group --confirm", "link", "link --confirm"]
failures = []


def records(data, csv):
    """The records of `data`: (text, line end, open) triples, as the command
    reads them: LF, CR LF or a lone CR ends a record outside a quoted CSV
    text; a quote opens one only at the start of a field (or doubled inside
    one); `open` when the input ends inside one."""
    out = []
    i, start, n = 0, 0, len(data)
    quoted, field_start, just_closed = False, True, False
    while i < n:
        c = data[i]
        if quoted:
            if c == 0x22:
                quoted, just_closed = False, True
            i += 1
            continue
        if c in (0x0A, 0x0D):
            end = b"\r\n" if data[i:i + 2] == b"\r\n" else bytes([c])
            out.append([data[start:i], end, False])
            i += len(end)
            start, field_start, just_closed = i, True, False
            continue
        if csv and c == 0x22 and (field_start or just_closed):
            quoted = True
        just_closed, field_start = False, c == 0x2C
        i += 1
    if start < n:
        text, end = data[start:], b""
        if quoted:  # the input's last line end, swallowed by an open quote
            for e in (b"\r\n", b"\n", b"\r"):
                if text.endswith(e):
                    text, end = text[:-len(e)], e
                    break
        out.append([text, end, quoted])
    # A last record without an end takes the end of the one before.
    for k in range(len(out)):
        if out[k][1] == b"":
            out[k][1] = out[k - 1][1] if k > 0 and out[k - 1][1] else b"\n"
    return [tuple(r) for r in out]


def field_count(text, csv):
    if not csv:
        return text.count(b"\t") + 1
    count, i, n = 1, 0, len(text)
    while i < n:
        if text[i] == 0x22:  # a quoted text, then anything up to the comma
            i += 1
            while i < n:
                if text[i] == 0x22:
                    if i + 1 < n and text[i + 1] == 0x22:
                        i += 2
                        continue
                    i += 1
                    break
                i += 1
        while i < n and text[i] != 0x2C:
            i += 1
        if i < n:
            count += 1
            i += 1
    return count


def run(arguments):
    result = subprocess.run([OVRIN] + arguments, capture_output=True)
    return result.returncode, result.stdout, result.stderr


def check(label, data, csv, header, command):
    sep = b"," if csv else b"\t"
    fmt = ["--csv"] if csv else []
    head = ["--header"] if header else []
    with tempfile.NamedTemporaryFile(delete=False) as f:
        f.write(data)
        path = f.name
    try:
        b_path = os.path.join(WORK, "b.csv" if csv else "b.tsv")
        if command == "map":
            status, out, err = run(["map", "soundex", "0"] + fmt + head + ["--no-progress", path])
            added = 1
        elif command == "group":  # people: group and score
            status, out, err = run(["group", "--all"] + fmt + head + [path])
            added = 2
        elif command == "group --confirm":  # by a code: group and key
            status, out, err = run(["group", "--all", "--confirm", "levenshtein:2"] + fmt + head + [path])
            added = 2
        elif command == "link":  # B's one field, then line_a, line_b, score, weight
            status, out, err = run(["link", "--all", "--best"] + fmt + head + [path, b_path])
            added = 1 + 4
        else:  # B's one field, then the pair's five columns
            status, out, err = run(["link", "--all", "--best", "--confirm", "levenshtein:2"] + fmt + head +
                                   [path, b_path])
            added = 1 + 5
    finally:
        os.unlink(path)
    where = "%s: %s%s%s" % (label, command, " --csv" if csv else "", " --header" if header else "")

    def fail(what):
        failures.append("%s: %s" % (where, what))

    if status not in (0, 1):
        return fail("exit status %d: %s" % (status, err[:300]))
    if b"Sanitizer" in err or b"runtime error:" in err:
        return fail("sanitizer report: %s" % err[:600])
    text = data[3:] if data.startswith(b"\xef\xbb\xbf") else data
    if data.startswith(b"\xef\xbb\xbf"):
        if not out.startswith(b"\xef\xbb\xbf"):
            return fail("the byte order mark is lost")
        out = out[3:]
    given = records(text, csv)
    written = records(out, csv)
    width = 0
    if header and given:
        width = field_count(given[0][0], csv)
        if not written or not written[0][0].startswith(given[0][0] + (b'"' if given[0][2] else b"")):
            return fail("the header is not written first")
        header_width = field_count(written[0][0], csv)
        given, written = given[1:], written[1:]
    if len(given) != len(written):
        return fail("%d records in, %d out" % (len(given), len(written)))
    # What each output record begins with: the record filled out to the
    # header's width, then a separator.
    expected = []
    for record, end, open_quote in given:
        missing = max(0, width - field_count(record, csv)) if header else 0
        closed = record + b'"' if open_quote else record  # the writer closes the quote
        expected.append((closed + sep * missing + sep, end, field_count(record, csv) + missing))
    if command.startswith("group"):  # groups gather their records: compare as sets
        pairs = []
        remaining = list(range(len(expected)))
        for record, end, _ in written:
            for k in remaining:
                if record.startswith(expected[k][0]) and end == expected[k][1]:
                    remaining.remove(k)
                    pairs.append((record, end, expected[k]))
                    break
            else:
                return fail("an output record matches no input record: %r" % record[:80])
    else:
        pairs = [(w[0], w[1], e) for w, e in zip(written, expected)]
    for number, (record, end, (prefix, want_end, fields)) in enumerate(pairs):
        if not record.startswith(prefix):
            return fail("record %d begins %r, not %r" % (number + 1, record[:60], prefix[:60]))
        if end != want_end:
            return fail("record %d ends %r, not %r" % (number + 1, end, want_end))
        if header and fields <= width and field_count(record, csv) != header_width:
            return fail("record %d has %d fields, the header %d" % (number + 1, field_count(record, csv), header_width))
        if not header and field_count(record, csv) != fields + added:
            return fail("record %d has %d fields, not %d" % (number + 1, field_count(record, csv), fields + added))


def check_json(label, data, csv, command, cp1252):
    fmt = ["--csv"] if csv else []
    enc = ["--encoding", "cp1252"] if cp1252 else []
    with tempfile.NamedTemporaryFile(delete=False) as f:
        f.write(data)
        path = f.name
    try:
        mode = ["--confirm", "levenshtein:2"] if command.endswith("--confirm") else []
        if command.startswith("group"):
            status, out, err = run(enc + ["group", "--all", "--json"] + mode + fmt + [path])
        else:
            b_path = os.path.join(WORK, "b.csv" if csv else "b.tsv")
            status, out, err = run(enc + ["link", "--all", "--best", "--json"] + mode + fmt + [path, b_path])
    finally:
        os.unlink(path)
    where = "%s: %s --json%s%s" % (label, command, " --csv" if csv else "", " cp1252" if cp1252 else "")
    if status not in (0, 1) or b"Sanitizer" in err or b"runtime error:" in err:
        return failures.append("%s: exit status %d: %s" % (where, status, err[:300]))
    try:
        text = out.decode("utf-8")
        objects = [json.loads(line) for line in text.split("\n") if line]
    except ValueError as e:
        return failures.append("%s: not UTF-8 JSON: %s" % (where, e))
    body = data[3:] if data.startswith(b"\xef\xbb\xbf") and not cp1252 else data
    want = len(records(body, csv))
    got = sum(len(o["records"]) for o in objects) if command.startswith("group") else len(objects)
    if got != want:
        failures.append("%s: %d records in, %d out" % (where, want, got))


def shapes(rng):
    names = [b"Meyer", b"Maier", b"Smith", b"M\xc3\xbcller", b"Mueller", b"Lee", b"\xc3\x91\xc3\xba\xc3\xb1ez"]
    pick = lambda: rng.choice(names)
    rows = [b"%d,%s,Anna" % (i, pick()) for i in range(30)]
    yield "quoted CSV", b"id,surname,given\n" + b"1,\"Mey\ner\",\"x\"\"y\"\n2,\"Ma\r\nier\",z\r\n3,\"Sm\rith\",q\n"
    yield "CR LF", b"surname\tcity\r\n" + b"\r\n".join(b"%s\tUlm" % pick() for _ in range(20)) + b"\r\n"
    yield "lone CR", b"surname\r" + b"\r".join(pick() for _ in range(20)) + b"\r"
    yield "mixed ends", b"surname\n" + b"".join(pick() + rng.choice([b"\n", b"\r\n", b"\r"]) for _ in range(30))
    yield "byte order mark", b"\xef\xbb\xbfsurname,city\n" + b"\n".join(rows)
    yield "NUL bytes", b"surname\tn\n" + b"\n".join(pick() + b"\x00" * rng.randint(0, 1) + b"\tx" for _ in range(20))
    yield "bad UTF-8", b"surname\n" + b"\n".join(pick() + bytes([rng.randint(0x80, 0xFF)]) for _ in range(20))
    yield "Latin-1 as UTF-8", b"surname,city\nM\xfcller,K\xf6ln\nJos\xe9,Le\xf3n\n\xd1\xfa\xf1ez,\n"
    yield "blank lines", b"surname,city\n\n" + b"\n\n".join(rows[:10]) + b"\n\n\n"
    yield "short and long rows", b"id,surname,given,city\n" + b"\n".join(
        b",".join([b"%d" % i, pick(), b"x", b"y", b"z"][:rng.randint(1, 5)]) for i in range(40)) + b"\n"
    yield "no last line end", b"surname,city\nMeyer,Ulm\r\nMaier"
    yield "unclosed quote", b"surname,city\nMeyer,Ulm\n\"Maier,\nBonn\r\n"
    yield "quote inside a field", b"surname,city\nMa\"ier,Ulm\n\"Mey\"\"er\"x,\"Bonn\"\r\nLee\n"
    yield "a header alone, unclosed", b"\"surname,city\n"
    alphabet = b"abcMeyrSmith \t,\"\r\n\x00\xc3\xbc\xff\x80"
    for k in range(30):
        size = rng.randint(0, 600)
        yield "byte soup %d" % k, bytes(rng.choice(alphabet) for _ in range(size))


WORK = tempfile.mkdtemp()
for name, sep in (("b.tsv", b"\t"), ("b.csv", b",")):
    with open(os.path.join(WORK, name), "wb") as f:
        f.write(b"name\nMeyer\nMayr\nSmith\nM\xc3\xbcller\n")
rng = random.Random(20240614)
count = 0
for label, data in shapes(rng):
    for command in COMMANDS:
        for csv in (False, True):
            for header in (False, True):
                check(label, data, csv, header, command)
                count += 1
            if command != "map":
                for cp1252 in (False, True):
                    check_json(label, data, csv, command, cp1252)
                    count += 1
for name in ("b.tsv", "b.csv"):
    os.unlink(os.path.join(WORK, name))
os.rmdir(WORK)
for failure in failures[:20]:
    print("FAIL", failure)
print("%d runs, %d failed" % (count, len(failures)))
sys.exit(1 if failures else 0)
