#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints one table from the JSON outputs of the benchmarks: benchmark, now,
its bare baseline measured in the same run, ratio. Counters are read by
name, so a benchmark whose internals change keeps its row as long as it
keeps its counters' names.

Arguments: output prefixes; PREFIX.json is read for each, or, when the set
was run in rounds, PREFIX.r1.json, PREFIX.r2.json and so on. Of several
rounds a benchmark shows the round with the median ratio (or median figure),
and the ratios of all rounds beside it."""
import json
import os
import re
import statistics
import sys

# Counters a benchmark reports: (now, bare baseline, unit). A ratio counter,
# when a benchmark has one, is shown as it is; otherwise it is computed so
# that above 1 always means slower than the baseline.
PAIRS = [
    ("ray_steps_per_s", "bare_ray_steps_per_s", "rate"),
    ("window_run_s", "bare_run_s", "s"),
]
RATIOS = ["x_baseline", "window_over_bare", "bare_over_propagation"]
# Memory before time, and processor time before time on the clock: the
# ratios are of processor time, so that other work on a shared machine
# shows in neither.
NOW = [("peak_MB", "MB"), ("cpu_seconds", "s"), ("seconds", "s"), ("steps_per_s", "rate"),
       ("pixel_evals_per_s", "rate"), ("items_per_second", "rate"), ("ns_per_item", "ns")]


def number(v, digits=3):
    """A figure with three significant digits and a decimal comma."""
    if v == 0:
        return "0"
    text = f"{v:.{digits}g}"
    if "e" in text:
        text = f"{v:.0f}"
    return text.replace(".", ",")


def show(v, unit):
    if v is None:
        return "—"
    if unit == "rate":
        if v >= 1e6:
            return number(v / 1e6) + " M/s"
        return number(v) + " /s"
    if unit == "ns":
        return number(v / 1e9) + " s" if v >= 1e6 else number(v) + " ns"
    return number(v) + " " + unit


def row(b):
    name = b["name"]
    if b.get("error_occurred"):
        return [name, "failed: " + b.get("error_message", ""), "—", "—"]
    for now_name, bare_name, unit in PAIRS:
        if now_name in b and bare_name in b:
            now, bare = b[now_name], b[bare_name]
            ratio = next((b[r] for r in RATIOS if r in b), None)
            if ratio is None and now and bare:
                ratio = bare / now if unit == "rate" else now / bare
            return [name, show(now, unit), show(bare, unit), ratio_text(ratio)]
    ratio = next((b[r] for r in RATIOS if r in b), None)
    for now_name, unit in NOW:
        if now_name in b:
            now = b[now_name]
            bare = None
            if ratio:
                bare = now * ratio if unit == "rate" else now / ratio
            return [name, show(now, unit), show(bare, unit), ratio_text(ratio)]
    unit = b.get("time_unit", "ns")
    return [name, number(b["real_time"]) + " " + unit, "—", ratio_text(ratio)]


def ratio_text(r):
    return "—" if r is None else number(r) + "×"


def ratio_of(r):
    """The ratio a row shows, as a number (None when it has none)."""
    m = re.match(r"([0-9]+(?:,[0-9]+)?)×$", r[3])
    return float(m.group(1).replace(",", ".")) if m else None


def rounds_of(prefix):
    """The JSON files of a benchmark, one per round."""
    if os.path.exists(prefix + ".json"):
        return [prefix + ".json"]
    files = []
    while os.path.exists(f"{prefix}.r{len(files) + 1}.json"):
        files.append(f"{prefix}.r{len(files) + 1}.json")
    return files


def main():
    # Rows by benchmark name in the order first met, each with its rounds.
    runs = {}
    build_types = set()
    most_rounds = 1
    for prefix in sys.argv[1:]:
        files = rounds_of(prefix)
        if not files:
            runs.setdefault(prefix.rsplit("/", 1)[-1], []).append(
                [prefix.rsplit("/", 1)[-1], "no output", "—", "—"])
            continue
        most_rounds = max(most_rounds, len(files))
        for path in files:
            try:
                with open(path, encoding="utf-8") as f:
                    data = json.load(f)
            except (OSError, ValueError):
                runs.setdefault(prefix.rsplit("/", 1)[-1], []).append(
                    [prefix.rsplit("/", 1)[-1], "no output", "—", "—"])
                continue
            build_types.add(data.get("context", {}).get("build_type", "unknown"))
            for b in data.get("benchmarks", []):
                if b.get("run_type", "iteration") == "iteration":
                    runs.setdefault(b["name"], []).append(row(b))
    print("build type: " + ", ".join(sorted(build_types)))
    print("times: processor time of the measuring thread where a benchmark reports it")
    if most_rounds > 1:
        print(f"rounds: {most_rounds}; each row is the round with the median ratio")
    print()
    header = "| benchmark | now | bare baseline in the same run | ratio |"
    if most_rounds > 1:
        header += " ratio in each round |"
    print(header)
    print("|---|---|---|---|" + ("---|" if most_rounds > 1 else ""))
    for rows in runs.values():
        ratios = [ratio_of(r) for r in rows]
        shown = rows[0]
        if all(x is not None for x in ratios) and ratios:
            shown = rows[ratios.index(statistics.median_low(ratios))]
        cells = list(shown)
        if most_rounds > 1:
            cells.append(" / ".join(r[3] for r in rows))
        print("| " + " | ".join(cells) + " |")


if __name__ == "__main__":
    main()
