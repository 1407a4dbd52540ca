#!/usr/bin/python3
"""Draws every library/peer ratio of the benchmark programs' JSON output
(--benchmark_format=json or --benchmark_out) as one bar chart in SVG.

    plot-benchmarks.py <chart.svg> <results.json>...

A ratio is the peer's time over the library's on the same input (the part of the
benchmark name after the function), so a bar above 1 is where the library leads.
Repeated runs count by their median. Every ratio is printed as well, one per line."""
import json
import sys

# Library benchmark -> the peers it runs beside, by function name.
PAIRS = {
    "Library": ["Icu", "Iconv"],
    "ValidateUtf8": ["IcuToUCharsStop", "IcuU8Next", "IconvToUtf16"],
    "IniLoadFile": ["InihParseFile", "InihParseFileIntoMaps"],
    "IniLoadFromCString": ["InihParseString"],
    "PoolAllocateB": ["PmrMonotonic", "MallocFree"],
    "PoolAllocateUnlimited": ["PmrMonotonic", "MallocFree"],
    "BM_QelSignature": ["BM_OpenSslMD5", "BM_OpenSslEvpMD5"],
    "horspool": ["memmem", "strstr"],
    "wildcardMatch": ["fnmatch"],
    "TraceIntoRing": ["SpdlogSyncNullSink", "SpdlogAsyncNullSink"],
    "TraceAutosaveToTmpfs": ["SpdlogSyncNullSink", "SpdlogAsyncNullSink"],
}
NANOSECONDS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def times(paths):
    """function -> input -> CPU time in nanoseconds (the machine may be shared)."""
    result = {}
    for path in paths:
        with open(path) as file:
            runs = json.load(file)["benchmarks"]
        for run in runs:
            # A median follows its repetitions and so takes their place.
            if run.get("run_type") == "aggregate" and run.get("aggregate_name") != "median":
                continue
            function, _, case = run.get("run_name", run["name"]).partition("/")
            result.setdefault(function, {})[case] = run["cpu_time"] * NANOSECONDS[run["time_unit"]]
    return result


def ratios(timed):
    """(label, ratio) for every library benchmark and peer measured on the same input."""
    rows = []
    for library, peers in PAIRS.items():
        for case, own in timed.get(library, {}).items():
            for peer in peers:
                other = timed.get(peer, {}).get(case)
                if other is not None and own > 0:
                    label = f"{library} vs {peer}" + (f" ({case})" if case else "")
                    rows.append((label, other / own))
    return rows


def draw(rows, output):
    import matplotlib
    matplotlib.use("Agg")
    matplotlib.rcParams["svg.hashsalt"] = "vrnqel43"  # the same chart for the same data
    import matplotlib.pyplot as plt

    figure, axes = plt.subplots(figsize=(9, 0.28 * len(rows) + 1.2))
    labels = [label for label, _ in rows]
    values = [value for _, value in rows]
    colours = ["#2e7d32" if value >= 1 else "#c62828" for value in values]
    axes.barh(range(len(rows)), values, color=colours)
    axes.set_yticks(range(len(rows)), labels, fontsize=7)
    axes.invert_yaxis()
    axes.set_xscale("log")
    axes.axvline(1, color="black", linewidth=0.8)
    axes.set_xlabel("peer time / library time (above 1: the library is faster)")
    for row, value in enumerate(values):
        axes.text(value, row, f" {value:.2f}", va="center", fontsize=6)
    figure.tight_layout()
    figure.savefig(output, format="svg", metadata={"Date": None})


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: plot-benchmarks.py <chart.svg> <results.json>...")
    rows = ratios(times(sys.argv[2:]))
    if not rows:
        sys.exit("plot-benchmarks: no library benchmark ran beside its peer")
    draw(rows, sys.argv[1])
    for label, value in rows:
        print(f"{value:6.2f}  {label}")


if __name__ == "__main__":
    main()
