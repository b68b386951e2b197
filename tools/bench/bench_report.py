"""The benchmark's figures and reports, from what scripts/bench.sh measured.

    python3 tools/bench/bench_report.py WORK --build ARCH NAME [--build ...]
        --md FILE --json FILE --rounds N --seconds S --pairs N --screen WxH
        --big-screen WxH [--saver FILE] [--wine VERSION] [--load-before LOAD]

For each build, WORK/ARCH/ holds what the script measured:
- program: one line a run of the whole program, "KIND SPEED ROUND
  cpu_program cpu_wineserver cpu_x fps rss heap" (CPU in % of one core over
  the measured time, memory in MB, "-" where not measured);
- big: runs of the same form on the big screen, for their memory;
- engine.md and engine.json: vorn-bench.exe's tables and figures.
Each figure is the median over the rounds, each comparison the median and
range of the per-round ratios (or differences, for memory). Quantiles are
interpolated between the sorted values, and every figure is kept to four
significant digits, as printed.
"""

import argparse
import datetime
import json
import os
import statistics

FIELDS = ("cpu_program", "cpu_wineserver", "cpu_x", "fps", "rss", "heap")
KINDS = ("saver", "floor", "host", "calls")
SPEEDS = ("defaults", "speed0")


def read_runs(path):
    """{(kind, speed, round): {field: number or None}}, with cpu_total."""
    runs = {}
    with open(path) as lines:
        for line in lines:
            words = line.split()
            if not words:
                continue
            kind, speed, round_ = words[:3]
            run = {f: None if w == "-" else float(w) for f, w in zip(FIELDS, words[3:])}
            run["cpu_total"] = run["cpu_program"] + run["cpu_wineserver"] + run["cpu_x"]
            runs[kind, speed, round_] = run
    return runs


def four_digits(x):
    return float(f"{x:.4g}")


def stats(values):
    """Median, quartiles, range and count, to four significant digits."""
    v = sorted(values)
    if not v:
        return {"median": 0, "q1": 0, "q3": 0, "min": 0, "max": 0, "n": 0}
    q1, median, q3 = statistics.quantiles(v, n=4, method="inclusive") if len(v) > 1 else v * 3
    figures = {"median": median, "q1": q1, "q3": q3, "min": v[0], "max": v[-1]}
    return {**{k: four_digits(x) for k, x in figures.items()}, "n": len(v)}


def column(runs, kind, speed, field):
    """FIELD of one program over the rounds."""
    return [r[field] for (k, s, _), r in runs.items()
            if k == kind and s == speed and r[field] is not None]


def paired(runs, speed, a, b, field, difference=False):
    """Per round, A's FIELD over B's (or minus B's); a zero B is left out."""
    values = []
    for (k, s, round_), run in runs.items():
        other = runs.get((b, s, round_))
        if k != a or s != speed or other is None:
            continue
        x, y = run[field], other[field]
        if x is None or y is None or (not difference and y == 0):
            continue
        values.append(x - y if difference else x / y)
    return values


def spread(values, digits=2):
    """The figure as the tables show it: "median (min–max)"."""
    s = stats(values)
    return f"{s['median']:.{digits}f} ({s['min']:.{digits}f}–{s['max']:.{digits}f})"


def target_mark(values, at_most=None, at_least=None):
    median = stats(values)["median"]
    met = median <= at_most if at_most is not None else median >= at_least
    return "met" if met else "**missed**"


def spaced(size):
    return size.replace("x", " x ")


def program_markdown(runs, name, args):
    def col(kind, field, speed="defaults", digits=2):
        return spread(column(runs, kind, speed, field), digits)

    def ratio(a, b, field, speed="defaults", digits=2):
        return spread(paired(runs, speed, a, b, field), digits)

    def row(*cells):
        return "| " + " | ".join(cells) + " |"

    cpu = paired(runs, "defaults", "saver", "floor", "cpu_total")
    fps = paired(runs, "defaults", "host", "floor", "fps")
    rss = paired(runs, "defaults", "saver", "floor", "rss", difference=True)
    all_cpu = "CPU, % of one core: program + Wine server + X server"
    parts = (("cpu_program", "program"), ("cpu_wineserver", "Wine server"), ("cpu_x", "X server"))
    return [
        "",
        f"#### Whole program, {name} build, {spaced(args.screen)} screen:"
        f" {args.rounds} rounds of {args.seconds}-second runs",
        "",
        "Medians over the rounds; Vorn ÷ floor: median (min–max) of the per-round ratios.",
        "",
        "| Default settings | Vorn | Floor | Vorn ÷ floor | Target | |",
        "|---|---:|---:|---:|---:|---|",
        row(all_cpu, col("saver", "cpu_total"), col("floor", "cpu_total"), spread(cpu), "≤ 1.2",
            target_mark(cpu, at_most=1.2)),
        *(row(f"… {label}", col("saver", field), col("floor", field),
              ratio("saver", "floor", field)) + " | |" for field, label in parts),
        row("Frames per second (Vorn counted by the bench host)", col("host", "fps"),
            col("floor", "fps"), spread(fps, 3), "≥ 0.95", target_mark(fps, at_least=0.95)),
        row("Resident memory, MB (Vorn − floor)", col("saver", "rss", digits=1),
            col("floor", "rss", digits=1), "+" + spread(rss, 1), "≤ +8",
            target_mark(rss, at_most=8)),
        row("… of which the C heap of Wine's Unix side", col("saver", "heap", digits=1),
            col("floor", "heap", digits=1)) + " | | |",
        "",
        "The floor making the calls that the saver's frame cycle requires on top of its own"
        " (the calendar time read, the surface selected into its memory DC and out again"
        " around the copy), beside the floor and beside Vorn:",
        "",
        "| Default settings | Floor + calls | ÷ floor | Vorn ÷ floor + calls |",
        "|---|---:|---:|---:|",
        row(all_cpu, col("calls", "cpu_total"), ratio("calls", "floor", "cpu_total"),
            ratio("saver", "calls", "cpu_total")),
        row("… program", col("calls", "cpu_program"), ratio("calls", "floor", "cpu_program"),
            ratio("saver", "calls", "cpu_program")),
        row("Frames per second", col("calls", "fps"), ratio("calls", "floor", "fps", digits=3),
            ratio("host", "calls", "fps", digits=3)),
        "",
        "| Speed 0 (the floor sleeps 0 ms) | Vorn | Floor | Vorn ÷ floor |",
        "|---|---:|---:|---:|",
        row(all_cpu, col("saver", "cpu_total", "speed0"), col("floor", "cpu_total", "speed0"),
            ratio("saver", "floor", "cpu_total", "speed0")),
        row("Frames per second", col("host", "fps", "speed0", 0), col("floor", "fps", "speed0", 0),
            ratio("host", "floor", "fps", "speed0", 3)),
    ]


def program_json(runs):
    json_fields = {"cpu_total_pct": "cpu_total", "cpu_program_pct": "cpu_program",
                   "cpu_wineserver_pct": "cpu_wineserver", "cpu_x_pct": "cpu_x", "fps": "fps",
                   "rss_mb": "rss", "heap_mb": "heap"}
    program = {}
    for speed in SPEEDS:
        program[speed] = {
            "cpu_ratio": stats(paired(runs, speed, "saver", "floor", "cpu_total")),
            "fps_ratio": stats(paired(runs, speed, "host", "floor", "fps")),
            "rss_extra_mb": stats(paired(runs, speed, "saver", "floor", "rss", True)),
            "cpu_ratio_to_calls": stats(paired(runs, speed, "saver", "calls", "cpu_total")),
        }
        for kind in KINDS:
            program[speed][kind] = {name: stats(column(runs, kind, speed, field))
                                    for name, field in json_fields.items()}
    return program


def megabytes(runs, kind, field):
    """One run's memory on the big screen, as measured (None where it was not)."""
    return next((r[field] for (k, _, _), r in runs.items() if k == kind), None)


def mb_text(value):
    return "-" if value is None else f"{value:.1f}"


def machine(args, now):
    with open("/proc/cpuinfo") as info:
        cpu = next((line.split(": ", 1)[1].strip() for line in info
                    if line.startswith("model name")), "")
    with open("/proc/loadavg") as load:
        load_after = " ".join(load.read().split()[:3])
    return {"cpu": cpu, "cores": len(os.sched_getaffinity(0)), "kernel": os.uname().release,
            "wine": args.wine, "load_before": args.load_before, "load_after": load_after,
            "date": now.strftime("%Y-%m-%dT%H:%MZ")}


def main():
    parser = argparse.ArgumentParser(description="The benchmark's report.")
    parser.add_argument("work")
    parser.add_argument("--build", nargs=2, action="append", metavar=("ARCH", "NAME"),
                        required=True)
    parser.add_argument("--md", required=True)
    parser.add_argument("--json", required=True)
    parser.add_argument("--rounds", type=int, required=True)
    parser.add_argument("--seconds", type=int, required=True)
    parser.add_argument("--pairs", type=int, required=True)
    parser.add_argument("--screen", required=True)
    parser.add_argument("--big-screen", required=True)
    parser.add_argument("--saver", default="")
    parser.add_argument("--wine", default="")
    parser.add_argument("--load-before", default="")
    args = parser.parse_args()

    now = datetime.datetime.now(datetime.timezone.utc)
    box = machine(args, now)
    md = [
        f"Measured by `scripts/bench.sh --rounds {args.rounds} --seconds {args.seconds}"
        f" --pairs {args.pairs}` on {now:%Y-%m-%d}:",
        f"{box['cpu']}, {box['cores']} cores, Linux {box['kernel']}, {args.wine}, Xvfb;",
        f"load average {args.load_before} at the start.",
    ]
    if args.saver:
        md.append(f"Vorn: {args.saver} (frames per second: the bench host of these sources).")
    builds = []
    for arch, name in args.build:
        folder = os.path.join(args.work, arch)
        runs = read_runs(os.path.join(folder, "program"))
        big = read_runs(os.path.join(folder, "big"))
        big_rss = {kind: megabytes(big, kind, "rss") for kind in ("saver", "floor")}
        big_heap = {kind: megabytes(big, kind, "heap") for kind in ("saver", "floor")}
        with open(os.path.join(folder, "engine.md")) as engine_md:
            engine_text = engine_md.read()
        with open(os.path.join(folder, "engine.json")) as engine_json:
            engine = json.load(engine_json)
        md += program_markdown(runs, name, args)
        md += [
            "",
            f"Resident memory on the {spaced(args.big_screen)} screen:"
            f" Vorn {mb_text(big_rss['saver'])} MB, floor {mb_text(big_rss['floor'])} MB"
            f" (C heap {mb_text(big_heap['saver'])} and {mb_text(big_heap['floor'])} MB).",
            "",
            f"#### Engine, {name} build",
            "",
        ]
        md.append(engine_text.rstrip("\n"))
        builds.append({
            "arch": arch, "screen": args.screen, "rounds": args.rounds,
            "seconds": args.seconds, "program": program_json(runs),
            "big_screen": {"screen": args.big_screen, "saver_rss_mb": big_rss["saver"],
                           "floor_rss_mb": big_rss["floor"]},
            "engine": engine,
        })

    with open(args.md, "w") as out:
        out.write("\n".join(md) + "\n")
    with open(args.json, "w") as out:
        json.dump({"machine": box, "saver": args.saver or "Vorn.scr of the build",
                   "builds": builds}, out, indent=1, ensure_ascii=False)
        out.write("\n")


if __name__ == "__main__":
    main()
