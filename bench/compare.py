#!/usr/bin/python3
"""Whole-process figures, side by side in one run: paperconv against the peers that do
the same conversion, the editor's start-up to its first painted window against a bare
Qt window, the editor's peak memory with a full paper, and refusing a 1 GB file.

Run by tools/bench.sh (which installs the peers and starts a virtual X screen); prints
Markdown tables. Times are medians of repeated runs of whole processes (wall clock, from
just before the process is started until it has exited, or until its first paint);
memory is the peak resident set of each process as the kernel counts it (wait4)."""
import argparse
import csv
import os
import platform
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SIZES = (1, 50, 250)
RUN_MEASURED = None  # set from --bin


def text(length, seed):
    """The same texts as bench/BenchPaper.h: quotes, commas, accents, CJK, line breaks."""
    pieces = ['Which, of "these" ', "été ça ", "中文题目 ", "line\r\nbreak "]
    result = ""
    while len(result) < length:
        result += pieces[(seed + len(result)) % 4]
    return result[:length]


def write_paper(path, questions):
    header = ["Question NO", "Mark", "Answer", "Question Title", "Time Limit",
              "Option A", "Option B", "Option C", "Option D", "Option E", "Option F"]
    with open(path, "w", newline="", encoding="utf-8") as out:
        writer = csv.writer(out, lineterminator="\r\n")
        writer.writerow(header)
        for k in range(1, questions + 1):
            writer.writerow([k, k % 251, "ACE", text(250, k), 15]
                            + [text(100, k + i) for i in range(6)])


class Run:
    def __init__(self, seconds, peak_kib, code, error, cpu=0.0):
        self.seconds, self.peak_kib, self.code, self.error = seconds, peak_kib, code, error
        self.cpu = cpu


def run_once(command, env=None, cwd=None):
    """One run through bench/run_measured (see there why not directly)."""
    with tempfile.TemporaryFile() as errors:
        result = subprocess.run([RUN_MEASURED] + command, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=errors, env=env, cwd=cwd,
                                check=True)
        seconds, peak_kib, code, cpu = result.stdout.split()
        errors.seek(0)
        return Run(float(seconds), int(peak_kib), int(code),
                   errors.read().decode(errors="replace")[-400:], float(cpu))


def measure(command, repeat, check=None, env=None, cwd=None, prepare=None):
    """Median wall seconds, peak KiB and processor seconds of `repeat` runs after one
    warm-up run; None when the command fails or `check` refuses its result."""
    runs = []
    for i in range(repeat + 1):
        if prepare:
            prepare()
        run = run_once(command, env=env, cwd=cwd)
        if run.code != 0 or (check and not check()):
            print(f"  failed: {' '.join(command)}: exit {run.code} {run.error.strip()}",
                  file=sys.stderr)
            return None
        if i > 0:
            runs.append(run)
    return (statistics.median(r.seconds for r in runs),
            statistics.median(r.peak_kib for r in runs),
            statistics.median(r.cpu for r in runs))


def exists(path):
    return lambda: os.path.exists(path) and os.path.getsize(path) > 0


def remove(path):
    return lambda: os.path.exists(path) and os.remove(path)


def ms(seconds):
    return f"{seconds * 1000:.1f}"


def mib(kib):
    return f"{kib / 1024:.1f}"


class Bench:
    def __init__(self, args):
        self.bin = args.bin
        self.repeat = args.repeat
        self.work = tempfile.mkdtemp(prefix="paperbench-")
        self.python = "/usr/bin/python3"  # Debian's modules live with Debian's python
        self.profile = os.path.join(self.work, "lo-profile")
        self.soffice = shutil.which("soffice")
        self.ssconvert = shutil.which("ssconvert")

    def path(self, name):
        return os.path.join(self.work, name)

    def paperconv(self):
        return os.path.join(self.bin, "paperconv")

    def inputs(self):
        for n in SIZES:
            raw = self.path(f"raw-{n}.csv")
            write_paper(raw, n)
            for ext in ("csv", "xlsx", "xls"):
                # The editor's own files: written by paperconv from the raw text.
                subprocess.run([self.paperconv(), raw, self.path(f"paper-{n}.{ext}")], check=True)

    # Each peer: (name, command for IN OUT, repeats factor). None when not installed.
    def peers(self, source, target):
        py = lambda script: [self.python, os.path.join(HERE, "peers", script)]
        table = {
            ("csv", "xlsx"): [("python3-xlsxwriter", py("csv_to_xlsx_xlsxwriter.py")),
                              ("python3-openpyxl", py("csv_to_xlsx_openpyxl.py"))],
            ("csv", "xls"): [("python3-xlwt", py("csv_to_xls_xlwt.py"))],
            ("xlsx", "csv"): [("python3-openpyxl", py("xlsx_to_csv_openpyxl.py"))],
            ("xls", "csv"): [("python3-xlrd", py("xls_to_csv_xlrd.py"))],
        }[(source, target)]
        return table

    def ssconvert_command(self, source, target, inp, out):
        exporter = {"xlsx": "Gnumeric_Excel:xlsx2", "xls": "Gnumeric_Excel:excel_biff8",
                    "csv": "Gnumeric_stf:stf_csv"}[target]
        return [self.ssconvert, "-T", exporter, inp, out]

    def soffice_command(self, source, target, inp, outdir):
        convert = {"xlsx": "xlsx", "xls": "xls",
                   "csv": "csv:Text - txt - csv (StarCalc):44,34,76,1"}[target]
        command = [self.soffice, "--headless", "--norestore", "--nolockcheck",
                   f"-env:UserInstallation=file://{self.profile}"]
        if source == "csv":
            command.append("--infilter=CSV:44,34,76,1")
        return command + ["--convert-to", convert, "--outdir", outdir, inp]

    def conversions(self):
        # A program that only starts Qt Core: no Qt program's conversion can take less.
        qt_floor = measure([os.path.join(self.bin, "..", "bench", "bench_qtcore_start")],
                           self.repeat)
        print("## Whole-process conversions\n")
        print("Each cell: median wall time ms / processor time ms (peak MiB) of whole "
              "processes. Ratio = the fastest peer's time / paperconv's, in wall time and "
              "in processor time (the steadier of the two on a busy machine). Qt floor "
              "ratio = the fastest peer's wall time / that of a program that only starts "
              "Qt Core: the best ratio any Qt program could reach.\n")
        print("| conversion | questions | paperconv | peers | fastest peer (wall) "
              "| ratio wall | ratio CPU | Qt floor ratio |")
        print("| --- | --- | --- | --- | --- | --- | --- | --- |")
        for source, target in (("csv", "xlsx"), ("csv", "xls"), ("xlsx", "csv"), ("xls", "csv")):
            for n in SIZES:
                inp = self.path(f"paper-{n}.{source}")
                out = self.path(f"out-{n}.{target}")
                ours = measure([self.paperconv(), inp, out], self.repeat, exists(out),
                               prepare=remove(out))
                peers = []
                for name, command in self.peers(source, target):
                    peers.append((name, measure(command + [inp, out], max(3, self.repeat // 3),
                                                exists(out), prepare=remove(out))))
                if self.ssconvert:
                    peers.append(("gnumeric ssconvert", measure(
                        self.ssconvert_command(source, target, inp, out),
                        max(3, self.repeat // 5), exists(out), prepare=remove(out))))
                if self.soffice:
                    outdir = self.path("lo-out")
                    os.makedirs(outdir, exist_ok=True)
                    lo_out = os.path.join(outdir, f"paper-{n}.{target}")
                    peers.append(("LibreOffice --convert-to", measure(
                        self.soffice_command(source, target, inp, outdir), 3, exists(lo_out),
                        prepare=remove(lo_out))))
                measured = [(name, m) for name, m in peers if m]
                cell = lambda m: f"{ms(m[0])} / {ms(m[2])} ({mib(m[1])})"
                cells = "<br>".join(f"{name}: {cell(m)}" for name, m in measured)
                if ours and measured:
                    best_name, best = min(measured, key=lambda p: p[1][0])
                    best_cpu = min(m[2] for _, m in measured)
                    at_floor = f"{best[0] / qt_floor[0]:.1f}" if qt_floor else ""
                    print(f"| {source} → {target} | {n} | {cell(ours)} | {cells} | {best_name} "
                          f"| {best[0] / ours[0]:.1f} | {best_cpu / max(ours[2], 1e-4):.1f} "
                          f"| {at_floor} |")
                else:
                    print(f"| {source} → {target} | {n} | {cell(ours) if ours else 'failed'} "
                          f"| {cells or 'none'} | | | | |")
                sys.stdout.flush()
        floor = measure(["/bin/true"], self.repeat)
        print(f"\nStarting and ending any process (/bin/true): {ms(floor[0])} ms wall, "
              f"{ms(floor[2])} ms processor, {mib(floor[1])} MiB.  ")
        if qt_floor:
            print("A program that only starts Qt Core (bench_qtcore_start, the floor of any "
                  f"Qt program): {ms(qt_floor[0])} ms wall, {ms(qt_floor[2])} ms processor, "
                  f"{mib(qt_floor[1])} MiB.  ")
        bare = [run_once([self.paperconv()]) for _ in range(self.repeat)]
        print("paperconv started without arguments (loading its libraries, then the usage "
              f"message): {ms(statistics.median(r.seconds for r in bare))} ms wall, "
              f"{ms(statistics.median(r.cpu for r in bare))} ms processor, "
              f"{mib(statistics.median(r.peak_kib for r in bare))} MiB.\n")

    def printing(self):
        print("## Printing a 250-question paper to PDF (whole process)\n")
        print("paperconv --print both [--versions 3] paper-250.csv out.pdf against what a teacher "
              "would do instead: LibreOffice converting the exported workbook to PDF "
              "(soffice --headless --convert-to pdf paper-250.xlsx). Target: 20x faster.\n")
        inp = self.path("paper-250.csv")
        out = self.path("printed.pdf")
        lo = None
        if self.soffice:
            outdir = self.path("lo-pdf")
            os.makedirs(outdir, exist_ok=True)
            lo_out = os.path.join(outdir, "paper-250.pdf")
            command = [self.soffice, "--headless", "--norestore", "--nolockcheck",
                       f"-env:UserInstallation=file://{self.profile}", "--convert-to", "pdf",
                       "--outdir", outdir, self.path("paper-250.xlsx")]
            lo = measure(command, 3, exists(lo_out), prepare=remove(lo_out))
        print("| what | paperconv ms wall / CPU (MiB) | LibreOffice ms wall / CPU (MiB) | ratio wall |")
        print("| --- | --- | --- | --- |")
        for versions in (1, 3):
            ours = measure([self.paperconv(), "--print", "both", "--versions", str(versions),
                            "--shuffle", "both", inp, out], self.repeat, exists(out), prepare=remove(out))
            cell = lambda m: f"{ms(m[0])} / {ms(m[2])} ({mib(m[1])})" if m else "not run"
            ratio = f"{lo[0] / ours[0]:.1f}" if ours and lo else ""
            print(f"| paper and key, {versions} version(s) | {cell(ours)} | {cell(lo)} | {ratio} |")
            sys.stdout.flush()
        print()

    def batch(self):
        print("## A batch of 1,000 papers (whole process)\n")
        print("bench/make_bench_papers writes 1,000 paper files of 1 to 250 questions; "
              "paperconv converts them in one process, into one Moodle XML file (-o) and into "
              "a folder of workbooks (-d), against bench/peers/batch_platform_stdlib.py doing "
              "the same with Python's standard library alone. Target: 5x faster.\n")
        papers = self.path("batch-in")
        subprocess.run([os.path.join(self.bin, "..", "bench", "make_bench_papers"), papers, "1000"],
                       check=True)
        inputs = sorted(os.path.join(papers, name) for name in os.listdir(papers))
        peer = [self.python, os.path.join(HERE, "peers", "batch_platform_stdlib.py")]
        print("| batch | paperconv s wall / CPU (MiB) | Python s wall / CPU (MiB) | ratio wall |")
        print("| --- | --- | --- | --- |")
        repeat = max(3, self.repeat // 3)
        xml, folder = self.path("batch.xml"), self.path("batch-out")
        cases = (("--to moodle-xml -o OUT", ["--to", "moodle-xml", "-o", xml], exists(xml),
                  remove(xml)),
                 ("--to xlsx -d DIR", ["--to", "xlsx", "-d", folder],
                  lambda: os.path.isdir(folder) and len(os.listdir(folder)) == len(inputs),
                  lambda: shutil.rmtree(folder, ignore_errors=True)))
        for name, options, check, prepare in cases:
            ours = measure([self.paperconv()] + options + inputs, repeat, check, prepare=prepare)
            theirs = measure(peer + options + inputs, repeat, check, prepare=prepare)
            cell = lambda m: f"{m[0]:.2f} / {m[2]:.2f} ({mib(m[1])})" if m else "failed"
            ratio = f"{theirs[0] / ours[0]:.1f}" if ours and theirs else ""
            print(f"| {name} | {cell(ours)} | {cell(theirs)} | {ratio} |")
            sys.stdout.flush()
        print()

    def refusal(self):
        print("## Refusing a 1 GB file that is not a paper (whole process)\n")
        print("paperconv IN out.xlsx, where IN is 1 GiB (sparse: the disk holds only its "
              "text). Extra memory is the peak beyond paperconv refusing an empty file.\n")
        empty = self.path("empty.csv")  # refused at once: the least paperconv does
        open(empty, "w").close()
        header = ("Question NO,Mark,Answer,Question Title,Time Limit,Option A,Option B,"
                  "Option C,Option D,Option E,Option F\r\n").encode()
        files = {
            "paper.csv: NUL bytes": ("csv", b""),
            "paper.csv: header, then 40 MiB of empty lines": ("csv", header + b"\n" * (40 << 20)),
            "paper.csv: header, then 600 long questions": ("csv", header + b"".join(
                b"%d,10,A,%s,15,a,b,c,d,e,f\r\n" % (k, b"t" * 500) for k in range(1, 601))),
            "paper.xlsx: NUL bytes": ("xlsx", b""),
            "paper.xls: NUL bytes": ("xls", b""),
        }
        out = self.path("refused.csv")
        base_runs = [run_once([self.paperconv(), empty, out]) for _ in range(self.repeat)]
        base_ms = statistics.median(r.seconds for r in base_runs)
        base_kib = statistics.median(r.peak_kib for r in base_runs)
        print("| file | time ms | peak MiB | extra MiB |")
        print("| --- | --- | --- | --- |")
        print(f"| empty paper.csv (the baseline) | {ms(base_ms)} | {mib(base_kib)} | |")
        for name, (ext, start) in files.items():
            big = self.path("gigabyte." + ext)
            with open(big, "wb") as f:
                f.write(start)
                f.truncate(1 << 30)
            target = self.path("refused.xlsx" if ext == "csv" else "refused.csv")
            runs = [run_once([self.paperconv(), big, target]) for _ in range(self.repeat)]
            os.remove(big)
            if any(r.code != 1 for r in runs):
                print(f"| {name} | not refused | | |")
                continue
            t = statistics.median(r.seconds for r in runs)
            peak = statistics.median(r.peak_kib for r in runs)
            print(f"| {name} | {ms(t)} | {mib(peak)} | {mib(max(0, peak - base_kib))} |")
        print()

    def startup(self):
        print("## Start-up to the first painted window\n")
        if not os.environ.get("DISPLAY"):
            print("Skipped: no X display (tools/bench.sh starts Xvfb).\n")
            return
        probe = os.path.join(self.bin, "..", "bench", "libpaint_probe.so")
        window = os.path.join(self.bin, "..", "bench", "bench_window")
        env = dict(os.environ)
        env.pop("QT_QPA_PLATFORM", None)
        env["QT_QPA_PLATFORM"] = "xcb"
        # The editor's window size, so that the bare window paints as many pixels.
        sized = subprocess.run([window, "editor"], env=env, capture_output=True, text=True,
                               timeout=60)
        width, height = sized.stdout.split()[1].split("x")
        print(f"The editor's window: {width}x{height}; the bare window is made as large.\n")

        def first_paint(command, repeat):
            marks = self.path("paint.txt")
            env_probe = dict(env, LD_PRELOAD=os.path.abspath(probe), PAINT_PROBE_OUT=marks)
            times, peaks = [], []
            for i in range(repeat + 1):
                if os.path.exists(marks):
                    os.remove(marks)
                start_ns = time.monotonic_ns()
                process = subprocess.Popen(command, env=env_probe, stdin=subprocess.DEVNULL,
                                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                deadline = time.monotonic() + 30
                while not (os.path.exists(marks) and open(marks).read().endswith("\n")):
                    if time.monotonic() > deadline or process.poll() is not None:
                        process.kill()
                        process.wait()
                        return None
                    time.sleep(0.001)
                painted_ns, peak_kib = (int(v) for v in open(marks).read().split())
                process.kill()
                process.wait()
                if i > 0:
                    times.append((painted_ns - start_ns) / 1e9)
                    peaks.append(peak_kib)
            return statistics.median(times), statistics.median(peaks)

        bare = first_paint([window, "bare", width, height], self.repeat)
        label = first_paint([window, "label", width, height], self.repeat)
        editor = first_paint([os.path.join(self.bin, "paperedit")], self.repeat)
        print("| program | first paint ms | peak MiB at first paint |")
        print("| --- | --- | --- |")
        for name, m in (("bare Qt window", bare), ("bare Qt window with one label", label),
                        ("paperedit (blank paper)", editor)):
            print(f"| {name} | {ms(m[0]) if m else 'failed'} | {mib(m[1]) if m else ''} |")
        if bare and editor:
            print(f"\nRatio editor / bare window: {editor[0] / bare[0]:.2f} "
                  f"(target: at most 1.2).  ")
        if label and editor:
            print(f"Ratio editor / window with one label: {editor[0] / label[0]:.2f}.\n")

        print("Peak memory once painted, started as paperedit starts (bench_window):\n")
        print("| window | peak MiB | rows |")
        print("| --- | --- | --- |")
        report_env = dict(env, BENCH_REPORT="1")
        for name, command in (
                ("bare Qt window", [window, "bare", width, height]),
                ("editor, blank paper", [window, "editor"]),
                ("editor, 250 questions full of text",
                 [window, "editor", self.path("paper-250.csv")])):
            peaks, rows = [], ""
            for _ in range(max(3, self.repeat // 3)):
                result = subprocess.run(command, env=report_env, capture_output=True, text=True,
                                        timeout=60)
                fields = result.stdout.split()
                if len(fields) < 4:
                    break
                peaks.append(int(fields[3]))
                rows = fields[6] if len(fields) > 6 else ""
            value = mib(statistics.median(peaks)) if peaks else "failed"
            print(f"| {name} | {value} | {rows} |")
        print()


def machine():
    cpu = "unknown"
    try:
        with open("/proc/cpuinfo") as info:
            cpu = next(line.split(":", 1)[1].strip() for line in info
                       if line.startswith("model name"))
    except (OSError, StopIteration):
        pass
    return f"{platform.node()}: {cpu}, {os.cpu_count()} cores, {platform.platform()}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True, help="the build's bin folder")
    parser.add_argument("--repeat", type=int, default=15)
    parser.add_argument("--only", choices=("conversions", "printing", "batch", "refusal", "startup"))
    args = parser.parse_args()
    global RUN_MEASURED
    RUN_MEASURED = os.path.join(args.bin, "..", "bench", "run_measured")
    bench = Bench(args)
    print(f"Machine: {machine()}  ")
    print(f"Load average at the start: {' '.join(f'{v:.2f}' for v in os.getloadavg())}\n")
    bench.inputs()
    if args.only in (None, "conversions"):
        bench.conversions()
    if args.only in (None, "printing"):
        bench.printing()
    if args.only in (None, "batch"):
        bench.batch()
    if args.only in (None, "refusal"):
        bench.refusal()
    if args.only in (None, "startup"):
        bench.startup()
    print(f"Load average at the end: {' '.join(f'{v:.2f}' for v in os.getloadavg())}\n")
    shutil.rmtree(bench.work, ignore_errors=True)


if __name__ == "__main__":
    main()
