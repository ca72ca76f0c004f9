#!/usr/bin/env bash
# lumenvas figures on a private Xvfb screen (Mesa llvmpipe): commands per
# second through the pipe, latency from write to present, peak memory.
#   bench/lumenvas.sh [build-dir]
set -euo pipefail
build="$(realpath "${1:-build}")"
exec "$build/tests/harness/boardns" -- bash -c '
set -euo pipefail
build="$1"
export XDG_RUNTIME_DIR=/tmp/xdg DISPLAY=:0
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
Xvfb :0 -screen 0 1024x600x24 -nolisten tcp >/tmp/xvfb.log 2>&1 &
xvfb=$!
trap "kill $xvfb" EXIT
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X0 ] && break; sleep 0.05; done

# One fresh server per run, so each peak memory figure is its own.
run() {
  "$build/display/lumenvas" >/tmp/lumenvas.log 2>/tmp/lumenvas.err &
  local server=$!
  for _ in $(seq 200); do grep -q "Uses wayland" /tmp/lumenvas.log 2>/dev/null && break; sleep 0.05; done
  "$build/bench/lumenvas_pipe" "$1" /tmp/lumenvas.log "${@:2}"
  echo "    peak memory: $(grep VmHWM /proc/$server/status | tr -s " \t" " " | cut -d" " -f2-)"
  kill $server; wait $server 2>/dev/null || true
}
echo "renderer: llvmpipe on $(nproc) cores"
run 60 30        # a UI at 30 frames/s
run 200 0        # as fast as the pipe takes them
run 200 0 0.05   # the same commands on tiny shapes
"$build/bench/lumenvas_latency" 200
' bench "$build"
