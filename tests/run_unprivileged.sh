#!/bin/sh
# Runs a test program as the unprivileged user "nobody", so that checks depending on file
# permissions really run when the suite itself runs as root (root writes anywhere).
# Exits 77, which CTest counts as skipped, when that cannot be done or is not needed.
if [ "$(id -u)" -ne 0 ]; then
  echo "not running as root: the ordinary run of the test already checks permissions"
  exit 77
fi
command -v runuser >/dev/null 2>&1 || { echo "runuser is missing"; exit 77; }
if ! runuser -u nobody -- test -x "$1" || ! runuser -u nobody -- test -w "${TMPDIR:-/tmp}"; then
  echo "user nobody cannot run $1 or write to ${TMPDIR:-/tmp}"
  exit 77
fi
exec runuser -u nobody -- "$@"
