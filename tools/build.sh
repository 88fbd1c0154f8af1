#!/usr/bin/env bash
# Configures (once) and builds everything into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
if [[ ! -f "$root/build/build.ninja" ]]; then
  cmake -S "$root" -B "$root/build" -G Ninja "$@"
fi
cmake --build "$root/build"
