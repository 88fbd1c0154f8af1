#!/usr/bin/env bash
# check-helpers.sh BIN_DIR DATA_DIR: runs the sanitized paperxlsread and paperconv on every
# sample paper and workbook, showing what they report. The tests start these programs
# too, but the editor throws away the helper's error output and takes its crash for an
# unreadable file, so a report there could pass unseen when a test expects a refusal.
set -uo pipefail
bin=$1
data=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failed=0

has_report() { grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:' "$1"; }

# The sample made to crash the .xls parser library: it dies inside that library, which is
# exactly what the helper process is there to contain. Only that crash is expected.
crash_in_parser_library() {
  grep -q 'ERROR: AddressSanitizer: SEGV' "$1" &&
    grep -m1 -E '^ +#0 ' "$1" | grep -q 'libfreexl\.so'
}

check() { # NAME STATUS LOG
  local name=$1 status=$2 log=$3
  if has_report "$log" || ((status >= 128)); then
    if [[ $name == paperxlsread:*crash-freexl-open.xls ]] && crash_in_parser_library "$log"; then
      echo "expected: $name crashes inside the parser library"
      return
    fi
    echo "==== $name ended with status $status:"
    cat "$log"
    failed=1
  fi
}

for file in "$data"/workbooks/*.xls; do
  "$bin/paperxlsread" "$file" 252 11 >/dev/null 2>"$out/log"
  check "paperxlsread:${file##*/}" $? "$out/log"
done
for file in "$data"/papers/*.csv "$data"/workbooks/*.xls "$data"/workbooks/*.xlsx; do
  "$bin/paperconv" "$file" "$out/paper.csv" >/dev/null 2>"$out/log"
  check "paperconv:${file##*/}" $? "$out/log"
  "$bin/paperconv" "$file" "$out/paper.xls" >/dev/null 2>"$out/log"
  check "paperconv:${file##*/} to .xls" $? "$out/log"
  "$bin/paperconv" "$file" "$out/paper.xlsx" >/dev/null 2>"$out/log"
  check "paperconv:${file##*/} to .xlsx" $? "$out/log"
done
((failed == 0)) && echo "The helper programs gave no sanitizer report on the sample files."
exit $failed
