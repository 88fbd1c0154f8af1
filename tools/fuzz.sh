#!/usr/bin/env bash
# tools/fuzz.sh [-p N] [-r RUNS] SECONDS [TARGET...]
# Builds the libFuzzer targets (build-fuzz/, clang, ASan + UBSan) and runs each target for
# SECONDS under nice, or until it has run RUNS inputs when -r is given and that comes first,
# one target at a time (-p N: N at once), seeded from the test fixtures and
# keeping its working corpus in build-fuzz/corpus/TARGET. Prints a table of executions and
# findings (crash-, leak-, timeout-, oom- files, kept in build-fuzz/findings/RUN/TARGET);
# exits 1 when there is a finding. TARGET defaults to all of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-fuzz
all_targets=(fuzz_answer fuzz_typeinfo fuzz_paperfile fuzz_xlscellstream fuzz_xlsglobals
             fuzz_xlsx fuzz_xls fuzz_moodlexml fuzz_qti21 fuzz_gift fuzz_aiken)

parallel=1
runs=
while [[ ${1:-} == -p || ${1:-} == -r ]]; do
  case $1 in
    -p) parallel=$2 ;;
    -r) runs=$2 ;;
  esac
  shift 2
done
if [[ $# -lt 1 || ! $1 =~ ^[0-9]+$ || ! $parallel =~ ^[1-9][0-9]*$ || ! ${runs:-1} =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [-p N] [-r RUNS] SECONDS [TARGET...]  (targets: ${all_targets[*]})" >&2
  exit 2
fi
seconds=$1; shift
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=("${all_targets[@]}")

"$root/tools/install-deps.sh"
if [[ ! -f $build/build.ninja ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DPAPEREDIT_FUZZ=ON \
        -DBUILD_TESTING=OFF
fi
nice -n 10 cmake --build "$build" -j2 --target "${targets[@]}" make_typeinfo paperxlsread

# Seeds: the fixtures, the inputs that once failed, and a few made here.
seeds=$build/seeds
rm -rf "$seeds"
for t in "${all_targets[@]}"; do mkdir -p "$seeds/$t"; done
cp "$root"/tests/data/papers/*.csv "$seeds/fuzz_paperfile/"
cp "$root"/tests/data/workbooks/*.xlsx "$seeds/fuzz_xlsx/"
cp "$root"/tests/data/workbooks/*.xls "$seeds/fuzz_xls/"
cp "$root"/tests/data/workbooks/*.xls "$seeds/fuzz_xlsglobals/"
cp "$root"/tests/data/platforms/moodle-*.xml "$seeds/fuzz_moodlexml/"
cp "$root"/tests/data/platforms/qti21-*.xml "$seeds/fuzz_qti21/"
# The IMS examples as a package too, its manifest listing them.
python3 - "$root/tests/data/platforms" "$seeds/fuzz_qti21/package.zip" <<'PY'
import sys, zipfile
folder, out = sys.argv[1], sys.argv[2]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as package:
    package.write(folder + "/qti21-handwritten-manifest.xml", "imsmanifest.xml")
    package.write(folder + "/qti21-choice.xml", "items/choice.xml")
    package.write(folder + "/qti21-choice_multiple.xml", "items/choice_multiple.xml")
PY
cp "$root"/tests/data/platforms/*.gift* "$seeds/fuzz_gift/"
cp "$root"/tests/data/platforms/*aiken*.txt "$seeds/fuzz_aiken/"
for type in 0 1 2 3 4; do
  "$build/tools/make_typeinfo" "$seeds/fuzz_typeinfo/type$type.con" "$type" >/dev/null
done
for text in A AC BDF ABCDEF Uncertain abc; do
  printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE > "$seeds/fuzz_answer/$text"
done
# The cell stream of each .xls fixture, after the byte that picks the paper's limits.
for xls in "$root"/tests/data/workbooks/*.xls; do
  [[ $(basename "$xls") == crash-* ]] && continue # kills the parser; it writes no stream
  out=$seeds/fuzz_xlscellstream/$(basename "$xls").pxc
  { printf '\003'; "$build/bin/paperxlsread" "$xls" 252 11 2>/dev/null || true; } > "$out"
done
for t in "${all_targets[@]}"; do
  regressions=$root/tests/data/fuzz-regressions/$t
  [[ -d $regressions ]] && cp "$regressions"/* "$seeds/$t/" 2>/dev/null || true
done

run=$(date +%Y%m%d-%H%M%S)
report=$build/findings/$run
mkdir -p "$report"

options_for() {
  local t=$1
  # One input may take 2 GiB; the process as a whole may grow to 4 GiB, because the
  # sanitizer's bookkeeping (allocation stacks, freed blocks kept per size) grows over a
  # run of millions of inputs without being a leak.
  local options=(-max_total_time="$seconds" -print_final_stats=1 -timeout=10
                 -malloc_limit_mb=2048 -rss_limit_mb=4096)
  [[ -n $runs ]] && options+=(-runs="$runs")
  [[ -f $root/fuzz/$t.dict ]] && options+=(-dict="$root/fuzz/$t.dict")
  case $t in
    fuzz_answer) options+=(-max_len=64) ;;
    fuzz_typeinfo) options+=(-max_len=256) ;;
    fuzz_xls) options+=(-timeout=60) ;;
  esac
  echo "${options[@]}"
}

run_target() {
  local t=$1
  mkdir -p "$build/corpus/$t" "$report/$t"
  # shellcheck disable=SC2046
  (cd "$report/$t" && nice -n 10 "$build/fuzz/$t" $(options_for "$t") \
      -artifact_prefix="$report/$t/" "$build/corpus/$t" "$seeds/$t" > "$report/$t.log" 2>&1) || true
}

running=0
for t in "${targets[@]}"; do
  echo "fuzzing $t for ${seconds}s (log: $report/$t.log)"
  run_target "$t" &
  running=$((running + 1))
  if [[ $running -ge $parallel ]]; then wait -n || true; running=$((running - 1)); fi
done
wait

status=0
printf '%-20s %8s %14s %10s %9s\n' target seconds executions exec/s findings
for t in "${targets[@]}"; do
  log=$report/$t.log
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  found=$(find "$report/$t" -maxdepth 1 -type f \
            \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  # A run that ended without its statistics ended badly even with no file to show.
  if [[ -z $execs ]]; then execs=?; rate=?; found=$((found + 1)); fi
  printf '%-20s %8s %14s %10s %9s\n' "$t" "${took:-$seconds}" "$execs" "$rate" "$found"
  [[ $found -eq 0 ]] || status=1
done
echo "logs and findings: $report"
exit $status
