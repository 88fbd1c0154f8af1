#!/usr/bin/env bash
# Starts the editor on a virtual 1024 x 768 screen and saves what it shows.
# Usage: tools/screenshot.sh [OUTPUT.png]   (default: docs/main-window.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/main-window.png}
"$root/tools/build.sh"
"$root/tools/install-deps.sh" "$root/tools/screenshot-packages.txt"
xvfb-run -a -s '-screen 0 1024x768x24' bash -c '
  "$1" & editor=$!
  sleep 3
  import -window root "$2"
  kill $editor' _ "$root/build/bin/paperedit" "$out"
echo "Saved $out"
