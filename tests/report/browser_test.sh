#!/bin/sh
# The --report page in a real browser (headless Chromium): it renders to a
# screenshot that is not blank, it holds no script, its rendered DOM holds the
# charts and the run's counts, and a record holding markup or a script
# shows as text. Skipped (77) where Chromium is not installed; the test
# command installs it (tools/setup.sh).
#   browser_test.sh OVRIN SOURCE_DIR OUT_DIR
set -u
ovrin=$1 src=$2 out=$3
chromium=$(command -v chromium || command -v chromium-browser) || {
  echo "browser_test: Chromium is not installed (tools/setup.sh installs it): skipped"
  exit 77
}
rm -rf "$out" && mkdir -p "$out"
failures=0
check() {  # WHAT COMMAND...: passes when COMMAND does
  what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
# A fresh profile for each run. Scripts stay on (Chromium dumps the DOM and
# takes the screenshot through them): a record's script would run, were it
# not shown as text. The page itself holds none, so it reads the same with
# scripts off.
runs=0
browser() {
  runs=$((runs + 1))
  timeout 120 "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
    --user-data-dir="$out/profile$runs" "$@" 2>/dev/null
}
# The count before WORD on the summary line of stderr ("15 matched").
count_before() { sed -n "s/.* \([0-9][0-9]*\) $2.*/\1/p" "$1" | head -n 1; }

# group, with the truth, on the sample people, run where the page goes (so
# that the page shows the command line as typed there).
cp "$src/data/sample_persons.csv" "$out/"
(cd "$out" && "$ovrin" group --csv --field given,surname --with dob --truth person --report group.html \
  sample_persons.csv >/dev/null 2>group.err)
check "group --report runs" test $? -eq 0
browser --dump-dom "file://$out/group.html" >"$out/group.dom"
for id in weights fields near group-sizes truth-curve summary; do
  check "the page shows #$id" grep -q "id=\"$id\"" "$out/group.dom"
done
matched=$(count_before "$out/group.err" matched)
candidates=$(count_before "$out/group.err" "candidate pairs")
check "the pairs above the threshold are the run's $matched" grep -q "data-above=\"$matched\"" "$out/group.dom"
check "the candidates are the run's $candidates" grep -q "<td id=\"candidates\">$candidates</td>" "$out/group.dom"
check "the bars of the histogram are drawn" test "$(grep -o '<rect class="bar"' "$out/group.dom" | wc -l)" -gt 3
browser --window-size=1000,1000 --screenshot="$out/report.png" "file://$out/group.html" >/dev/null
check "the page needs no script: it has none" sh -c "! grep -qi '<script' '$out/group.html'"
check "the screenshot is not blank" python3 "$src/tests/report/png_not_blank.py" "$out/report.png"

# link --best, and records that hold markup and a script.
"$ovrin" link --csv --best --field given,surname --with dob --report "$out/link.html" \
  "$src/data/sample_people_b.csv" "$src/data/sample_people.csv" >/dev/null 2>"$out/link.err"
check "link --report runs" test $? -eq 0
browser --dump-dom "file://$out/link.html" >"$out/link.dom"
written=$(count_before "$out/link.err" "pairs written")
check "the pairs written are the run's $written" grep -q "<td id=\"matched\">$written</td>" "$out/link.dom"
printf '%s\n' 'id,given,surname,dob' '1,<script>document.title="ran"</script>,Smith,1984-03-07' \
  '2,"Jo <img src=x onerror=alert(1)> & ""Co""",Smith,1984-03-07' '3,Anna,Smith,1984-03-07' >"$out/hostile.csv"
"$ovrin" group --csv --field given,surname --with dob --report "$out/hostile.html" "$out/hostile.csv" \
  >/dev/null 2>&1
browser --dump-dom "file://$out/hostile.html" >"$out/hostile.dom"
check "no script element comes from a record" sh -c "! grep -qi '<script' '$out/hostile.dom'"
check "no image element comes from a record" sh -c "! grep -qi '<img' '$out/hostile.dom'"
check "the script shows as text" grep -q '&lt;script&gt;document.title="ran"&lt;/script&gt;' "$out/hostile.dom"
check "the title is the page's own" grep -q '<title>ovrin group report</title>' "$out/hostile.dom"

echo "browser_test: $failures failed"
[ $failures -eq 0 ]
