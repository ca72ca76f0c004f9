#!/usr/bin/env bash
# The test command: installs whatever is missing, builds, runs the whole suite.
#   scripts/test.sh                      plain build in build/
#   scripts/test.sh --sanitize address   address + undefined-behaviour build in build-address/
#   scripts/test.sh --sanitize thread    thread-sanitizer build in build-thread/
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=""
if [ "${1:-}" = "--sanitize" ]; then
  sanitize="${2:?--sanitize takes address or thread}"
  shift 2
fi
if [ $# -ne 0 ]; then
  echo "usage: scripts/test.sh [--sanitize address|thread]" >&2
  exit 2
fi

if [ "$(id -u)" -eq 0 ]; then
  scripts/install-deps.sh
else
  echo "test: not root, so packages are not installed; whole-program tests need root for namespaces" >&2
fi
if [ -f sim/package-lock.json ] && { [ ! -d sim/node_modules ] || [ sim/package-lock.json -nt sim/node_modules ]; }; then
  (cd sim && npm ci --no-audit --no-fund)
  touch sim/node_modules
fi

build="build${sanitize:+-$sanitize}"
cmake -S . -B "$build" -G Ninja -DSANITIZE="$sanitize"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
