#!/usr/bin/env bash
# Configures (once) and builds everything into build/. With --sanitize first, builds
# into build-sanitize/ instead, with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/install-deps.sh"
build=$root/build
config=()
if [[ "${1:-}" == --sanitize ]]; then
  shift
  build=$root/build-sanitize
  # -O1 keeps the instrumented build quick enough to run while its stack traces stay
  # readable; every report stops the program, so none can scroll past unnoticed.
  sanitize="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
  config=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1"
          "-DCMAKE_CXX_FLAGS=$sanitize" "-DCMAKE_EXE_LINKER_FLAGS=$sanitize"
          "-DCMAKE_SHARED_LINKER_FLAGS=$sanitize")
fi
if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja "${config[@]}" "$@"
fi
cmake --build "$build"
