#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/build.sh"
ctest --test-dir "$root/build" --output-on-failure
