#!/usr/bin/env python3
"""A mutation sample: do the native tests catch the slips a maintainer makes?

    tools/mutate.py [--keep] [NUMBER...]

Copies the files of the tree (tracked, and new ones not ignored) to a
scratch folder, builds the native tests there once (-O1, no link-time
optimisation, so each rebuild is quick), then for each slip of the list
below (or only the numbered ones): writes the slip into its file, rebuilds,
runs ovrin_tests, the command's cli_unit_tests and its transcripts
(tests/cli/*.t, through the program), puts the file back. Prints for each
slip which tests failed (and the first failing row of the table of cases,
if one did; a transcript's test by its file and line), or LIVED when every
test passed; then the score, caught out of those that built. The working
tree is never touched; --keep leaves the scratch folder for a look.

A slip is a file, a piece of text that occurs in it exactly once, and what
it becomes. When the code moves on and a piece is no longer found, the
script says so: mend the list, not the code.
"""

import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile

# (file, text, replaced by, what the slip is)
SLIPS = [
    ("phonetic/metaphone.cpp", "std::memmove(word + 1, word + 2, static_cast<size_t>(length - 1));",
     "std::memmove(word + 1, word + 2, static_cast<size_t>(length - 2));",
     "Metaphone: the WH step moves one byte too few"),
    ("phonetic/metaphone.cpp", "setFacts(after, \"AO\", AFTER_NEXT_A_OR_O);",
     "setFacts(after, \"A\", AFTER_NEXT_A_OR_O);", "Metaphone: SIO and TIO not read as X"),
    ("phonetic/metaphone.cpp", "{'C', NEXT_H | FIRST | AFTER_NEXT_NOT_AEIOU,", "{'C', NEXT_H | AFTER_NEXT_NOT_AEIOU,",
     "Metaphone: CH before a consonant read as K anywhere"),
    ("phonetic/metaphone.cpp", "{'T', NEXT_C | AFTER_NEXT_H,", "{'T', NEXT_C,", "Metaphone: T silent before any C"),
    ("phonetic/metaphone.cpp", "setFacts(previous, \"CSPTG\", PREVIOUS_CSPTG);",
     "setFacts(previous, \"CSPT\", PREVIOUS_CSPTG);", "Metaphone: H not silent after G"),
    ("phonetic/metaphone.cpp", "codeByRules(word, i, codeLength < limit - 1);", "codeByRules(word, i, codeLength < limit);",
     "Metaphone: X gives KS where only one character fits"),
    ("phonetic/metaphone.cpp", "&& current != 'C') sound = 0;", "&& current != 'K') sound = 0;",
     "Metaphone: the doubled-letter exception on the wrong letter"),
    ("phonetic/soundex.cpp", "bool fine = args[1].intValue >= 1;", "bool fine = args[1].intValue > 1;",
     "Soundex: mode 1 taken for 2 and above only"),
    ("phonetic/soundex.cpp", "const bool keep = (c != 0) & (c != last);", "const bool keep = (c != 0);",
     "Soundex: runs of one letter not merged"),
    ("phonetic/soundex.cpp", "/* J */ '4'", "/* J */ '5'", "Soundex: a wrong digit in the mode 1 table"),
    ("phonetic/soundex.cpp", "if (room < static_cast<size_t>(codeLength)) {",
     "if (room <= static_cast<size_t>(codeLength)) {", "Soundex: a scratch block for a name that has room"),
    ("phonetic/phonex.cpp", "while (length > 0 && name[length - 1] == 'S') --length;",
     "if (length > 0 && name[length - 1] == 'S') --length;", "Phonex: only one trailing S removed"),
    ("phonetic/phonex.cpp", "nextClass[static_cast<unsigned char>('G')] |= NEXT_D_OR_G;", "",
     "Phonex: a G after M or N not passed over"),
    ("phonetic/phonex.cpp", "} else if (first == 'H' && second != '\\0') {", "} else if (first == 'H') {",
     "Phonex: a lone H replaced by the NUL after it"),
    ("phonetic/double_metaphone_rules_j_z.cpp", "if (charAt(current + 1) == 'K') return applyRule(\"K\", \"K\", 2);",
     "if (charAt(current + 1) == 'K') return applyRule(\"K\", \"K\", 1);", "Double Metaphone: KK advances by one"),
    ("phonetic/double_metaphone_rules_j_z.cpp", "if (current == last) return applyRule(\"J\", \"\", advance);",
     "if (current == last) return applyRule(\"J\", \"J\", advance);", "Double Metaphone: a final J coded in both"),
    ("compare/letters.cpp", "kept += static_cast<unsigned char>(c - 'A') < 26;",
     "kept += static_cast<unsigned char>(c - 'A') < 27;", "Reduction to letters keeps ["),
    ("compare/letters.cpp", "kept += static_cast<unsigned char>(upper - 'A') < 26;",
     "kept += static_cast<unsigned char>(upper - 'A') < 27;", "One-pass reduction keeps ["),
    ("compare/letters.cpp", "return inRange(upper, 'A', 'Z' + 1) == kHigh;", "return inRange(upper, 'A', 'Z' + 2) == kHigh;",
     "Word-at-a-time test takes [ for a letter"),
    ("compare/letters.cpp", "for (int32_t at = 0; at < last; at += 8) storeBoth(",
     "for (int32_t at = 8; at < last; at += 8) storeBoth(",
     "Word-at-a-time upper-casing skips the first word of a long name"),
    ("compare/levenshtein.cpp", "horizontalPlus = (horizontalPlus << 1) | 1;", "horizontalPlus <<= 1;",
     "Levenshtein: row 0 taken as all zeros"),
    ("compare/levenshtein.cpp", "const uint64_t diagonal = (((x & plus) + plus) ^ plus) | x;",
     "const uint64_t diagonal = ((x & plus) + plus) ^ plus;", "Levenshtein: the diagonal misses the matches"),
    ("compare/levenshtein.cpp", "if (n == 0) return m;", "if (n == 0) return n;",
     "Levenshtein: a name reduced to nothing gives 0"),
    ("compare/levenshtein.cpp", "if (length1 > MAX_LEVENSHTEIN_LENGTH || length2 > MAX_LEVENSHTEIN_LENGTH) return;",
     "if (length1 >= MAX_LEVENSHTEIN_LENGTH || length2 > MAX_LEVENSHTEIN_LENGTH) return;",
     "Levenshtein: a first name of 255 bytes refused"),
    ("compare/levenshtein.cpp", "if (differ) return i + equalBytesBefore(differ);",
     "if (differ) return i + equalBytesBefore(differ) + 1;", "Levenshtein: the common beginning one letter too long"),
    ("compare/levenshtein.cpp", "while (k < most && a[m - 1 - k] == b[n - 1 - k]) ++k;",
     "while (k < most && a[m - 1 - k] == b[n - 2 - k]) ++k;", "Levenshtein: the common ending compared one letter off"),
    ("compare/levenshtein.cpp", "if (patternLength <= 8 && kLittleEndian)", "if (patternLength <= 9 && kLittleEndian)",
     "Levenshtein: a pattern of nine letters taken as one word of eight"),
    ("phonetic/metaphone.cpp", "const uint32_t holds = p == AT_FIRST ? uint32_t{FIRST} : NOT_FIRST | placeFacts[p];",
     "const uint32_t holds = p == AT_FIRST ? uint32_t{FIRST} : NOT_FIRST;",
     "Metaphone: the table forgets the character before"),
    ("compare/guth_match.cpp", "{2, 3},   // after next of A, third on of B", "{3, 2},",
     "Guth match: the last probe turned round"),
    ("compare/guth_match.cpp", "        i += 2;\n        j += 3;", "        i += 2;\n        j += 2;",
     "Guth match: a mismatch steps B by two"),
    ("compare/predicates.cpp", "if (position < 1) return 0;", "if (position < 0) return 0;",
     "Consonant/vowel test reads the byte before the name at position 0"),
    ("compare/predicates.cpp", "return compared <= length && ", "return compared < length && ",
     "IsAbbrev: an abbreviation of exactly the length refused"),
    ("compare/predicates.cpp", "args[2].intValue >= 1) ? 1 : 0);", "args[2].intValue > 1) ? 1 : 0);",
     "IsVowel: the Y switch of 1 not taken"),
    ("extender/scratch_pool.cpp", "while (result->blockCount != 0) {", "while (result->blockCount > 1) {",
     "Scratch pool: the first block never released"),
    ("extender/scratch_pool.cpp", "if (result->blockCount >= MAX_SCRATCH_BLOCKS) {",
     "if (result->blockCount > MAX_SCRATCH_BLOCKS) {", "Scratch pool: a ninth block granted"),
    ("extender/host_value.h", "case 3: case 7: case 19: case 34: case 67:", "case 3: case 19: case 34: case 67:",
     "Type codes: 7 not normalised"),
    ("extender/dispatch.cpp", "setIntegerResult(result, countRows(2));", "setIntegerResult(result, countRows(3));",
     "ovExtenderInfo: mode 1 counts the wrong rows"),
    ("records/record_writer.cpp", "text[i] == ',' || text[i] == '\\r' || text[i] == '\\n';",
     "text[i] == ',' || text[i] == '\\n';", "CSV: a field holding a lone CR left unquoted"),
    ("records/record_reader.cpp", "        if (first.end != LineEnd::NONE) lastEnd_ = first.end;\n", "",
     "Records: a last record without a line end does not take the header's"),
    ("matching/levels.cpp", "const bool near = 10 * differ <= rule.tenths * of;",
     "const bool near = 10 * differ < rule.tenths * of;", "Word level: one edit in five letters only some"),
    ("matching/value_kinds.cpp", "x >> 48 == ((y >> 32) & 0xFFFF)) return ALIKE;",
     "x >> 48 == ((y >> 32) & 0xFFFF)) return CLOSE;",
     "Value level: a date's day and month swapped taken as a digit changed"),
    ("matching/candidates.cpp", "if (nameless(r)) continue;", "",
     "Copies: records without a name taken as copies of one another"),
    ("matching/model_fit.cpp", "const int kMostRounds = 20;", "const int kMostRounds = 1;",
     "link --best: m fitted in one round, not until it settles"),
    ("matching/candidates.cpp", "entries->push_back({kStartsKey | std::min(a, b) << 16 | std::max(a, b), r});",
     "entries->push_back({kStartsKey | a << 16 | b, r});", "Candidates: the starts key of a swapped name differs"),
    ("matching/candidates.cpp", "j < members.size() && j <= i + bounds.window;",
     "j < members.size() && j < i + bounds.window;", "Candidates: a sorted neighbourhood one record too narrow"),
    ("matching/candidates.cpp", "if (f.length >= 2 && f.code[0] != kNoWord)",
     "if (f.length >= 1 && f.code[0] != kNoWord)", "Candidates: an initial's code is a key"),
    ("matching/bounds.cpp", "return fa.first == fb.first ? SOME : DIFFERENT;",
     "return fa.first == fb.first ? CLOSE : DIFFERENT;",
     "Comparisons: an initial agrees closely with a name of its letter"),
    ("matching/compare.cpp", "(aWhole != kNoWord || bWhole != kNoWord)) {",
     "(aWhole != kNoWord && bWhole != kNoWord)) {",
     "Comparisons: a part of two words not compared as one with a single word"),
    ("matching/compare.cpp",
     "givenHolders = firstBetter ? s2Holders : g2Holders;\n"
     "            surnameHolders = firstBetter ? g2Holders : s2Holders;",
     "givenHolders = firstBetter ? g2Holders : s2Holders;\n"
     "            surnameHolders = firstBetter ? s2Holders : g2Holders;",
     "Comparisons: crosswise, each part weighed by the other's holders"),
    ("matching/compare.cpp", "(g2 == s2 && g2Holders < s2Holders)", "(g2 == s2 && g2Holders > s2Holders)",
     "Comparisons: crosswise, the commoner of two exact words counts as the surname"),
    ("matching/engine.cpp", "if (aTaken[c.x] || (oneToOne && bTaken[c.y - split])) continue;",
     "if (aTaken[c.x] || bTaken[c.y - split]) continue;", "link --best: a record of B goes to one record of A only"),
    ("cli/options.cpp", "    if (value.find_first_not_of(\"0123456789\") != std::string::npos) o.header = true;\n", "",
     "--truth NAME does not imply a header"),
    ("cli/people_settings.cpp", "settings->engine.threshold <= 1))", "settings->engine.threshold < 1))",
     "--threshold 1 refused"),
    ("matching/explain.cpp", "if (c == 1 && pair.crosswise)", "if (c == 0 && pair.crosswise)",
     "--explain: (crosswise) after the given name"),
]


def run(command, cwd, timeout=None):
    # (The transcripts' reports quote output that need not be UTF-8.)
    return subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          errors="replace", timeout=timeout)


def main(argv):
    keep = "--keep" in argv
    chosen = [int(a) for a in argv[1:] if a.isdigit()]
    source = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

    for number, (path, text, _, what) in enumerate(SLIPS, 1):
        with open(os.path.join(source, path), encoding="utf-8") as f:
            found = f.read().count(text)
        if found != 1:
            sys.exit(f"mutate: slip {number} ({what}): its text is found {found} times in {path}")

    work = tempfile.mkdtemp(prefix="ovrin-mutate-")
    try:
        files = run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], source).stdout.split("\0")
        for name in filter(None, files):
            target = os.path.join(work, name)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy2(os.path.join(source, name), target)
        build = os.path.join(work, "build")
        configured = run(["cmake", "-S", work, "-B", build, "-DCMAKE_BUILD_TYPE=Mutation", "-DCMAKE_CXX_FLAGS=-O1"],
                         work)
        if configured.returncode != 0:
            sys.exit("mutate: cmake failed\n" + configured.stdout)

        transcripts = sorted(glob.glob(os.path.join(work, "tests", "cli", "*.t")))

        def build_and_test():
            built = run(["cmake", "--build", build, "-j2", "--target", "ovrin_tests", "cli_unit_tests", "cli_tests",
                         "ovrin_command"], work)
            if built.returncode != 0:
                return None, built.stdout
            failed, rows = [], []
            try:
                for program in ("ovrin_tests", "cli_unit_tests"):
                    tested = run([os.path.join(build, program), "--gtest_brief=1"], build, timeout=600)
                    found = sorted(set(re.findall(r"^\[  FAILED  \] (\w+\.\w+)", tested.stdout, re.M)))
                    if tested.returncode != 0 and not found:
                        found = [f"{program} (exit status {tested.returncode})"]
                    failed += found
                    rows += re.findall(r"^FAIL (\S+:\d+):", tested.stdout, re.M)
                # The transcripts through the program, as the test cli_program runs them.
                tested = run([os.path.join(build, "cli_tests"), "--exec", os.path.join(build, "ovrin")] + transcripts,
                             build, timeout=600)
            except subprocess.TimeoutExpired:
                return ["(timed out)"], ""
            # The first failing test of each transcript file.
            found = []
            for path, line in re.findall(r"^FAIL (\S+\.t):(\d+):", tested.stdout, re.M):
                name = os.path.relpath(path, work)
                if not any(f.startswith(name + ":") for f in found):
                    found.append(f"{name}:{line}")
            if tested.returncode != 0 and not found:
                found = [f"cli_tests (exit status {tested.returncode})"]
            failed += found
            return failed, rows[0] if rows else ""

        failed, detail = build_and_test()
        if failed is None or failed:
            sys.exit("mutate: the unchanged tree does not pass its tests\n" + (detail or " ".join(failed)))

        caught = built = 0
        for number, (path, text, slip, what) in enumerate(SLIPS, 1):
            if chosen and number not in chosen:
                continue
            file = os.path.join(work, path)
            with open(file, encoding="utf-8") as f:
                original = f.read()
            with open(file, "w", encoding="utf-8") as f:
                f.write(original.replace(text, slip))
            try:
                failed, detail = build_and_test()
            finally:
                with open(file, "w", encoding="utf-8") as f:
                    f.write(original)
            if failed is None:
                print(f"{number:2}. {what}: does not build")
                continue
            built += 1
            if failed:
                caught += 1
                row = f" (first row: {detail})" if detail else ""
                print(f"{number:2}. {what}: caught by {', '.join(failed)}{row}", flush=True)
            else:
                print(f"{number:2}. {what}: LIVED", flush=True)
        print(f"score: {caught} of {built} slips caught")
    finally:
        if keep:
            print(f"scratch folder kept: {work}")
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main(sys.argv)
