#!/usr/bin/env bash
# knobwire's two figures: fader line to server frame (median and p99 at 100
# and 1000 lines/s), and routing a full INIT answer with its surface replay.
# Needs root (the latency run uses a private network namespace for port 80).
#   bench/knobwire.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target knobwire knobwire_fader_latency knobwire_init_replay -- -j2 >/dev/null
[ -d sim/node_modules ] || (cd sim && npm ci --no-audit --no-fund >/dev/null)
"$build/bench/knobwire_fader_latency" "$(realpath "$build/bridge/knobwire")" "$(realpath sim)"
"$build/bench/knobwire_init_replay"
