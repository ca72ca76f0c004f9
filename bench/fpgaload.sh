#!/usr/bin/env bash
# Register accesses per payload bit and the time to clock 1 MiB through the
# simulated register block.
#   bench/fpgaload.sh [build-dir]
set -euo pipefail
build="${1:-build}"
cmake --build "$build" --target fpgaload_bench >/dev/null
"$build/bench/fpgaload_bench"
