#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
"$root/tools/build.sh"
exec "$root/build/bin/paperedit"
