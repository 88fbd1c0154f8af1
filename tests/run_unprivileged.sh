#!/bin/sh
# Runs a test program as the unprivileged user "nobody", so that checks depending on file
# permissions really run when the suite itself runs as root (root writes anywhere).
# Exits 77, which CTest counts as skipped, when that cannot be done or is not needed.
#
# usage: run_unprivileged.sh [--file VARIABLE | --folder VARIABLE]... PROGRAM [ARGUMENT]...
#
# The build may lie where nobody cannot go (a checkout under /root), so the program runs
# from a copy in a fresh folder nobody may read but not change: the program itself, the
# libraries it loads that nobody cannot read, and what the environment variables named
# with --file (the one file the variable names: a library to preload) or --folder (the
# whole folder holding it, for a program that finds its parts beside itself) point at;
# each such variable then names the copy. The folder is removed afterwards.
if [ "$(id -u)" -ne 0 ]; then
  echo "not running as root: the ordinary run of the test already checks permissions"
  exit 77
fi
command -v runuser >/dev/null 2>&1 || { echo "runuser is missing"; exit 77; }

stage=$(mktemp -d "${TMPDIR:-/tmp}/unprivileged.XXXXXX") || {
  echo "cannot make a folder for the test in ${TMPDIR:-/tmp}"; exit 77; }
trap 'rm -rf "$stage"' EXIT
trap 'exit 143' INT TERM
chmod 755 "$stage"
mkdir "$stage/lib" "$stage/staged"

# Copies the file or folder $2 into a folder of its own under staged/ ($1 tells the kind)
# and prints the path that stands for the original in the copy.
staged=0
stage_path() {
  staged=$((staged + 1))
  target="$stage/staged/$staged"
  mkdir "$target"
  if [ "$1" = folder ]; then
    cp -a "$(dirname "$2")/." "$target/" && echo "$target/$(basename "$2")"
  else
    cp -a "$2" "$target/" && echo "$target/$(basename "$2")"
  fi
}

while [ $# -gt 0 ]; do
  case "$1" in
    --file|--folder)
      kind=${1#--}
      variable=$2
      shift 2
      original=$(printenv "$variable") || { echo "$variable is not set"; exit 1; }
      copy=$(stage_path "$kind" "$original") || { echo "cannot copy $original"; exit 1; }
      export "$variable=$copy"
      ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--file VARIABLE | --folder VARIABLE]... PROGRAM [ARGUMENT]..."; exit 1; }

program=$(stage_path file "$1") || { echo "cannot copy $1"; exit 1; }
shift
# The libraries the program loads that nobody could not read where they are.
ldd "$program" 2>/dev/null | sed -n 's/.*=> \(\/[^ ]*\) .*/\1/p' | while read -r library; do
  runuser -u nobody -- test -r "$library" || cp -L "$library" "$stage/lib/"
done
chmod -R a+rX,go-w "$stage"
export LD_LIBRARY_PATH="$stage/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"

if ! runuser -u nobody -- test -x "$program" || ! runuser -u nobody -- test -w "${TMPDIR:-/tmp}"; then
  echo "user nobody cannot run $program or write to ${TMPDIR:-/tmp}"
  exit 77
fi
cd "$stage" || exit 1
runuser -u nobody -- "$program" "$@"
status=$?
exit $status
