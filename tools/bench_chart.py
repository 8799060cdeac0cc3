#!/usr/bin/env python3
"""Turns the outputs of the two benchmarks into the Speed table and chart.

    tools/bench_chart.py NATIVE_OUTPUT DLL_OUTPUT [--svg FILE] [--readme FILE]
    tools/bench_chart.py --peers NATIVE_OUTPUT PHP_OUTPUT [--readme FILE]

Each output file holds one or more runs of its benchmark (bench_functions
natively, bench_dll.exe through ovrin.dll under Wine); each run ends in a
table of "function ns/call x-floor" lines. Per function, the figures shown
are the medians over the runs: of the ns per call, and of the ratio to the
floor measured in the same run. The markdown table goes to stdout, or
between the speed-table markers of bench/README.md; the SVG chart shows ns per
call on a logarithmic scale, native and DLL side by side. Standard library
only.

With --peers, the table of the functions beside their fastest peers:
ovSoundex and ovMetaphone beside PHP's built-in soundex() and metaphone()
(bench/peers.php, whose runs follow the native runs one for one), and
ovLevenshtein beside the plain bit-parallel routine of the native
benchmark. The ratio ours / peer is taken within each run, then the median
over the runs. Beside PHP each side is net of its own loop: PHP's figure
less its loop of assignments, ours less the host's own pass (the "host"
row: the argument copied in, the callback copying a result out, no
library call), so that what is compared is the function and its call.
The C++ peer does the host's copies itself and is compared whole.
"""

import math
import re
import statistics
import sys

ROW = re.compile(r"^(floor|host|ov\w+|peer\w+)\s+([0-9.]+)\s+([0-9.]+)\s*$")
PHP_ROW = re.compile(r"^php_(\w+) ([0-9.]+)(?: ([0-9.-]+))?\s*$")
SERVICES = re.compile(r"^GlobalAlloc\+GlobalFree ([0-9.]+), CharUpperA ([0-9.]+), lstrcmpA ([0-9.]+), LoadStringA ([0-9.]+)")
BEGIN = "<!-- speed table: tools/bench.sh writes it -->"
END = "<!-- end of speed table -->"
PEERS_BEGIN = "<!-- peers table: tools/bench.sh writes it -->"
PEERS_END = "<!-- end of peers table -->"

# ours / peer each function is held to, and the peer beside it: a PHP
# function, or a row of the native benchmark.
PEER_TARGET = 0.8
PEERS = [
    ("ovSoundex", "php", "soundex", "PHP `soundex()`"),
    ("ovMetaphone", "php", "metaphone", "PHP `metaphone($name, 4)`"),
    ("ovLevenshtein", "native", "peerLevenshtein", "plain bit-parallel C++ (`bench/peer_levenshtein.cpp`)"),
]

# The ratio to the floor each function is held to natively.
TARGETS = {
    "ovExtenderInfo": 1.5, "ovSoundex": 2.0, "ovMetaphone": 3.5, "ovPhonex": 3.0, "ovGuthMatch": 3.0,
    "ovLevenshtein": 3.5, "ovDoubleMetaphone": 10.0, "ovIsAbbrev": 1.5, "ovIsConsonant": 1.5, "ovIsVowel": 1.5,
}


def read_runs(path):
    """The runs of one output: a list of {function: (ns, ratio)}, in order."""
    runs, current, services = [], None, []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("function") and "ns/call" in line:
                current = {}
                runs.append(current)
                continue
            match = ROW.match(line)
            if match and current is not None:
                current[match.group(1)] = (float(match.group(2)), float(match.group(3)))
                continue
            match = SERVICES.match(line)
            if match:
                services.append([float(value) for value in match.groups()])
    runs = [run for run in runs if "floor" in run]
    if not runs:
        sys.exit(f"bench_chart: no benchmark table in {path}")
    return runs, services


def read_php_runs(path):
    """The runs of bench/peers.php: a list of {function: (ns, net)}, and its header line."""
    runs, header = [], ""
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("# run"):
                runs.append({})
            elif line.startswith("# ") and "PHP" in line:
                header = line[2:].strip()
            match = PHP_ROW.match(line)
            if match and runs:
                net = float(match.group(3)) if match.group(3) else float(match.group(2))
                runs[-1][match.group(1)] = (float(match.group(2)), net)
    runs = [run for run in runs if run]
    if not runs:
        sys.exit(f"bench_chart: no PHP figures in {path}")
    return runs, header


def peers_table(native_runs, php_runs, php_header):
    lines = [
        "| function | ns/call | net of the host | peer | peer ns/call | peer net | ours / peer | target |",
        "|---|---:|---:|---|---:|---:|---:|---:|",
    ]
    for function, source, peer, label in PEERS:
        ours, ours_net, theirs, theirs_net, ratios = [], [], [], [], []
        for index, run in enumerate(native_runs):
            if function not in run:
                continue
            if source == "php":
                if index >= len(php_runs) or peer not in php_runs[index] or "host" not in run:
                    continue
                peer_ns, peer_net = php_runs[index][peer]
                net = run[function][0] - run["host"][0]
            elif peer in run:
                peer_ns = peer_net = run[peer][0]
                net = run[function][0]
            else:
                continue
            ours.append(run[function][0])
            ours_net.append(net)
            theirs.append(peer_ns)
            theirs_net.append(peer_net)
            ratios.append(net / peer_net)
        if not ratios:
            continue
        ratio = statistics.median(ratios)
        met = "met" if ratio <= PEER_TARGET else "missed"
        whole = source != "php"
        lines.append(f"| {function} | {statistics.median(ours):.1f} | "
                     f"{'(whole)' if whole else f'{statistics.median(ours_net):.1f}'} | {label} | "
                     f"{statistics.median(theirs):.1f} | "
                     f"{'(whole)' if whole else f'{statistics.median(theirs_net):.1f}'} | "
                     f"{ratio:.3f} | <= {PEER_TARGET:g} {met} |")
    lines.append("")
    lines.append(f"Medians over {len(native_runs)} runs; in each run the native benchmark and then the PHP script, "
                 f"and the ratio taken within the run, net against net beside PHP (ours less the host's own "
                 f"pass, PHP's less its loop), whole against whole beside the C++ routine. PHP: {php_header}.")
    return "\n".join(lines)


def replace_between(path, begin, end, text):
    with open(path, encoding="utf-8") as src:
        readme = src.read()
    if begin not in readme or end not in readme:
        sys.exit(f"bench_chart: {path} has no markers {begin}")
    head, rest = readme.split(begin, 1)
    _, tail = rest.split(end, 1)
    with open(path, "w", encoding="utf-8") as out:
        out.write(f"{head}{begin}\n{text}\n{end}{tail}")


def medians(runs):
    """function -> (median ns, median ratio), in the order of the first run."""
    result = {}
    for function in runs[0]:
        ns = [run[function][0] for run in runs if function in run]
        ratios = [run[function][1] for run in runs if function in run]
        result[function] = (statistics.median(ns), statistics.median(ratios))
    return result


def table(native, dll, native_runs, dll_runs):
    lines = [
        f"| function | native ns/call | native x floor | target | DLL ns/call | DLL x floor | DLL / native |",
        "|---|---:|---:|---:|---:|---:|---:|",
    ]
    for function, (ns, ratio) in native.items():
        if function.startswith("peer"):
            continue
        target = TARGETS.get(function)
        met = "" if target is None else (f"<= {target:g} " + ("met" if ratio <= target else "missed"))
        dll_ns, dll_ratio = dll.get(function, (float("nan"), float("nan")))
        lines.append(f"| {function} | {ns:.1f} | {ratio:.2f} | {met} | {dll_ns:.1f} | {dll_ratio:.2f} | "
                     f"{dll_ns / ns:.1f} |")
    lines.append("")
    lines.append(f"Medians over {native_runs} native and {dll_runs} DLL runs, each itself the median of five "
                 "repetitions over the 38,501 names of `data/names.txt`.")
    return "\n".join(lines)


def svg(native, dll):
    functions = [function for function in native if not function.startswith("peer")]
    width, left, right, top, row, bar = 760, 150, 70, 46, 30, 11
    height = top + row * len(functions) + 40
    lo, hi = 5.0, 10 ** math.ceil(math.log10(max(max(v[0] for v in native.values()),
                                                  max(v[0] for v in dll.values()))))
    span = width - left - right

    def x(value):
        return left + span * (math.log10(max(value, lo)) - math.log10(lo)) / (math.log10(hi) - math.log10(lo))

    out = [
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
        f'viewBox="0 0 {width} {height}" font-family="sans-serif" font-size="12">',
        f'<rect width="{width}" height="{height}" fill="white"/>',
        f'<text x="{left}" y="18" font-size="14" font-weight="bold">ns per call (log scale), '
        f'median over the runs</text>',
        f'<rect x="{left}" y="26" width="12" height="10" fill="#2b6cb0"/>'
        f'<text x="{left + 16}" y="35">native (Linux, in-process)</text>',
        f'<rect x="{left + 200}" y="26" width="12" height="10" fill="#dd6b20"/>'
        f'<text x="{left + 216}" y="35">ovrin.dll under Wine</text>',
    ]
    decade = lo
    while decade <= hi:
        for step in (1, 2, 5):
            value = decade * step
            if lo <= value <= hi:
                gx = x(value)
                out.append(f'<line x1="{gx:.1f}" y1="{top - 4}" x2="{gx:.1f}" y2="{height - 34}" '
                           f'stroke="#ddd"/>')
                out.append(f'<text x="{gx:.1f}" y="{height - 20}" text-anchor="middle" '
                           f'fill="#555">{value:g}</text>')
        decade *= 10
    for index, function in enumerate(functions):
        y = top + index * row
        out.append(f'<text x="{left - 8}" y="{y + bar + 4}" text-anchor="end">{function}</text>')
        for offset, (values, colour) in enumerate(((native, "#2b6cb0"), (dll, "#dd6b20"))):
            if function not in values:
                continue
            ns = values[function][0]
            by = y + offset * (bar + 1)
            out.append(f'<rect x="{left}" y="{by}" width="{x(ns) - left:.1f}" height="{bar}" fill="{colour}"/>')
            out.append(f'<text x="{x(ns) + 4:.1f}" y="{by + bar - 1}" font-size="10">{ns:.0f}</text>')
    out.append("</svg>")
    return "\n".join(out) + "\n"


def main(argv):
    args, svg_path, readme_path, peers = [], None, None, False
    i = 1
    while i < len(argv):
        if argv[i] == "--peers":
            peers = True
            i += 1
        elif argv[i] == "--svg" and i + 1 < len(argv):
            svg_path = argv[i + 1]
            i += 2
        elif argv[i] == "--readme" and i + 1 < len(argv):
            readme_path = argv[i + 1]
            i += 2
        else:
            args.append(argv[i])
            i += 1
    if len(args) != 2:
        sys.exit(__doc__)
    if peers:
        native_runs, _ = read_runs(args[0])
        php_runs, php_header = read_php_runs(args[1])
        text = peers_table(native_runs, php_runs, php_header)
        if readme_path:
            replace_between(readme_path, PEERS_BEGIN, PEERS_END, text)
        else:
            print(text)
        return
    native_runs, _ = read_runs(args[0])
    dll_runs, services = read_runs(args[1])
    native, dll = medians(native_runs), medians(dll_runs)
    text = table(native, dll, len(native_runs), len(dll_runs))
    if services:
        alloc, upper, compare, load = (statistics.median(column) for column in zip(*services))
        text += (f"\n\nThe Windows services as Wine runs them (ns per call, same names): GlobalAlloc and GlobalFree "
                 f"{alloc:.0f}, CharUpperA {upper:.0f}, lstrcmpA {compare:.0f}, LoadStringA {load:.0f}.")
    if svg_path:
        with open(svg_path, "w", encoding="utf-8") as out:
            out.write(svg(native, dll))
    if readme_path:
        replace_between(readme_path, BEGIN, END, text)
    else:
        print(text)


if __name__ == "__main__":
    main(sys.argv)
