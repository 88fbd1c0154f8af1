#!/usr/bin/python3
"""In-process figures: every case of the benchmark programs beside its floor ("<case>/floor"),
in wall time (Google Benchmark, median of repetitions) and in instructions (callgrind, the
same cases counted under valgrind, steady however busy the machine is). Prints Markdown.

Run by tools/bench.sh. `--counts` needs valgrind (tools/bench-packages.txt)."""
import argparse
import glob
import json
import os
import shutil
import subprocess
import sys
import tempfile

PROGRAMS = ("bench_paperfile", "bench_workbook", "bench_formats", "bench_platformimport",
            "bench_editing", "bench_print", "bench_longtexts")
COUNT_REPEAT = 3


def timings(bench_dir, repetitions, min_time):
    """{case: (median real time in µs, peak MiB, extra MiB)} of every case."""
    results = {}
    for program in PROGRAMS:
        output = subprocess.run(
            [os.path.join(bench_dir, program), "--benchmark_format=json",
             f"--benchmark_repetitions={repetitions}", "--benchmark_report_aggregates_only=true",
             f"--benchmark_min_time={min_time}"],
            check=True, capture_output=True, text=True).stdout
        for run in json.loads(output)["benchmarks"]:
            if run.get("aggregate_name") != "median" or run.get("error_occurred"):
                continue
            scale = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}[run["time_unit"]]
            results[run["run_name"]] = (run["real_time"] * scale, run.get("peak_rss_MiB"),
                                        run.get("extra_MiB"))
    return results


def counts(bench_dir):
    """{case: instructions of one run} from callgrind's dump after each case."""
    results = {}
    work = tempfile.mkdtemp(prefix="paperbench-counts-")
    for program in PROGRAMS:
        out = os.path.join(work, program)
        env = dict(os.environ, BENCH_COUNT=str(COUNT_REPEAT), QT_QPA_PLATFORM="offscreen")
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                        os.path.join(bench_dir, program)],
                       env=env, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for dump in glob.glob(out + ".*"):
            name, total = None, None
            with open(dump, errors="replace") as f:
                for line in f:
                    if line.startswith("desc: Trigger: Client Request: "):
                        name = line.split(": ", 3)[-1].strip()
                    elif line.startswith(("summary:", "totals:")):
                        total = int(line.split()[1])
            if name and total is not None:
                results[name] = total / COUNT_REPEAT
    shutil.rmtree(work, ignore_errors=True)
    return results


def fmt_us(us):
    if us >= 1000:
        return f"{us / 1000:.2f} ms"
    return f"{us:.1f} µs"


def fmt_count(n):
    if n >= 1e6:
        return f"{n / 1e6:.2f} M"
    return f"{n / 1e3:.1f} k"


def table(title, values, fmt, note):
    print(f"## {title}\n")
    print(note + "\n")
    print("| case | editor | floor | ratio |")
    print("| --- | --- | --- | --- |")
    for name, value in values.items():
        if name.endswith("/floor"):
            continue
        floor = values.get(name + "/floor")
        cells = fmt(value)
        if floor is None:
            print(f"| {name} | {cells} | | |")
        else:
            print(f"| {name} | {cells} | {fmt(floor)} | {value / floor:.1f} |")
    print()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench-dir", required=True)
    parser.add_argument("--repetitions", type=int, default=5)
    parser.add_argument("--min-time", default="0.2")
    parser.add_argument("--counts", action="store_true")
    args = parser.parse_args()
    print(f"Load average before the in-process runs: "
          f"{' '.join(f'{v:.2f}' for v in os.getloadavg())}\n")
    timed = timings(args.bench_dir, args.repetitions, args.min_time)
    table("In-process wall time", {k: v[0] for k, v in timed.items()}, fmt_us,
          f"Median of {args.repetitions} repetitions of Google Benchmark's runs (wall time of "
          "one run of the case); ratio = editor / floor.")
    print("Peak memory of the in-process cases (MiB; extra = beyond what was resident when "
          "the case began):\n")
    print("| case | peak MiB | extra MiB |")
    print("| --- | --- | --- |")
    for name, (_, peak, extra) in timed.items():
        if peak is not None and not name.endswith("/floor"):
            print(f"| {name} | {peak:.1f} | {extra if extra is None else f'{extra:.2f}'} |")
    print()
    if args.counts:
        if not shutil.which("valgrind"):
            print("Instruction counts skipped: valgrind is not installed.\n")
        else:
            counted = counts(args.bench_dir)
            ordered = {k: counted[k] for k in timed if k in counted}
            ordered.update({k: v for k, v in counted.items() if k not in ordered})
            table("In-process instructions (callgrind)", ordered, fmt_count,
                  "Instructions of one run of the case (mean of "
                  f"{COUNT_REPEAT} runs after a warm-up run), counted by callgrind: the same "
                  "on an idle or a busy machine. The .xls import's helper process is not "
                  "counted here (its time is in the wall-time table).")
    print(f"Load average after the in-process runs: "
          f"{' '.join(f'{v:.2f}' for v in os.getloadavg())}\n")


if __name__ == "__main__":
    sys.exit(main())
