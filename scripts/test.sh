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
for npmDir in sim assets; do
  if [ -f $npmDir/package-lock.json ] && { [ ! -d $npmDir/node_modules ] || [ $npmDir/package-lock.json -nt $npmDir/node_modules ]; }; then
    (cd $npmDir && npm ci --no-audit --no-fund)
    touch $npmDir/node_modules
  fi
done

build="build${sanitize:+-$sanitize}"
cmake -S . -B "$build" -G Ninja -DSANITIZE="$sanitize"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
