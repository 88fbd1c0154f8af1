#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
# ./test.sh --sanitize does the same in build-sanitize/ under the sanitizers.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
if [[ "${1:-}" == --sanitize ]]; then
  exec "$root/tools/sanitize/run-tests.sh"
fi
"$root/tools/build.sh"
ctest --test-dir "$root/build" --output-on-failure
